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
    // A marker from the peer to the client and another back: once both are
    // through, the client has handled everything the peer published before,
    // and the peer has heard everything the client published before.
    // Makes the tests deterministic without sleeps.
    bool settle();

    TestBroker& broker() { return m_broker; }
    manager::MqttClient& client() { return m_client; }
    MqttPeer& peer() { return *m_peer; }

private:
    TestBroker m_broker;
    manager::MqttClient m_client;
    std::unique_ptr<MqttPeer> m_peer;
    const QString m_marker = MqttPeer::SyncPrefix + QStringLiteral("round-trip");
    const QString m_answer = MqttPeer::SyncPrefix + QStringLiteral("round-trip/back");
    int m_markers = 0;
};
