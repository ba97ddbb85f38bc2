#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// Messages as a test heard them, in order, with the waits and lookups the
// tests make on them.
class MessageLog
{
public:
    struct Message {
        QString topic;
        QByteArray payload;
    };

    // Long enough for a sanitized build on a loaded machine; only a failing
    // test waits it out.
    static constexpr int WaitMillis = 15000;

    void append(const QString& topic, const QByteArray& payload) { m_messages.append({topic, payload}); }
    void clear() { m_messages.clear(); }
    // The messages on `topic` (every topic when empty), in order.
    QList<Message> messages(const QString& topic = QString()) const;
    int count(const QString& topic = QString()) const { return messages(topic).size(); }
    int size() const { return m_messages.size(); }
    QByteArray last(const QString& topic) const;
    QJsonObject lastJson(const QString& topic) const;
    // Waits until a message on `topic` arrives after index `from`.
    bool waitFor(const QString& topic, int millis = WaitMillis, int from = 0) const;
    // The first message on `topic` after index `from`, as JSON; empty if none came.
    QJsonObject waitJson(const QString& topic, int from, int millis = WaitMillis) const;

private:
    // Index of the first message on `topic` at or after `from`; -1 if none.
    int indexOf(const QString& topic, int from) const;

    QList<Message> m_messages;
};
