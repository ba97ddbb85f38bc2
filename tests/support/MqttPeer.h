#pragma once

#include "Common/MosquittoClient.h"
#include "MessageLog.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

// Another client on the test broker: plays a service or watches what the
// code under test publishes.
class MqttPeer : public QObject, public MessageLog
{
    Q_OBJECT
public:
    explicit MqttPeer(quint16 port, const QString& clientId = QString());

    // Topics under this prefix carry the tests' round-trip markers; no peer
    // records them.
    static const QString SyncPrefix;

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
    MosquittoClient& client() { return m_client; }

private:
    MosquittoClient m_client;
    QList<Message> m_markers;
    const QString m_probe;
    int m_probes = 0;
};
