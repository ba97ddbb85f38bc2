#include "MessageLog.h"

#include <QJsonDocument>
#include <QTest>

QList<MessageLog::Message> MessageLog::messages(const QString& topic) const
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

QByteArray MessageLog::last(const QString& topic) const
{
    const QList<Message> found = messages(topic);
    return found.isEmpty() ? QByteArray() : found.last().payload;
}

QJsonObject MessageLog::lastJson(const QString& topic) const
{
    return QJsonDocument::fromJson(last(topic)).object();
}

bool MessageLog::waitFor(const QString& topic, int millis, int from) const
{
    return QTest::qWaitFor([&] { return indexOf(topic, from) >= 0; }, millis);
}

QJsonObject MessageLog::waitJson(const QString& topic, int from, int millis) const
{
    if (!waitFor(topic, millis, from))
        return {};
    return QJsonDocument::fromJson(m_messages.at(indexOf(topic, from)).payload).object();
}

int MessageLog::indexOf(const QString& topic, int from) const
{
    for (int i = from; i < m_messages.size(); ++i) {
        if (m_messages.at(i).topic == topic)
            return i;
    }
    return -1;
}
