#include "Peripheral/Network.h"

#include "Common/MqttClient.h"
#include "Peripheral/Ethernet.h"

#include <QDebug>

namespace manager {

namespace {

bool change(QString& field, const QString& value)
{
    if (value == field)
        return false;
    field = value;
    return true;
}

} // namespace

Network::Network(MqttClient& client, const QString& baseTopic, QObject* parent)
    : ServiceManager(client, baseTopic, QStringLiteral("[Network] "), parent),
      m_ethernet(new Ethernet(client, baseTopic, this))
{
    handle(QStringLiteral("/info"), [this](const QJsonObject& m, const QString& t) {
        onInfoReceived(m, t);
    });
    handle(QStringLiteral("/status"), [this](const QJsonObject& m, const QString& t) {
        onStatusReceived(m, t);
    });
    refreshOnConnect();
    subscribe({QStringLiteral("/info"), QStringLiteral("/status")});
}

bool Network::isConnected() const
{
    return m_isConnected;
}

QString Network::connectionState() const
{
    return m_connectionState;
}

QString Network::connectivity() const
{
    return m_connectivity;
}

QString Network::hostname() const
{
    return m_hostname;
}

Connection* Network::primaryConnection()
{
    return &m_primaryConnection;
}

Ethernet* Network::ethernet() const
{
    return m_ethernet;
}

// The service publishes on its own; there is nothing to ask for.
void Network::refresh()
{
    qInfo().noquote().nospace() << tag() << "Refreshing data";
}

void Network::onInfoReceived(const QJsonObject& message, const QString& topic)
{
    qInfo().noquote().nospace() << tag() << "Processing info topic " << topic;
    m_version = message.value(QStringLiteral("service")).toObject().value(QStringLiteral("version")).toString();
}

void Network::onStatusReceived(const QJsonObject& message, const QString& topic)
{
    qInfo().noquote().nospace() << tag() << "Processing status topic " << topic;
    if (change(m_connectionState, message.value(QStringLiteral("stateStr")).toString()))
        emit connectionStateChanged();
    if (change(m_connectivity, message.value(QStringLiteral("connectivityStr")).toString()))
        emit connectivityChanged();
    if (change(m_hostname, message.value(QStringLiteral("hostname")).toString()))
        emit hostnameChanged();
    m_primaryConnection.fromMap(
        message.value(QStringLiteral("primaryConnection")).toObject().toVariantMap());
    // The pointer never changes; listeners re-read the connection on every status.
    emit primaryConnectionChanged();
}

} // namespace manager
