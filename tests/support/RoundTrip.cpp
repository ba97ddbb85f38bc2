#include "RoundTrip.h"

#include "Common/MqttClient.h"
#include "MqttPeer.h"

#include <QSignalSpy>
#include <QTest>

RoundTrip::RoundTrip(manager::MqttClient& client, MqttPeer& peer, const QString& topic)
    : m_client(client), m_peer(peer), m_topic(topic)
{
    m_client.subscribe(m_topic);
}

bool RoundTrip::settle()
{
    QSignalSpy received(&m_client, &manager::MqttClient::received);
    // The subscription may not be active yet on the first call: try again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QByteArray marker = QByteArray::number(++m_markers);
        m_peer.publish(m_topic, marker);
        const bool back = QTest::qWaitFor([&] {
            for (const auto& args : received) {
                if (args.at(1).toByteArray() == m_topic.toUtf8() && args.at(0).toByteArray() == marker)
                    return true;
            }
            return false;
        }, 300);
        if (back)
            return true;
    }
    return false;
}
