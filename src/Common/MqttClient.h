#pragma once

#include "Common/MessageBus.h"
#include "Common/MosquittoClient.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class QTimer;

namespace manager {

// The application's one broker connection: settings before connecting,
// endless reconnection, a guard against hanging attempts and subscriptions
// that are renewed after every connection.
class MqttClient : public MessageBus
{
    Q_OBJECT
public:
    explicit MqttClient(QObject* parent = nullptr);
    ~MqttClient() override;

    void setHostname(const QString& m_hostname);
    void setPort(unsigned m_port);
    void setUsername(const QString& m_username);
    void setPassword(const QString& m_password);
    void setRetryMillis(unsigned millis);
    void setEncrypted(bool m_encrypted);
    void setCleanSession(bool m_cleanSession);
    void setClientId(const QString& m_clientId);
    void setKeepAlive(quint8 seconds);
    void setWillMessage(const QByteArray& message);
    void setWillQoS(quint8 qos);
    void setWillRetain(bool retain);
    void setWillTopic(const QString& topic);

public slots:
    void connect() override;
    void disconnect();
    void subscribe(const QString& topic, quint8 qos = 0) override;
    bool publish(const QByteArray& data, const QString& topic, quint8 qos = 0, bool retain = false) override;

private slots:
    void onConnected();
    void onDisconnected();
    void onStateChanged(MosquittoClient::ClientState state);
    void onTimeout();
    void onReconnect();
    void onReceived(const QByteArray& message, const QString& topic);
    void onError(MosquittoClient::ClientError error);

private:
    void prepareTimer();
    void prepareClient();
    void doSubscribe(const QString& filter, quint8 qos);
    QString errorText(MosquittoClient::ClientError error) const;

    MosquittoClient* m_client = nullptr;
    QTimer* m_connectionTimer = nullptr;
    QList<QPair<QString, quint8>> m_subsTopics;
    QString m_hostname = QStringLiteral("127.0.0.1");
    quint32 m_port = 1883;
    QString m_username;
    QString m_password;
    int m_retryMillis = 3000;
    bool m_encrypted = false;
    bool m_cleanSession = true;
    QString m_clientId;
    quint8 m_keepAlive = 5;
    QByteArray m_willMessage;
    quint8 m_willQos = 2;
    bool m_willRetain = true;
    QString m_willTopic;
};

} // namespace manager
