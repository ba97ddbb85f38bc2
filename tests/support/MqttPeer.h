#pragma once

#include "Common/MosquittoClient.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

// Another client on the test broker: plays a service or watches what the
// code under test publishes.
class MqttPeer : public QObject
{
    Q_OBJECT
public:
    struct Message {
        QString topic;
        QByteArray payload;
    };

    explicit MqttPeer(quint16 port, const QString& clientId = QString());

    bool connectAndWait(int millis = 5000);
    bool subscribeAndWait(const QString& filter, int millis = 5000);
    bool publish(const QString& topic, const QByteArray& payload, bool retain = false);
    bool publish(const QString& topic, const QJsonObject& payload, bool retain = false);

    // Waits until a message on the topic arrives after index `from` of messages().
    bool waitFor(const QString& topic, int millis = 5000, int from = 0);
    // The first message on `topic` after index `from`, as JSON; empty if none came.
    QJsonObject waitJson(const QString& topic, int from, int millis = 5000);
    QList<Message> messages(const QString& topic = QString()) const;
    QByteArray last(const QString& topic) const;
    QJsonObject lastJson(const QString& topic) const;
    int count(const QString& topic = QString()) const { return messages(topic).size(); }
    int size() const { return m_messages.size(); }
    void clear() { m_messages.clear(); }
    MosquittoClient& client() { return m_client; }

private:
    // Index of the first message on `topic` at or after `from`; -1 if none.
    int indexOf(const QString& topic, int from) const;

    MosquittoClient m_client;
    QList<Message> m_messages;
};
