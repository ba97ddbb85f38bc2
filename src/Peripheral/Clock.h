#pragma once

#include "Peripheral/ServiceManager.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace manager {

// The device's time settings: NTP through the time service, the time zone
// straight from the system through timedatectl.
class Clock : public ServiceManager
{
    Q_OBJECT
    Q_PROPERTY(QStringList timezones READ timezones NOTIFY timezonesChanged)
    Q_PROPERTY(QString timezone READ timezone WRITE setTimezone NOTIFY timezoneChanged)
    Q_PROPERTY(QString ntpServer READ ntpServer WRITE setNtpServer NOTIFY ntpServerChanged)
    Q_PROPERTY(bool ntpEnabled READ ntpEnabled WRITE setNtpEnabled NOTIFY ntpEnabledChanged)
    Q_PROPERTY(bool ntpSynced READ ntpSynced NOTIFY ntpSyncedChanged)
public:
    Clock(MessageBus& client, const QString& baseTopic, QObject* parent = nullptr);

    QStringList timezones() const;
    // Asks the system on every read.
    QString timezone() const;
    QString ntpServer() const;
    bool ntpEnabled() const;
    bool ntpSynced() const;

    void setTimezone(const QString& zone);
    void setNtpServer(const QString& server);
    void setNtpEnabled(bool enabled);

public slots:
    void ntpSync();
    void refresh();

signals:
    void timezonesChanged();
    void timezoneChanged();
    void ntpServerChanged();
    void ntpEnabledChanged();
    void ntpSyncedChanged();

private:
    bool decode(const QByteArray& data, QJsonObject* object) const override;
    void onStatusReceived(const QJsonObject& message, const QString& topic);
    void onConfigReceived(const QJsonObject& message, const QString& topic);
    void setEnabled(bool enabled);
    void requestConfig(bool enabled, const QString& server);

    QStringList m_timezones;
    QString m_ntpServer;
    bool m_ntpEnabled = false;
    bool m_ntpSynced = false;
};

} // namespace manager
