#include "Common/MqttClient.h"

#include "Common/Secrets.h"
#include <QLoggingCategory>

#include <QDebug>
#include <QMetaType>
#include <QTimer>

Q_LOGGING_CATEGORY(lcMqttClient, "quillon.MqttClient")

namespace manager {

namespace {


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
    delete m_client;
    delete m_connectionTimer;
}

void MqttClient::setHostname(const QString& value)
{
    m_hostname = value;
}

void MqttClient::setPort(unsigned value)
{
    m_port = value;
}

void MqttClient::setUsername(const QString& value)
{
    m_username = value;
}

void MqttClient::setPassword(const QString& value)
{
    m_password = value;
}

void MqttClient::setRetryMillis(unsigned value)
{
    m_retryMillis = static_cast<int>(value);
}

void MqttClient::setEncrypted(bool value)
{
    m_encrypted = value;
}

void MqttClient::setCleanSession(bool value)
{
    m_cleanSession = value;
}

void MqttClient::setClientId(const QString& value)
{
    m_clientId = value;
}

void MqttClient::setKeepAlive(quint8 value)
{
    m_keepAlive = value;
}

void MqttClient::setWillMessage(const QByteArray& value)
{
    m_willMessage = value;
}

void MqttClient::setWillQoS(quint8 value)
{
    m_willQos = value;
}

void MqttClient::setWillRetain(bool value)
{
    m_willRetain = value;
}

void MqttClient::setWillTopic(const QString& value)
{
    m_willTopic = value;
}

void MqttClient::connect()
{
    qCInfo(lcMqttClient).noquote().nospace() << "Connecting to host";
    prepareTimer();
    prepareClient();
    if (m_encrypted)
        qCWarning(lcMqttClient).noquote().nospace() << "Encryption not yet supported";
    m_client->connectToHost();
}

void MqttClient::prepareTimer()
{
    if (!m_connectionTimer) {
        m_connectionTimer = new QTimer();
        QObject::connect(m_connectionTimer, &QTimer::timeout, this, &MqttClient::onTimeout);
    }
    qCDebug(lcMqttClient).noquote().nospace() << "Applying client configuration:";
    qCDebug(lcMqttClient).noquote().nospace() << "Retry interval millis: " << m_retryMillis;
    m_connectionTimer->setInterval(m_retryMillis);
}

void MqttClient::prepareClient()
{
    if (!m_client) {
        m_client = new MosquittoClient();
        // Subscriptions go out before anyone hears of the connection: whoever
        // does may publish, and a peer's answer must find them in place.
        QObject::connect(m_client, &MosquittoClient::connected, this, &MqttClient::onConnected);
        QObject::connect(m_client, &MosquittoClient::connected, this, &MqttClient::connected);
        QObject::connect(m_client, &MosquittoClient::disconnected, this, &MqttClient::disconnected);
        QObject::connect(m_client, &MosquittoClient::disconnected, this, &MqttClient::onDisconnected);
        QObject::connect(m_client, &MosquittoClient::errorChanged, this, &MqttClient::onError);
        QObject::connect(m_client, &MosquittoClient::stateChanged, this, &MqttClient::onStateChanged);
        QObject::connect(m_client, &MosquittoClient::messageReceived, this, &MqttClient::onReceived);
    }
    qCDebug(lcMqttClient).noquote().nospace() << "Applying client configuration:";
    qCDebug(lcMqttClient).noquote().nospace() << "Hostname: " << m_hostname;
    qCDebug(lcMqttClient).noquote().nospace() << "Port    : " << m_port;
    qCDebug(lcMqttClient).noquote().nospace() << "Username: " << m_username;
    qCDebug(lcMqttClient).noquote().nospace() << "CleanSession: " << boolText(m_cleanSession);
    qCDebug(lcMqttClient).noquote().nospace() << "Client Id   : " << m_clientId;
    qCDebug(lcMqttClient).noquote().nospace() << "Keepalive   : " << int(m_keepAlive);
    qCDebug(lcMqttClient).noquote().nospace() << "Will Message: " << m_willMessage;
    qCDebug(lcMqttClient).noquote().nospace() << "Will QoS    : " << int(m_willQos);
    qCDebug(lcMqttClient).noquote().nospace() << "Will Retain : " << boolText(m_willRetain);
    qCDebug(lcMqttClient).noquote().nospace() << "Will Topic  : " << m_willTopic;
    m_client->setHostname(m_hostname);
    m_client->setPort(static_cast<quint16>(m_port));
    m_client->setUsername(m_username);
    m_client->setPassword(m_password);
    m_client->setCleanSession(m_cleanSession);
    m_client->setClientId(m_clientId);
    m_client->setKeepAlive(m_keepAlive);
    m_client->setWillMessage(m_willMessage);
    m_client->setWillQoS(m_willQos);
    m_client->setWillRetain(m_willRetain);
    m_client->setWillTopic(m_willTopic);
}

void MqttClient::disconnect()
{
    qCInfo(lcMqttClient).noquote().nospace() << "Disconnecting from host";
    if (m_client)
        m_client->disconnectFromHost();
}

void MqttClient::subscribe(const QString& topic, quint8 qos)
{
    m_subsTopics.append(qMakePair(topic, qos));
    if (m_client && m_client->state() == MosquittoClient::Connected)
        doSubscribe(topic, qos);
}

bool MqttClient::publish(const QByteArray& data, const QString& topic, quint8 qos, bool retain)
{
    if (!m_client || m_client->state() != MosquittoClient::Connected)
        return false;
    qCDebug(lcMqttClient).noquote().nospace() << "Publishing to topic '" << topic << "' with Qos = " << int(qos)
                                 << " and Retain = " << boolText(retain) << ":\n"
                                 << Secrets::redacted(data);
    if (m_client->publish(topic, data, qos, retain) == -1) {
        emit error(QStringLiteral("Publish to ") + topic + QStringLiteral(" failed."));
        return false;
    }
    return true;
}

void MqttClient::doSubscribe(const QString& filter, quint8 qos)
{
    qCInfo(lcMqttClient).noquote().nospace() << "Subscribing to '" << filter << "' with QoS = " << int(qos);
    if (!m_client->subscribe(filter, qos))
        emit error(QStringLiteral("Subscription to ") + filter + QStringLiteral(" failed."));
}

void MqttClient::onConnected()
{
    qCInfo(lcMqttClient).noquote().nospace() << "Connected to broker " << m_hostname;
    const auto topics = m_subsTopics;
    for (const auto& entry : topics)
        doSubscribe(entry.first, entry.second);
}

void MqttClient::onDisconnected()
{
    qCInfo(lcMqttClient).noquote().nospace() << "Disconnected from broker " << m_hostname;
}

void MqttClient::onStateChanged(MosquittoClient::ClientState state)
{
    switch (state) {
    case MosquittoClient::Connecting:
        qCDebug(lcMqttClient).noquote().nospace() << "State is Connecting.";
        m_connectionTimer->start();
        break;
    case MosquittoClient::Connected:
        qCDebug(lcMqttClient).noquote().nospace() << "State is Connected.";
        m_connectionTimer->stop();
        break;
    case MosquittoClient::Disconnected:
        qCDebug(lcMqttClient).noquote().nospace() << "State is Disconnected.";
        QTimer::singleShot(m_retryMillis, Qt::PreciseTimer, this, &MqttClient::onReconnect);
        break;
    }
}

void MqttClient::onTimeout()
{
    m_client->closeTransport();
}

void MqttClient::onReconnect()
{
    if (m_client && m_client->state() == MosquittoClient::Disconnected)
        connect();
}

void MqttClient::onReceived(const QByteArray& message, const QString& topic)
{
    qCDebug(lcMqttClient).noquote().nospace() << "Received on topic: " << topic << "\n" << Secrets::redacted(message);
    emit received(message, topic.toUtf8());
}

void MqttClient::onError(MosquittoClient::ClientError code)
{
    if (code == MosquittoClient::NoError)
        return;
    qCWarning(lcMqttClient).noquote().nospace() << errorText(code);
    emit error(QStringLiteral("Mqtt client error"));
}

QString MqttClient::errorText(MosquittoClient::ClientError code) const
{
    switch (code) {
    case MosquittoClient::InvalidProtocolVersion:
        return QStringLiteral("Invalid protocol version: ") + QString::number(m_client->protocolVersion()) +
               QStringLiteral(". Broker does not accept a connection using the specified protocol "
                              "version.");
    case MosquittoClient::IdRejected:
        return QStringLiteral("Id rejected: ") + m_client->clientId() +
               QStringLiteral(". The client ID is malformed. This might be related to its length.");
    case MosquittoClient::ServerUnavailable:
        return QStringLiteral("Server unavailable: ") + m_client->hostname() + QStringLiteral(":") +
               QString::number(m_client->port()) +
               QStringLiteral(". The network connection has been established, but the service is "
                              "unavailable on the broker side.");
    case MosquittoClient::BadUsernameOrPassword:
        return QStringLiteral("Bad username or password. The data in the username or password is "
                              "malformed.");
    case MosquittoClient::NotAuthorized:
        return QStringLiteral("Not authorized: ") + m_client->clientId() +
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
