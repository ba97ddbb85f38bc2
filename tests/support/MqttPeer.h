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

    // Topics under this prefix carry the tests' round-trip markers; no peer
    // records them.
    static const QString SyncPrefix;
    // Long enough for a sanitized build on a loaded machine; only a failing
    // test waits it out.
    static constexpr int WaitMillis = 15000;

    bool connectAndWait(int millis = WaitMillis);
    bool subscribeAndWait(const QString& filter, int millis = WaitMillis);
    // A marker of its own sent through the broker and back: once it is here,
    // so is everything the broker had for this peer before it, the peer's own
    // messages included.
    bool sync(int millis = WaitMillis);
    // Forgets what was heard, after a sync, so nothing sent before the call
    // comes in afterwards.
    bool clear();
    // True once `payload` has come back on `topic` under the sync prefix.
    bool waitForMarker(const QString& topic, const QByteArray& payload, int millis = WaitMillis);
    bool publish(const QString& topic, const QByteArray& payload, bool retain = false);
    bool publish(const QString& topic, const QJsonObject& payload, bool retain = false);

    // Waits until a message on the topic arrives after index `from` of messages().
    bool waitFor(const QString& topic, int millis = WaitMillis, int from = 0);
    // The first message on `topic` after index `from`, as JSON; empty if none came.
    QJsonObject waitJson(const QString& topic, int from, int millis = WaitMillis);
    QList<Message> messages(const QString& topic = QString()) const;
    QByteArray last(const QString& topic) const;
    QJsonObject lastJson(const QString& topic) const;
    int count(const QString& topic = QString()) const { return messages(topic).size(); }
    int size() const { return m_messages.size(); }
    MosquittoClient& client() { return m_client; }

private:
    // Index of the first message on `topic` at or after `from`; -1 if none.
    int indexOf(const QString& topic, int from) const;

    MosquittoClient m_client;
    QList<Message> m_messages;
    QList<Message> m_markers;
    const QString m_probe;
    int m_probes = 0;
};
