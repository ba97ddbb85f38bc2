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

    void setHostname(const QString& hostname);
    void setPort(unsigned port);
    void setUsername(const QString& username);
    void setPassword(const QString& password);
    void setRetryMillis(unsigned millis);
    void setEncrypted(bool encrypted);
    void setCleanSession(bool cleanSession);
    void setClientId(const QString& clientId);
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

    MosquittoClient* client = nullptr;
    QTimer* connectionTimer = nullptr;
    QList<QPair<QString, quint8>> subsTopics;
    QString hostname = QStringLiteral("127.0.0.1");
    quint32 port = 1883;
    QString username;
    QString password;
    int retryMillis = 3000;
    bool encrypted = false;
    bool cleanSession = true;
    QString clientId;
    quint8 keepAlive = 5;
    QByteArray willMessage;
    quint8 willQos = 2;
    bool willRetain = true;
    QString willTopic;
};

} // namespace manager
