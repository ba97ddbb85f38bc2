#include "Peripheral/Board.h"

#include "Common/AssignIfDifferent.h"
#include "Common/MessageBus.h"

#include <QDebug>
#include <QHash>
#include <QJsonArray>
#include <QJsonValue>
#include <QLocale>

namespace manager {

Q_LOGGING_CATEGORY(lcBoard, "quillon.Board")

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// The toolkit's debug form, quotes included, for log lines written unquoted.
template <typename T>
QString debugText(const T& value)
{
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}

// What a field that was never reported reads as; the service sends texts and numbers.
QJsonValue neutralOf(const QJsonValue& value)
{
    return value.isString() ? QJsonValue(QString()) : QJsonValue(0.0);
}

QString valueText(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    // Plain shortest form: an uptime in seconds must not turn into "1.23457e+06".
    return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
}

QString peripheralLabel(const QString& name)
{
    static const QHash<QString, QString> labels = {
        {QStringLiteral("display"), QStringLiteral("Display")},
        {QStringLiteral("ftdi"), QStringLiteral("FTDI")},
        {QStringLiteral("mPCIe1"), QStringLiteral("mPCIe #1")},
        {QStringLiteral("mPCIe2"), QStringLiteral("mPCIe #2")},
        {QStringLiteral("qrReader"), QStringLiteral("QR Reader")},
        {QStringLiteral("rfidReader"), QStringLiteral("RFID Reader")},
        {QStringLiteral("touch"), QStringLiteral("Touch")},
        {QStringLiteral("usbHost1"), QStringLiteral("USB Host")},
        {QStringLiteral("usbHub"), QStringLiteral("USB Hub")},
    };
    return labels.value(name);
}

struct LedStep {
    int r;
    int g;
    int b;
    int duration;
};

QJsonObject ledProgram(int repeat, std::initializer_list<LedStep> steps)
{
    QJsonArray array;
    for (const LedStep& step : steps) {
        const QJsonObject color{{"r", step.r}, {"g", step.g}, {"b", step.b}};
        array.append(QJsonObject{{"color", color}, {"duration", step.duration}});
    }
    return QJsonObject{{"repeat", repeat}, {"steps", array}};
}

} // namespace

Board::Board(MessageBus& mqtt, const QString& baseTopic, QObject* parent)
    : StatusServiceManager(mqtt, baseTopic, lcBoard, parent),
      m_monitor(log(), [this] { refresh(); })
{
    handle(QStringLiteral("/info"), &Board::onInfoReceived);
    handle(QStringLiteral("/status"), &Board::onStatusReceived);
    handle(QStringLiteral("/config"), &Board::onConfigReceived);
    handle(QStringLiteral("/display"), &Board::onDisplayReceived);
    handle(QStringLiteral("/power"), &Board::onPowerReceived);
    handle(QStringLiteral("/audio"), &Board::onAudioReceived);
    handle(QStringLiteral("/event"), &Board::onEventReceived);
    connect(&mqtt, &MessageBus::connected, this, &Board::refresh);
    subscribe();
}

QVariantMap Board::info() const
{
    return m_info;
}

bool Board::ignition() const
{
    return m_ignition;
}

QString Board::poleId() const
{
    return m_device.value(QStringLiteral("poleId")).toString();
}

double Board::temperature() const
{
    return m_device.value(QStringLiteral("temperature")).toDouble();
}

double Board::voltage() const
{
    return m_device.value(QStringLiteral("voltage")).toDouble();
}

int Board::uptime() const
{
    return m_device.value(QStringLiteral("uptime")).toInt();
}

int Board::displayBrightness() const
{
    return m_display.value(QStringLiteral("brightness")).toInt();
}

QString Board::displayBrightnessMode() const
{
    return m_display.value(QStringLiteral("mode")).toString();
}

int Board::ambientLightSensor() const
{
    return m_display.value(QStringLiteral("sensor")).toInt();
}

bool Board::audioEnabled() const
{
    return !m_audio.value(QStringLiteral("mute")).toBool();
}

QVariantList Board::peripherals() const
{
    QVariantList list;
    for (auto it = m_power.constBegin(); it != m_power.constEnd(); ++it) {
        list.append(QVariantMap{{QStringLiteral("item"), it.key()},
                                {QStringLiteral("descr"), peripheralLabel(it.key())},
                                {QStringLiteral("value"), it.value().toBool()}});
    }
    return list;
}

void Board::setPeripherals(const QVariantList& list)
{
    // Power is switched one peripheral at a time; the list itself is read-only.
    qCWarning(log()).noquote().nospace() << "--- SET PERIPHERALS : " << debugText(list);
}

bool Board::rtcFailed() const
{
    return m_device.value(QStringLiteral("rtcFailed")).toBool();
}

int Board::delayShutdownFor() const
{
    return m_delayShutdownFor;
}

void Board::setDelayShutdownFor(int seconds)
{
    if (seconds == m_delayShutdownFor)
        return;
    qCInfo(log()).noquote().nospace() << "Setting board shutdown delay : " << seconds << " sec(s)";
    const QJsonObject device{{"delayShutdownFor", seconds}};
    publishJson(base() + QStringLiteral("/config/set"), QJsonObject{{"device", device}});
}

void Board::refresh()
{
    qCDebug(log()).noquote().nospace() << "Refreshing data";
    requestState({QStringLiteral("status"), QStringLiteral("display"), QStringLiteral("power"),
                  QStringLiteral("audio")});
}

void Board::monitor(int msec)
{
    m_monitor.monitor(msec);
}

void Board::setPeripheralPower(const QString& peripheral, bool value)
{
    qCInfo(log()).noquote().nospace() << "Setting peripheral power: " << peripheral << " (" << boolText(value) << ")";
    publishJson(base() + QStringLiteral("/power/set"), QJsonObject{{peripheral, value}});
}

void Board::setLedValid()
{
    playLeds(QStringLiteral("VALID"), ledProgram(3, {{0, 255, 0, 100}, {0, 0, 0, 50}}));
}

void Board::setLedInvalid()
{
    playLeds(QStringLiteral("INVALID"), ledProgram(3, {{255, 0, 0, 100}, {0, 0, 0, 50}}));
}

void Board::setLedTestPattern()
{
    playLeds(QStringLiteral("TEST"), ledProgram(30, {{255, 0, 0, 1000},
                                                     {0, 0, 0, 200},
                                                     {0, 255, 0, 1000},
                                                     {0, 0, 0, 200}}));
}

void Board::setLedOff()
{
    publishRaw(base() + QStringLiteral("/led/off/request/1"), QByteArray());
}

void Board::setDisplayBrightness(int value)
{
    qCInfo(log()).noquote().nospace() << "Setting display brightness : " << value;
    publishJson(base() + QStringLiteral("/display/set"), QJsonObject{{"brightness", value}});
}

void Board::setDisplayBrightnessMode(const QString& value)
{
    qCInfo(log()).noquote().nospace() << "Setting display brightness mode : " << value;
    publishJson(base() + QStringLiteral("/display/set"), QJsonObject{{"mode", value}});
}

void Board::setAudioEnabled(bool value)
{
    qCInfo(log()).noquote().nospace() << "Setting audio enabled : " << boolText(value);
    publishJson(base() + QStringLiteral("/audio/set"), QJsonObject{{"mute", !value}});
}

bool Board::peripheralPower(const QString& peripheral) const
{
    return m_power.value(peripheral).toBool();
}

void Board::playBuzzer(int onMsec, int offMsec, int repeat)
{
    qCInfo(log()).noquote().nospace() << QStringLiteral("Playing buzzer : on=%1 msec, off=%2 msec, repeat=%3")
                        .arg(onMsec)
                        .arg(offMsec)
                        .arg(repeat);
    publishJson(base() + QStringLiteral("/buzzer/play/request/1"),
                QJsonObject{{"onMsec", onMsec}, {"offMsec", offMsec}, {"repeat", repeat}});
}

void Board::onInfoReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing info topic " << topic;
    const QJsonObject device = message.value(QStringLiteral("device")).toObject();
    const QJsonObject service = message.value(QStringLiteral("service")).toObject();
    m_info = {
        {QStringLiteral("firmware"), device.value(QStringLiteral("firmwareVersion")).toString()},
        {QStringLiteral("hardwareId"), device.value(QStringLiteral("hardwareId")).toString()},
        {QStringLiteral("hardware"), device.value(QStringLiteral("hardwareVersion")).toString()},
        {QStringLiteral("version"), service.value(QStringLiteral("version")).toString()},
    };
    // Announced on every message, not only on a change.
    emit infoChanged();
}

void Board::onStatusReceived(const QJsonObject& message, const QString& topic)
{
    qCDebug(log()).noquote().nospace() << "Processing status topic " << topic;
    QJsonObject device;
    if (!readServiceStatus(message, &device))
        return;
    setIgnition(device.value(QStringLiteral("ignition")).toBool());
    updateDevice(device);
}

void Board::updateDevice(const QJsonObject& device)
{
    if (updateField(m_device, QStringLiteral("poleId"),
                    device.value(QStringLiteral("poleId")).toString(), QStringLiteral("Pole Id")))
        emit poleIdChanged();
    if (updateField(m_device, QStringLiteral("temperature"),
                    device.value(QStringLiteral("temperature")).toDouble(),
                    QStringLiteral("Temperature")))
        emit temperatureChanged();
    if (updateField(m_device, QStringLiteral("voltage"),
                    device.value(QStringLiteral("voltage")).toDouble(), QStringLiteral("Voltage")))
        emit voltageChanged();
    if (updateField(m_device, QStringLiteral("uptime"),
                    device.value(QStringLiteral("uptime")).toInt(), QStringLiteral("Uptime")))
        emit uptimeChanged();

    const bool failed = device.value(QStringLiteral("hardwareStatus"))
                            .toObject()
                            .value(QStringLiteral("rtcFailed"))
                            .toBool();
    if (failed == rtcFailed())
        return;
    qCDebug(log()).noquote().nospace() << "RTC Status changed : " << (failed ? QStringLiteral("FAIL") : QStringLiteral("OK"));
    m_device.insert(QStringLiteral("rtcFailed"), failed);
    emit rtcFailedChanged();
}

void Board::onConfigReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing config topic " << topic;
    const int seconds = message.value(QStringLiteral("device"))
                            .toObject()
                            .value(QStringLiteral("delayShutdownFor"))
                            .toInt();
    if (!assignIfDifferent(m_delayShutdownFor, seconds))
        return;
    qCInfo(log()).noquote().nospace() << "Board shutdown delay changed : " << seconds << " sec(s)";
    emit delayShutdownForChanged();
}

void Board::onDisplayReceived(const QJsonObject& message, const QString&)
{
    if (updateField(m_display, QStringLiteral("brightness"),
                    message.value(QStringLiteral("brightness")).toInt(),
                    QStringLiteral("Display brightness")))
        emit displayBrightnessChanged();
    if (updateField(m_display, QStringLiteral("sensor"),
                    message.value(QStringLiteral("sensor")).toInt(),
                    QStringLiteral("Display sensor")))
        emit ambientLightSensorChanged();
    if (updateField(m_display, QStringLiteral("mode"),
                    message.value(QStringLiteral("mode")).toString(),
                    QStringLiteral("Display brightness mode")))
        emit displayBrightnessModeChanged();
}

void Board::onPowerReceived(const QJsonObject& message, const QString&)
{
    bool changed = false;
    for (auto it = message.constBegin(); it != message.constEnd(); ++it) {
        if (it.value().isNull())
            continue;
        const QString name = it.key();
        const bool value = it.value().toBool();
        if (m_power.contains(name) && m_power.value(name).toBool() == value)
            continue;
        qCInfo(log()).noquote().nospace() << "Peripheral power changed '" << name << "' : " << boolText(value);
        m_power.insert(name, value);
        changed = true;
        emit peripheralPowerChanged(name, value);
    }
    if (changed)
        emit peripheralsChanged();
}

void Board::onEventReceived(const QJsonObject& message, const QString&)
{
    const QString name = message.value(QStringLiteral("name")).toString();
    const QVariant data = message.value(QStringLiteral("data")).toVariant();
    qCInfo(log()).noquote().nospace() << "Event received : " << name << " [" << debugText(data) << "]";
    if (name != QLatin1String("IgnitionChanged"))
        return;
    // A status message may already have reported the same edge.
    setIgnition(data.toString() != QLatin1String("0"));
}

void Board::onAudioReceived(const QJsonObject& message, const QString&)
{
    const bool mute = message.value(QStringLiteral("mute")).toBool();
    if (mute == m_audio.value(QStringLiteral("mute")).toBool())
        return;
    m_audio.insert(QStringLiteral("mute"), mute);
    emit audioEnabledChanged();
}

void Board::setIgnition(bool ignition)
{
    if (!assignIfDifferent(m_ignition, ignition))
        return;
    qCDebug(log()).noquote().nospace() << "Ignition changed : " << boolText(ignition);
    emit ignitionChanged();
}

void Board::playLeds(const QString& name, const QJsonObject& program)
{
    qCInfo(log()).noquote().nospace() << "Setting LEDs to : " << name;
    publishJson(base() + QStringLiteral("/led/play/request/1"), program);
}

bool Board::updateField(QJsonObject& area, const QString& key, const QJsonValue& value,
                        const QString& label) const
{
    const QJsonValue held = area.contains(key) ? area.value(key) : neutralOf(value);
    if (held == value)
        return false;
    qCDebug(log()).noquote().nospace() << label << " changed : " << valueText(value);
    area.insert(key, value);
    return true;
}

} // namespace manager
