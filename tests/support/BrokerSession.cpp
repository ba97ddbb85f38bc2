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
    if (!connected.wait(MqttPeer::WaitMillis))
        return false;
    m_peer = std::make_unique<MqttPeer>(m_broker.port());
    return m_peer->connectAndWait() && m_peer->subscribeAndWait(m_answer)
           && m_peer->subscribeAndWait(watched) && settle() && m_peer->clear();
}

bool BrokerSession::settle()
{
    QSignalSpy received(&m_client, &manager::MqttClient::received);
    // A JSON object, so that managers hearing it find nothing to complain of.
    const QByteArray marker = "{\"marker\": " + QByteArray::number(++m_markers) + "}";
    const auto arrived = [&] {
        for (const auto& args : received) {
            if (args.at(1).toByteArray() == m_marker.toUtf8() && args.at(0).toByteArray() == marker)
                return true;
        }
        return false;
    };
    // The client's marker subscription may not be active yet: try again.
    bool heard = false;
    for (int attempt = 0; attempt < 10 && !heard; ++attempt) {
        m_peer->publish(m_marker, marker);
        heard = QTest::qWaitFor(arrived, 500);
    }
    return heard && m_client.publish(marker, m_answer) && m_peer->waitForMarker(m_answer, marker);
}
