#include "BrokerSession.h"

#include <QSignalSpy>
#include <QTest>

bool BrokerSession::start()
{
    if (!m_broker.start())
        return false;
    m_client.setHostname(m_broker.host());
    m_client.setPort(m_broker.port());
    m_client.setRetryMillis(300);
    return true;
}

bool BrokerSession::connect(const QString& watched)
{
    m_client.subscribe(m_marker);
    QSignalSpy connected(&m_client, &manager::MqttClient::connected);
    m_client.connect();
    if (!connected.wait(5000))
        return false;
    m_peer = std::make_unique<MqttPeer>(m_broker.port());
    if (!m_peer->connectAndWait() || !m_peer->subscribeAndWait(watched) || !settle())
        return false;
    m_peer->clear();
    return true;
}

bool BrokerSession::settle()
{
    QSignalSpy received(&m_client, &manager::MqttClient::received);
    // The marker subscription may not be active yet: try again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QByteArray marker = QByteArray::number(++m_markers);
        m_peer->publish(m_marker, marker);
        const bool back = QTest::qWaitFor([&] {
            for (const auto& args : received) {
                if (args.at(1).toByteArray() == m_marker.toUtf8() && args.at(0).toByteArray() == marker)
                    return true;
            }
            return false;
        }, 300);
        if (back)
            return true;
    }
    return false;
}
