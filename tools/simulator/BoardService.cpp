#include "BoardService.h"

#include <QJsonArray>

namespace {

QString colourName(const QJsonObject& colour)
{
    const int r = colour.value(QStringLiteral("r")).toInt();
    const int g = colour.value(QStringLiteral("g")).toInt();
    const int b = colour.value(QStringLiteral("b")).toInt();
    if (r == 0 && g == 0 && b == 0)
        return QStringLiteral("off");
    if (r > 0 && g == 0 && b == 0)
        return QStringLiteral("red");
    if (g > 0 && r == 0 && b == 0)
        return QStringLiteral("green");
    return QStringLiteral("rgb(%1,%2,%3)").arg(r).arg(g).arg(b);
}

} // namespace

BoardService::BoardService(const QString& base, QObject* parent)
    : SimulatedService(QStringLiteral("Board"), base, parent),
      m_display{{"brightness", 80}, {"sensor", 350}, {"mode", "auto"}},
      m_power{{"display", true}, {"ftdi", true},     {"mPCIe1", true},
              {"mPCIe2", false}, {"qrReader", true}, {"rfidReader", true},
              {"touch", true},   {"usbHost1", true}, {"usbHub", true}}
{
    m_uptime.start();
    setWill(QStringLiteral("/status"), QJsonObject{{"service", false}});
    handle(QStringLiteral("/info/get"), [this](const QJsonObject&) { publishInfo(); });
    handle(QStringLiteral("/status/get"), [this](const QJsonObject&) { publishStatus(); });
    handle(QStringLiteral("/config/get"), [this](const QJsonObject&) { publishConfig(); });
    handle(QStringLiteral("/display/get"), [this](const QJsonObject&) { publishDisplay(); });
    handle(QStringLiteral("/power/get"), [this](const QJsonObject&) { publishPower(); });
    handle(QStringLiteral("/audio/get"), [this](const QJsonObject&) { publishAudio(); });
    handle(QStringLiteral("/config/set"), [this](const QJsonObject& m) { onConfigSet(m); });
    handle(QStringLiteral("/display/set"), [this](const QJsonObject& m) { onDisplaySet(m); });
    handle(QStringLiteral("/power/set"), [this](const QJsonObject& m) { onPowerSet(m); });
    handle(QStringLiteral("/audio/set"), [this](const QJsonObject& m) {
        m_mute = m.value(QStringLiteral("mute")).toBool();
        log(m_mute ? QStringLiteral("Audio muted") : QStringLiteral("Audio on"));
        publishAudio();
    });
    handle(QStringLiteral("/led/play/request/1"), [this](const QJsonObject& m) { onLedProgram(m); });
    handle(QStringLiteral("/led/off/request/1"), [this](const QJsonObject&) { log(QStringLiteral("LEDs off")); });
    handle(QStringLiteral("/buzzer/play/request/1"), [this](const QJsonObject& m) {
        log(QStringLiteral("Buzzer: on %1 ms, off %2 ms, repeat %3")
                .arg(m.value(QStringLiteral("onMsec")).toInt())
                .arg(m.value(QStringLiteral("offMsec")).toInt())
                .arg(m.value(QStringLiteral("repeat")).toInt()));
    });
}

void BoardService::publishState()
{
    publishInfo();
    publishStatus();
    publishConfig();
    publishDisplay();
    publishPower();
    publishAudio();
}

void BoardService::publishInfo()
{
    publish(QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"firmwareVersion", "5.3.0"},
                                               {"hardwareId", "QB-7731-0042"},
                                               {"hardwareVersion", "rev C"}}},
                        {"service", QJsonObject{{"version", "2.0.4-sim"}}}});
}

void BoardService::publishStatus()
{
    const QJsonObject device{{"active", !m_faulty},
                             {"ignition", m_ignition},
                             {"poleId", "POLE-0042"},
                             {"temperature", 41.5},
                             {"voltage", 24.1},
                             {"uptime", int(m_uptime.elapsed() / 1000)},
                             {"hardwareStatus", QJsonObject{{"rtcFailed", false}}}};
    publish(QStringLiteral("/status"), QJsonObject{{"service", true}, {"device", device}});
}

void BoardService::publishConfig()
{
    publish(QStringLiteral("/config"),
            QJsonObject{{"device", QJsonObject{{"delayShutdownFor", m_delayShutdownFor}}}});
}

void BoardService::publishDisplay()
{
    publish(QStringLiteral("/display"), m_display);
}

void BoardService::publishPower()
{
    publish(QStringLiteral("/power"), m_power);
}

void BoardService::publishAudio()
{
    publish(QStringLiteral("/audio"), QJsonObject{{"mute", m_mute}});
}

void BoardService::onConfigSet(const QJsonObject& message)
{
    const QJsonValue delay = message.value(QStringLiteral("device")).toObject().value(QStringLiteral("delayShutdownFor"));
    if (!delay.isDouble()) {
        log(QStringLiteral("WARN: No shutdown delay in the request"));
        return;
    }
    m_delayShutdownFor = delay.toInt();
    log(QStringLiteral("Power is kept %1 s after ignition off").arg(m_delayShutdownFor));
    publishConfig();
}

void BoardService::onDisplaySet(const QJsonObject& message)
{
    for (const QString& key : {QStringLiteral("brightness"), QStringLiteral("mode")}) {
        if (message.contains(key))
            m_display.insert(key, message.value(key));
    }
    publishDisplay();
}

void BoardService::onPowerSet(const QJsonObject& message)
{
    for (auto it = message.begin(); it != message.end(); ++it) {
        if (!it.value().isBool())
            continue;
        log(QStringLiteral("Power of %1 %2").arg(it.key(), it.value().toBool() ? "on" : "off"));
        m_power.insert(it.key(), it.value());
    }
    publishPower();
}

void BoardService::onLedProgram(const QJsonObject& message)
{
    QStringList steps;
    for (const QJsonValue& step : message.value(QStringLiteral("steps")).toArray()) {
        const QJsonObject s = step.toObject();
        steps << QStringLiteral("%1 %2 ms")
                     .arg(colourName(s.value(QStringLiteral("color")).toObject()))
                     .arg(s.value(QStringLiteral("duration")).toInt());
    }
    log(QStringLiteral("LEDs play %1 x [%2]")
            .arg(message.value(QStringLiteral("repeat")).toInt())
            .arg(steps.join(QStringLiteral(", "))));
}

// The event announces the change at once; the status keeps later reads right.
void BoardService::setIgnition(bool on)
{
    m_ignition = on;
    if (!isOnline())
        return;
    publish(QStringLiteral("/event"),
            QJsonObject{{"name", "IgnitionChanged"}, {"data", on ? QStringLiteral("1") : QStringLiteral("0")}});
    publishStatus();
}

void BoardService::setFaulty(bool faulty)
{
    m_faulty = faulty;
    if (isOnline())
        publishStatus();
}
