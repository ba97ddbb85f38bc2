#pragma once

#include "Common/MqttClient.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QString>

#include <memory>

// A private broker, the application's client on it and a peer that watches
// a topic filter. Create the managers between start() and connect(), so that
// their subscriptions come before the round-trip one.
class BrokerSession
{
public:
    bool start();
    bool connect(const QString& watched);
    // A marker sent by the peer on a topic the client also subscribes to;
    // once the client has it, everything the peer published before has been
    // handled. Makes the tests deterministic without sleeps.
    bool settle();

    TestBroker& broker() { return m_broker; }
    manager::MqttClient& client() { return m_client; }
    MqttPeer& peer() { return *m_peer; }

private:
    TestBroker m_broker;
    manager::MqttClient m_client;
    std::unique_ptr<MqttPeer> m_peer;
    const QString m_marker = QStringLiteral("quillon-test/round-trip");
    int m_markers = 0;
};
