#pragma once

#include "Model/IPv4.h"
#include "Peripheral/ServiceManager.h"

#include <QJsonObject>
#include <QString>

namespace manager {

// The wired interface as the network service reports it, and its stored
// configuration, which technicians edit through config() and send with save().
class Ethernet : public ServiceManager
{
    Q_OBJECT
    Q_PROPERTY(QString interface READ interface NOTIFY interfaceChanged)
    Q_PROPERTY(QString type READ type NOTIFY typeChanged)
    Q_PROPERTY(QString state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString reason READ reason NOTIFY reasonChanged)
    Q_PROPERTY(QString mac READ mac NOTIFY macChanged)
    Q_PROPERTY(QString method READ method WRITE setMethod NOTIFY methodChanged)
    Q_PROPERTY(IPv4* ipv4 READ ipv4 NOTIFY ipv4Changed)
    Q_PROPERTY(IPv4* config READ config NOTIFY configChanged)
public:
    Ethernet(MessageBus& client, const QString& baseTopic, QObject* parent = nullptr);

    QString interface() const;
    QString type() const;
    QString state() const;
    QString reason() const;
    QString mac() const;
    QString method() const;
    IPv4* ipv4();
    IPv4* config();

    void setMethod(const QString& method);

public slots:
    void save();
    void reset();

signals:
    void interfaceChanged();
    void typeChanged();
    void stateChanged();
    void reasonChanged();
    void macChanged();
    void methodChanged();
    void ipv4Changed();
    void configChanged();

private:
    void onStateReceived(const QJsonObject& message, const QString& topic);
    void onConfigReceived(const QJsonObject& message, const QString& topic);
    // Stores `value` when it differs; logs under `label` unless it is empty.
    bool change(QString& field, const QString& value, const char* label);

    QString m_interface;
    QString m_type;
    QString m_state;
    QString m_reason;
    QString m_mac;
    QString m_method;
    IPv4 m_ipv4;
    IPv4 m_config;
};

} // namespace manager
