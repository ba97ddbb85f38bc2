#include "Common/MqttClient.h"

#include "Common/Secrets.h"
#include "Log.h"

#include <QDebug>
#include <QMetaType>
#include <QTimer>

namespace manager {

namespace {

const Log Tag(QStringLiteral("[MqttClient] "));

const char* boolText(bool value)
{
    return value ? "true" : "false";
}

} // namespace

MqttClient::MqttClient(QObject* parent) : MessageBus(parent)
{
    qRegisterMetaType<MosquittoClient::ClientState>("ClientState");
    qRegisterMetaType<MosquittoClient::ClientError>("ClientError");
}

MqttClient::~MqttClient()
{
    delete client;
    delete connectionTimer;
}

void MqttClient::setHostname(const QString& value)
{
    hostname = value;
}

void MqttClient::setPort(unsigned value)
{
    port = value;
}

void MqttClient::setUsername(const QString& value)
{
    username = value;
}

void MqttClient::setPassword(const QString& value)
{
    password = value;
}

void MqttClient::setRetryMillis(unsigned value)
{
    retryMillis = static_cast<int>(value);
}

void MqttClient::setEncrypted(bool value)
{
    encrypted = value;
}

void MqttClient::setCleanSession(bool value)
{
    cleanSession = value;
}

void MqttClient::setClientId(const QString& value)
{
    clientId = value;
}

void MqttClient::setKeepAlive(quint8 value)
{
    keepAlive = value;
}

void MqttClient::setWillMessage(const QByteArray& value)
{
    willMessage = value;
}

void MqttClient::setWillQoS(quint8 value)
{
    willQos = value;
}

void MqttClient::setWillRetain(bool value)
{
    willRetain = value;
}

void MqttClient::setWillTopic(const QString& value)
{
    willTopic = value;
}

void MqttClient::connect()
{
    Tag.info() << "Connecting to host";
    prepareTimer();
    prepareClient();
    if (encrypted)
        Tag.warning() << "Encryption not yet supported";
    client->connectToHost();
}

void MqttClient::prepareTimer()
{
    if (!connectionTimer) {
        connectionTimer = new QTimer();
        QObject::connect(connectionTimer, &QTimer::timeout, this, &MqttClient::onTimeout);
    }
    Tag.debug() << "Applying client configuration:";
    Tag.debug() << "Retry interval millis: " << retryMillis;
    connectionTimer->setInterval(retryMillis);
}

void MqttClient::prepareClient()
{
    if (!client) {
        client = new MosquittoClient();
        QObject::connect(client, &MosquittoClient::connected, this, &MqttClient::connected);
        QObject::connect(client, &MosquittoClient::connected, this, &MqttClient::onConnected);
        QObject::connect(client, &MosquittoClient::disconnected, this, &MqttClient::disconnected);
        QObject::connect(client, &MosquittoClient::disconnected, this, &MqttClient::onDisconnected);
        QObject::connect(client, &MosquittoClient::errorChanged, this, &MqttClient::onError);
        QObject::connect(client, &MosquittoClient::stateChanged, this, &MqttClient::onStateChanged);
        QObject::connect(client, &MosquittoClient::messageReceived, this, &MqttClient::onReceived);
    }
    Tag.debug() << "Applying client configuration:";
    Tag.debug() << "Hostname: " << hostname;
    Tag.debug() << "Port    : " << port;
    Tag.debug() << "Username: " << username;
    Tag.debug() << "CleanSession: " << boolText(cleanSession);
    Tag.debug() << "Client Id   : " << clientId;
    Tag.debug() << "Keepalive   : " << int(keepAlive);
    Tag.debug() << "Will Message: " << willMessage;
    Tag.debug() << "Will QoS    : " << int(willQos);
    Tag.debug() << "Will Retain : " << boolText(willRetain);
    Tag.debug() << "Will Topic  : " << willTopic;
    client->setHostname(hostname);
    client->setPort(static_cast<quint16>(port));
    client->setUsername(username);
    client->setPassword(password);
    client->setCleanSession(cleanSession);
    client->setClientId(clientId);
    client->setKeepAlive(keepAlive);
    client->setWillMessage(willMessage);
    client->setWillQoS(willQos);
    client->setWillRetain(willRetain);
    client->setWillTopic(willTopic);
}

void MqttClient::disconnect()
{
    Tag.info() << "Disconnecting from host";
    if (client)
        client->disconnectFromHost();
}

void MqttClient::subscribe(const QString& topic, quint8 qos)
{
    subsTopics.append(qMakePair(topic, qos));
    if (client && client->state() == MosquittoClient::Connected)
        doSubscribe(topic, qos);
}

bool MqttClient::publish(const QByteArray& data, const QString& topic, quint8 qos, bool retain)
{
    if (!client || client->state() != MosquittoClient::Connected)
        return false;
    Tag.debug() << "Publishing to topic '" << topic << "' with Qos = " << int(qos)
                                 << " and Retain = " << boolText(retain) << ":\n"
                                 << Secrets::redacted(data);
    if (client->publish(topic, data, qos, retain) == -1) {
        emit error(QStringLiteral("Publish to ") + topic + QStringLiteral(" failed."));
        return false;
    }
    return true;
}

void MqttClient::doSubscribe(const QString& filter, quint8 qos)
{
    Tag.info() << "Subscribing to '" << filter << "' with QoS = " << int(qos);
    if (!client->subscribe(filter, qos))
        emit error(QStringLiteral("Subscription to ") + filter + QStringLiteral(" failed."));
}

void MqttClient::onConnected()
{
    Tag.info() << "Connected to broker " << hostname;
    const auto topics = subsTopics;
    for (const auto& entry : topics)
        doSubscribe(entry.first, entry.second);
}

void MqttClient::onDisconnected()
{
    Tag.info() << "Disconnected from broker " << hostname;
}

void MqttClient::onStateChanged(MosquittoClient::ClientState state)
{
    switch (state) {
    case MosquittoClient::Connecting:
        Tag.debug() << "State is Connecting.";
        connectionTimer->start();
        break;
    case MosquittoClient::Connected:
        Tag.debug() << "State is Connected.";
        connectionTimer->stop();
        break;
    case MosquittoClient::Disconnected:
        Tag.debug() << "State is Disconnected.";
        QTimer::singleShot(retryMillis, Qt::PreciseTimer, this, &MqttClient::onReconnect);
        break;
    }
}

void MqttClient::onTimeout()
{
    client->closeTransport();
}

void MqttClient::onReconnect()
{
    if (client && client->state() == MosquittoClient::Disconnected)
        connect();
}

void MqttClient::onReceived(const QByteArray& message, const QString& topic)
{
    Tag.debug() << "Received on topic: " << topic << "\n" << Secrets::redacted(message);
    emit received(message, topic.toUtf8());
}

void MqttClient::onError(MosquittoClient::ClientError code)
{
    if (code == MosquittoClient::NoError)
        return;
    Tag.warning() << errorText(code);
    emit error(QStringLiteral("Mqtt client error"));
}

QString MqttClient::errorText(MosquittoClient::ClientError code) const
{
    switch (code) {
    case MosquittoClient::InvalidProtocolVersion:
        return QStringLiteral("Invalid protocol version: ") + QString::number(client->protocolVersion()) +
               QStringLiteral(". Broker does not accept a connection using the specified protocol "
                              "version.");
    case MosquittoClient::IdRejected:
        return QStringLiteral("Id rejected: ") + client->clientId() +
               QStringLiteral(". The client ID is malformed. This might be related to its length.");
    case MosquittoClient::ServerUnavailable:
        return QStringLiteral("Server unavailable: ") + client->hostname() + QStringLiteral(":") +
               QString::number(client->port()) +
               QStringLiteral(". The network connection has been established, but the service is "
                              "unavailable on the broker side.");
    case MosquittoClient::BadUsernameOrPassword:
        return QStringLiteral("Bad username or password. The data in the username or password is "
                              "malformed.");
    case MosquittoClient::NotAuthorized:
        return QStringLiteral("Not authorized: ") + client->clientId() +
               QStringLiteral(". The client is not authorized to connect.");
    case MosquittoClient::TransportInvalid:
        return QStringLiteral("Transport invalid: The underlying transport caused an error. For "
                              "example, the connection might have been interrupted unexpectedly.");
    case MosquittoClient::ProtocolViolation:
        return QStringLiteral("Protocol violation:The client encountered a protocol violation, and "
                              "therefore closed the connection.");
    default:
        return QStringLiteral("Unknown error.");
    }
}

} // namespace manager
