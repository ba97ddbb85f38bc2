#include "MqttPeer.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

const QString MqttPeer::SyncPrefix = QStringLiteral("quillon-test/");

MqttPeer::MqttPeer(quint16 port, const QString& clientId)
    : m_probe(SyncPrefix + QStringLiteral("peer/") + QString::number(quintptr(this)))
{
    m_client.setHostname(QStringLiteral("127.0.0.1"));
    m_client.setPort(port);
    m_client.setClientId(clientId);
    connect(&m_client, &MosquittoClient::messageReceived, this,
            [this](const QByteArray& payload, const QString& topic) {
                if (topic.startsWith(SyncPrefix))
                    m_markers.append({topic, payload});
                else
                    append(topic, payload);
            });
}

bool MqttPeer::connectAndWait(int millis)
{
    if (m_client.state() == MosquittoClient::Connected)
        return true;
    QSignalSpy spy(&m_client, &MosquittoClient::connected);
    m_client.connectToHost();
    const bool up = spy.wait(millis) || m_client.state() == MosquittoClient::Connected;
    return up && m_client.subscribe(m_probe) && sync(millis);
}

// The broker handles a client's packets in order: once the marker is back,
// the subscription is active.
bool MqttPeer::subscribeAndWait(const QString& filter, int millis)
{
    return m_client.subscribe(filter) && sync(millis);
}

bool MqttPeer::sync(int millis)
{
    const QByteArray marker = QByteArray::number(++m_probes);
    return publish(m_probe, marker) && waitForMarker(m_probe, marker, millis);
}

bool MqttPeer::clear()
{
    const bool synced = sync();
    MessageLog::clear();
    return synced;
}

bool MqttPeer::waitForMarker(const QString& topic, const QByteArray& payload, int millis)
{
    return QTest::qWaitFor([&] {
        for (const Message& m : qAsConst(m_markers)) {
            if (m.topic == topic && m.payload == payload)
                return true;
        }
        return false;
    }, millis);
}

bool MqttPeer::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    return m_client.publish(topic, payload, 0, retain) >= 0;
}

bool MqttPeer::publish(const QString& topic, const QJsonObject& payload, bool retain)
{
    return publish(topic, QJsonDocument(payload).toJson(QJsonDocument::Compact), retain);
}
