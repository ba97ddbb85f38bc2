#pragma once

#include "SimulatedService.h"

#include <QElapsedTimer>
#include <QJsonObject>

// The board controller: LEDs, buzzer, display, power switches, ignition.
class BoardService : public SimulatedService
{
    Q_OBJECT
public:
    explicit BoardService(const QString& base, QObject* parent = nullptr);

    void publishState() override;

    void setIgnition(bool on);
    // A board that runs but reports its hardware as inactive.
    void setFaulty(bool faulty);

private:
    void publishInfo();
    void publishStatus();
    void publishConfig();
    void publishDisplay();
    void publishPower();
    void publishAudio();
    void onConfigSet(const QJsonObject& message);
    void onDisplaySet(const QJsonObject& message);
    void onPowerSet(const QJsonObject& message);
    void onLedProgram(const QJsonObject& message);

    QElapsedTimer m_uptime;
    bool m_ignition = true;
    bool m_faulty = false;
    int m_delayShutdownFor = 120;
    QJsonObject m_display;
    QJsonObject m_power;
    bool m_mute = false;
};
