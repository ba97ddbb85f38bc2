#pragma once

#include "Peripheral/ServiceMonitor.h"
#include "Peripheral/StatusServiceManager.h"

#include <QJsonObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace manager {

class MessageBus;

// Client of the board controller: LEDs, buzzer, display, peripheral power,
// audio mute, ignition and the board's own shutdown delay.
class Board : public StatusServiceManager
{
    Q_OBJECT
    Q_PROPERTY(bool ignition READ ignition NOTIFY ignitionChanged)
    Q_PROPERTY(QString poleId READ poleId NOTIFY poleIdChanged)
    Q_PROPERTY(double temperature READ temperature NOTIFY temperatureChanged)
    Q_PROPERTY(double voltage READ voltage NOTIFY voltageChanged)
    Q_PROPERTY(int displayBrightness READ displayBrightness WRITE setDisplayBrightness
                   NOTIFY displayBrightnessChanged)
    Q_PROPERTY(QString displayBrightnessMode READ displayBrightnessMode
                   WRITE setDisplayBrightnessMode NOTIFY displayBrightnessModeChanged)
    Q_PROPERTY(int ambientLightSensor READ ambientLightSensor NOTIFY ambientLightSensorChanged)
    Q_PROPERTY(QVariantMap info READ info NOTIFY infoChanged)
    Q_PROPERTY(bool audioEnabled READ audioEnabled WRITE setAudioEnabled NOTIFY audioEnabledChanged)
    Q_PROPERTY(QVariantList peripherals READ peripherals WRITE setPeripherals
                   NOTIFY peripheralsChanged)
    Q_PROPERTY(bool rtcFailed READ rtcFailed NOTIFY rtcFailedChanged)
    Q_PROPERTY(int delayShutdownFor READ delayShutdownFor WRITE setDelayShutdownFor
                   NOTIFY delayShutdownForChanged)
public:
    Board(MessageBus& mqtt, const QString& baseTopic, QObject* parent = nullptr);

    QVariantMap info() const;
    bool ignition() const;
    QString poleId() const;
    double temperature() const;
    double voltage() const;
    int uptime() const;
    int displayBrightness() const;
    QString displayBrightnessMode() const;
    int ambientLightSensor() const;
    bool audioEnabled() const;
    QVariantList peripherals() const;
    void setPeripherals(const QVariantList& list);
    bool rtcFailed() const;
    int delayShutdownFor() const;
    void setDelayShutdownFor(int seconds);

signals:
    void infoChanged();
    void ignitionChanged();
    void poleIdChanged();
    void temperatureChanged();
    void voltageChanged();
    void uptimeChanged();
    void peripheralPowerChanged(QString peripheral, bool value);
    void audioEnabledChanged();
    void rtcFailedChanged();
    void displayBrightnessChanged();
    void displayBrightnessModeChanged();
    void ambientLightSensorChanged();
    void peripheralsChanged();
    void delayShutdownForChanged();

public slots:
    void refresh();
    void monitor(int msec);
    void setPeripheralPower(const QString& peripheral, bool value);
    void setLedValid();
    void setLedInvalid();
    void setLedTestPattern();
    void setLedOff();
    void setDisplayBrightness(int value);
    void setDisplayBrightnessMode(const QString& value);
    void setAudioEnabled(bool value);
    bool peripheralPower(const QString& peripheral) const;
    void playBuzzer(int onMsec, int offMsec, int repeat = 0);

private:
    void onInfoReceived(const QJsonObject& message, const QString& topic);
    void onStatusReceived(const QJsonObject& message, const QString& topic);
    void onConfigReceived(const QJsonObject& message, const QString& topic);
    void onDisplayReceived(const QJsonObject& message, const QString& topic);
    void onPowerReceived(const QJsonObject& message, const QString& topic);
    void onEventReceived(const QJsonObject& message, const QString& topic);
    void onAudioReceived(const QJsonObject& message, const QString& topic);
    void setIgnition(bool ignition);
    void updateDevice(const QJsonObject& device);
    void playLeds(const QString& name, const QJsonObject& program);
    // Stores `value` under `key` when it differs from the held one (absent
    // reads as the neutral value of its type) and logs "<label> changed : ".
    bool updateField(QJsonObject& area, const QString& key, const QJsonValue& value,
                     const QString& label) const;

    QVariantMap m_info;
    QJsonObject m_device;
    QJsonObject m_display;
    QJsonObject m_power;
    QVariantMap m_audio;
    int m_delayShutdownFor = 0;
    bool m_ignition = true;
    ServiceMonitor m_monitor;
};

} // namespace manager
