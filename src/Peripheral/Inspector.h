#pragma once

#include "Peripheral/ServiceMonitor.h"
#include "Peripheral/StatusServiceManager.h"

#include <QJsonObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

namespace manager {

class MessageBus;

// Client of the system inspector: audio volume and playback, statistics,
// and the reboot and shutdown requests.
class Inspector : public StatusServiceManager
{
    Q_OBJECT
    Q_PROPERTY(QVariantMap info READ info NOTIFY infoChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QVariantMap memory READ memory NOTIFY memoryChanged)
    Q_PROPERTY(QVariantMap cpu READ cpu NOTIFY cpuChanged)
    Q_PROPERTY(QVariantMap disks READ disks NOTIFY disksChanged)
    Q_PROPERTY(int audioVolume READ audioVolume WRITE setAudioVolume NOTIFY audioVolumeChanged)
public:
    Inspector(MessageBus& mqtt, const QString& baseTopic, QObject* parent = nullptr);

    QVariantMap info() const;
    QVariantMap memory() const;
    QVariantMap cpu() const;
    QVariantMap disks() const;
    int audioVolume() const;

signals:
    void infoChanged();
    void memoryChanged();
    void cpuChanged();
    void disksChanged();
    void audioVolumeChanged();
    void systemRebootStarted();
    void systemShutdownStarted();

public slots:
    void refresh();
    void monitor(int msec);
    void setAudioVolume(int value);
    void audioPlay(const QString& file);
    void systemReboot();
    void systemShutdown();
    void scheduleShutdown(int sec);
    void abortShutdown();

private:
    void onInfoReceived(const QJsonObject& message, const QString& topic);
    void onStatusReceived(const QJsonObject& message, const QString& topic);
    void onAudioReceived(const QJsonObject& message, const QString& topic);
    void requestPower(const QString& action);

    QVariantMap m_info;
    QVariantMap m_memory;
    QVariantMap m_cpu;
    QVariantMap m_disks;
    QVariantMap m_audio;
    ServiceMonitor m_monitor;
    QTimer m_shutdownTimer;
};

} // namespace manager
