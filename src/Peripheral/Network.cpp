#include "Peripheral/Network.h"

#include "Common/AssignIfDifferent.h"
#include "Common/MessageBus.h"
#include "Peripheral/Ethernet.h"

namespace manager {

Q_LOGGING_CATEGORY(lcNetwork, "quillon.Network")

Network::Network(MessageBus& client, const QString& baseTopic, QObject* parent)
    : ServiceManager(client, baseTopic, lcNetwork, parent),
      m_ethernet(new Ethernet(client, baseTopic, this)),
      m_monitor(log(), [this] { refresh(); })
{
    connect(&client, &MessageBus::connected, this, &Network::refresh);
    handle(QStringLiteral("/info"), &Network::onInfoReceived);
    handle(QStringLiteral("/status"), &Network::onStatusReceived);
    subscribe();
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
    qCInfo(log()).noquote().nospace() << "Refreshing data";
}

void Network::monitor(int msec)
{
    m_monitor.monitor(msec);
}

void Network::onInfoReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing info topic " << topic;
    m_version = message.value(QStringLiteral("service")).toObject().value(QStringLiteral("version")).toString();
}

void Network::onStatusReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing status topic " << topic;
    if (assignIfDifferent(m_connectionState, message.value(QStringLiteral("stateStr")).toString()))
        emit connectionStateChanged();
    if (assignIfDifferent(m_connectivity, message.value(QStringLiteral("connectivityStr")).toString()))
        emit connectivityChanged();
    if (assignIfDifferent(m_hostname, message.value(QStringLiteral("hostname")).toString()))
        emit hostnameChanged();
    m_primaryConnection.fromMap(
        message.value(QStringLiteral("primaryConnection")).toObject().toVariantMap());
    // The pointer never changes; listeners re-read the connection on every status.
    emit primaryConnectionChanged();
}

} // namespace manager
