#pragma once

#include "Peripheral/Connection.h"
#include "Peripheral/ServiceManager.h"
#include "Peripheral/ServiceMonitor.h"

#include <QJsonObject>
#include <QString>

namespace manager {

class Ethernet;

// The device's network state as the network service publishes it, with the
// connection that carries the traffic and the wired interface's manager.
class Network : public ServiceManager
{
    Q_OBJECT
    Q_PROPERTY(bool isConnected READ isConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(QString connectionState READ connectionState NOTIFY connectionStateChanged)
    Q_PROPERTY(QString connectivity READ connectivity NOTIFY connectivityChanged)
    Q_PROPERTY(QString hostname READ hostname NOTIFY hostnameChanged)
    Q_PROPERTY(manager::Connection* primaryConnection READ primaryConnection NOTIFY primaryConnectionChanged)
    Q_PROPERTY(manager::Ethernet* ethernet READ ethernet CONSTANT)
public:
    Network(MessageBus& client, const QString& baseTopic, QObject* parent = nullptr);

    bool isConnected() const;
    QString connectionState() const;
    QString connectivity() const;
    QString hostname() const;
    Connection* primaryConnection();
    Ethernet* ethernet() const;

public slots:
    void refresh();
    void monitor(int msec);

signals:
    void isConnectedChanged();
    void connectionStateChanged();
    void connectivityChanged();
    void hostnameChanged();
    void primaryConnectionChanged();
    void ethernetChanged();

private:
    void onInfoReceived(const QJsonObject& message, const QString& topic);
    void onStatusReceived(const QJsonObject& message, const QString& topic);

    bool m_isConnected = false;
    QString m_connectionState;
    QString m_connectivity;
    QString m_version;
    QString m_hostname;
    Connection m_primaryConnection;
    Ethernet* m_ethernet;
    ServiceMonitor m_monitor;
};

} // namespace manager
