#pragma once

#include <QString>

class MqttPeer;

namespace manager {
class MqttClient;
}

// Makes broker tests deterministic without sleeps: a marker sent by the peer
// on a topic the client under test also subscribes to; once the client has
// received it, everything the peer published before has been handled.
class RoundTrip
{
public:
    RoundTrip(manager::MqttClient& client, MqttPeer& peer,
              const QString& topic = QStringLiteral("quillon-test/round-trip"));

    bool settle();

private:
    manager::MqttClient& m_client;
    MqttPeer& m_peer;
    QString m_topic;
    int m_markers = 0;
};
