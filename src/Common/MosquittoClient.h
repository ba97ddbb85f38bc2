#pragma once

#include "Common/SocketWatch.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class MqttSubscription;
class QHostInfo;
struct mosquitto;
struct mosquitto_message;

// MQTT 3.1.1 client on libmosquitto, driven by the Qt event loop (socket
// notifiers and a housekeeping timer, no threads). Its states, error codes and
// signals follow the toolkit's QMqttClient so the rest of the code reads the
// same whichever client sits underneath.
class MosquittoClient : public QObject
{
    Q_OBJECT
public:
    enum ClientState { Disconnected = 0, Connecting, Connected };
    Q_ENUM(ClientState)

    enum ClientError {
        NoError = 0,
        InvalidProtocolVersion = 1,
        IdRejected = 2,
        ServerUnavailable = 3,
        BadUsernameOrPassword = 4,
        NotAuthorized = 5,
        TransportInvalid = 256,
        ProtocolViolation = 257,
        UnknownError = 258
    };
    Q_ENUM(ClientError)

    enum ProtocolVersion { MQTT_3_1 = 3, MQTT_3_1_1 = 4 };
    Q_ENUM(ProtocolVersion)

    explicit MosquittoClient(QObject* parent = nullptr);
    ~MosquittoClient() override;

    QString hostname() const { return m_hostname; }
    quint16 port() const { return m_port; }
    QString clientId() const { return m_clientId; }
    ProtocolVersion protocolVersion() const { return MQTT_3_1_1; }
    ClientState state() const { return m_state; }
    ClientError error() const { return m_error; }

    void setHostname(const QString& hostname);
    void setPort(quint16 port);
    void setUsername(const QString& username);
    void setPassword(const QString& password);
    void setClientId(const QString& clientId);
    void setCleanSession(bool cleanSession);
    void setKeepAlive(quint16 seconds);
    void setWillTopic(const QString& topic);
    void setWillMessage(const QByteArray& message);
    void setWillQoS(quint8 qos);
    void setWillRetain(bool retain);

    void connectToHost();
    void disconnectFromHost();
    // Drops the network connection at once, whatever state it is in; an
    // attempt or a connection cut short reports TransportInvalid.
    void closeTransport();

    // Null unless connected, or for an invalid filter.
    MqttSubscription* subscribe(const QString& filter, quint8 qos = 0);
    // The message id, or -1 unless connected, or for an invalid topic.
    qint32 publish(const QString& topic, const QByteArray& message, quint8 qos = 0,
                   bool retain = false);

signals:
    void connected();
    void disconnected();
    void messageReceived(const QByteArray& message, const QString& topic);
    void stateChanged(MosquittoClient::ClientState state);
    void errorChanged(MosquittoClient::ClientError error);

private:
    static void onConnectCallback(mosquitto*, void* self, int rc);
    static void onDisconnectCallback(mosquitto*, void* self, int rc);
    static void onMessageCallback(mosquitto*, void* self, const mosquitto_message* msg);

    void onHostFound(const QHostInfo& host);
    void connectTo(const QString& address);
    void abortLookup();
    bool createHandle();
    void destroyHandle();
    void updateSocketWatch();
    void onReadable();
    void onWritable();
    void onHousekeeping();
    void afterLibraryCall();
    void connectionLost(ClientError error);
    void setState(ClientState state);
    void setError(ClientError error);
    void post(std::function<void()> event);
    void flushEvents();

    mosquitto* m_handle = nullptr;
    SocketWatch m_socket;
    QTimer m_housekeeping;
    int m_lookupId = -1;
    quint64 m_generation = 0;
    std::vector<std::function<void()>> m_events;
    QHash<QString, MqttSubscription*> m_subscriptions;
    ClientError m_refusal = NoError;

    QString m_hostname;
    quint16 m_port = 1883;
    QString m_username;
    QString m_password;
    QString m_clientId;
    bool m_cleanSession = true;
    quint16 m_keepAlive = 60;
    QString m_willTopic;
    QByteArray m_willMessage;
    quint8 m_willQoS = 0;
    bool m_willRetain = false;
    ClientState m_state = Disconnected;
    ClientError m_error = NoError;
};
