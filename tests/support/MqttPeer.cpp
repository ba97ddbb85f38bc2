#include "MqttPeer.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

MqttPeer::MqttPeer(quint16 port, const QString& clientId)
{
    m_client.setHostname(QStringLiteral("127.0.0.1"));
    m_client.setPort(port);
    m_client.setClientId(clientId);
    connect(&m_client, &MosquittoClient::messageReceived, this,
            [this](const QByteArray& payload, const QString& topic) {
                m_messages.append({topic, payload});
            });
}

bool MqttPeer::connectAndWait(int millis)
{
    if (m_client.state() == MosquittoClient::Connected)
        return true;
    QSignalSpy spy(&m_client, &MosquittoClient::connected);
    m_client.connectToHost();
    return spy.wait(millis) || m_client.state() == MosquittoClient::Connected;
}

bool MqttPeer::subscribeAndWait(const QString& filter, int millis)
{
    if (!m_client.subscribe(filter))
        return false;
    // A round trip through the broker guarantees the subscription is active.
    const QString probe = QStringLiteral("peer-probe/") + QString::number(quintptr(this));
    m_client.subscribe(probe);
    const int before = m_messages.size();
    m_client.publish(probe, "probe");
    const bool ok = waitFor(probe, millis, before);
    for (int i = m_messages.size() - 1; i >= 0; --i) {
        if (m_messages.at(i).topic == probe)
            m_messages.removeAt(i);
    }
    return ok;
}

bool MqttPeer::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    return m_client.publish(topic, payload, 0, retain) >= 0;
}

bool MqttPeer::publish(const QString& topic, const QJsonObject& payload, bool retain)
{
    return publish(topic, QJsonDocument(payload).toJson(QJsonDocument::Compact), retain);
}

bool MqttPeer::waitFor(const QString& topic, int millis, int from)
{
    return QTest::qWaitFor([&] { return indexOf(topic, from) >= 0; }, millis);
}

QJsonObject MqttPeer::waitJson(const QString& topic, int from, int millis)
{
    if (!waitFor(topic, millis, from))
        return {};
    return QJsonDocument::fromJson(m_messages.at(indexOf(topic, from)).payload).object();
}

int MqttPeer::indexOf(const QString& topic, int from) const
{
    for (int i = from; i < m_messages.size(); ++i) {
        if (m_messages.at(i).topic == topic)
            return i;
    }
    return -1;
}

QList<MqttPeer::Message> MqttPeer::messages(const QString& topic) const
{
    if (topic.isEmpty())
        return m_messages;
    QList<Message> result;
    for (const Message& m : m_messages) {
        if (m.topic == topic)
            result.append(m);
    }
    return result;
}

QByteArray MqttPeer::last(const QString& topic) const
{
    const QList<Message> found = messages(topic);
    return found.isEmpty() ? QByteArray() : found.last().payload;
}

QJsonObject MqttPeer::lastJson(const QString& topic) const
{
    return QJsonDocument::fromJson(last(topic)).object();
}
