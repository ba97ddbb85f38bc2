#include "Peripheral/Board.h"

#include <QDebug>
#include <QHash>
#include <QJsonArray>
#include <QJsonValue>

namespace manager {

namespace {

const QString kTag = QStringLiteral("[Board] ");

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

Board::Board(MqttClient& mqtt, const QString& baseTopic, QObject* parent)
    : ServiceManager(mqtt, baseTopic, kTag, parent)
{
    using namespace std::placeholders;
    handle(QStringLiteral("/info"), std::bind(&Board::onInfoReceived, this, _1, _2));
    handle(QStringLiteral("/status"), std::bind(&Board::onStatusReceived, this, _1, _2));
    handle(QStringLiteral("/config"), std::bind(&Board::onConfigReceived, this, _1, _2));
    handle(QStringLiteral("/display"), std::bind(&Board::onDisplayReceived, this, _1, _2));
    handle(QStringLiteral("/power"), std::bind(&Board::onPowerReceived, this, _1, _2));
    handle(QStringLiteral("/event"), std::bind(&Board::onEventReceived, this, _1, _2));
    handle(QStringLiteral("/audio"), std::bind(&Board::onAudioReceived, this, _1, _2));
    setPolledAreas({QStringLiteral("status"), QStringLiteral("display"), QStringLiteral("power"),
                    QStringLiteral("audio")});
    refreshOnConnect();
    subscribe({QStringLiteral("/info"), QStringLiteral("/status"), QStringLiteral("/config"),
               QStringLiteral("/display"), QStringLiteral("/power"), QStringLiteral("/audio"),
               QStringLiteral("/event")});
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
    qWarning().noquote().nospace() << kTag << "--- SET PERIPHERALS : " << debugText(list);
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
    qInfo().noquote().nospace() << kTag << "Setting board shutdown delay : " << seconds
                                << " sec(s)";
    const QJsonObject device{{"delayShutdownFor", seconds}};
    publishJson(m_base + QStringLiteral("/config/set"), QJsonObject{{"device", device}});
}

void Board::setPeripheralPower(const QString& peripheral, bool value)
{
    qInfo().noquote().nospace() << kTag << "Setting peripheral power: " << peripheral << " ("
                                << boolText(value) << ")";
    publishJson(m_base + QStringLiteral("/power/set"), QJsonObject{{peripheral, value}});
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
    publishRaw(m_base + QStringLiteral("/led/off/request/1"), QByteArray());
}

void Board::setDisplayBrightness(int value)
{
    qInfo().noquote().nospace() << kTag << "Setting display brightness : " << value;
    publishJson(m_base + QStringLiteral("/display/set"), QJsonObject{{"brightness", value}});
}

void Board::setDisplayBrightnessMode(const QString& value)
{
    qInfo().noquote().nospace() << kTag << "Setting display brightness mode : " << value;
    publishJson(m_base + QStringLiteral("/display/set"), QJsonObject{{"mode", value}});
}

void Board::setAudioEnabled(bool value)
{
    qInfo().noquote().nospace() << kTag << "Setting audio enabled : " << boolText(value);
    publishJson(m_base + QStringLiteral("/audio/set"), QJsonObject{{"mute", !value}});
}

bool Board::peripheralPower(const QString& peripheral) const
{
    return m_power.value(peripheral).toBool();
}

void Board::playBuzzer(int onMsec, int offMsec, int repeat)
{
    qInfo().noquote().nospace()
        << kTag
        << QStringLiteral("Playing buzzer : on=%1 msec, off=%2 msec, repeat=%3")
               .arg(onMsec)
               .arg(offMsec)
               .arg(repeat);
    publishJson(m_base + QStringLiteral("/buzzer/play/request/1"),
                QJsonObject{{"onMsec", onMsec}, {"offMsec", offMsec}, {"repeat", repeat}});
}

void Board::onInfoReceived(const QJsonObject& message, const QString& topic)
{
    qInfo().noquote().nospace() << kTag << "Processing info topic " << topic;
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
    qDebug().noquote().nospace() << kTag << "Processing status topic " << topic;
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
    qDebug().noquote().nospace() << kTag << "RTC Status changed : "
                                 << (failed ? QStringLiteral("FAIL") : QStringLiteral("OK"));
    m_device.insert(QStringLiteral("rtcFailed"), failed);
    emit rtcFailedChanged();
}

void Board::onConfigReceived(const QJsonObject& message, const QString& topic)
{
    qInfo().noquote().nospace() << kTag << "Processing config topic " << topic;
    const int seconds = message.value(QStringLiteral("device"))
                            .toObject()
                            .value(QStringLiteral("delayShutdownFor"))
                            .toInt();
    if (seconds == m_delayShutdownFor)
        return;
    qInfo().noquote().nospace() << kTag << "Board shutdown delay changed : " << seconds
                                << " sec(s)";
    m_delayShutdownFor = seconds;
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
        qInfo().noquote().nospace() << kTag << "Peripheral power changed '" << name << "' : "
                                    << boolText(value);
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
    qInfo().noquote().nospace() << kTag << "Event received : " << name << " ["
                                << debugText(data) << "]";
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
    if (ignition == m_ignition)
        return;
    qDebug().noquote().nospace() << kTag << "Ignition changed : " << boolText(ignition);
    m_ignition = ignition;
    emit ignitionChanged();
}

void Board::playLeds(const QString& name, const QJsonObject& program)
{
    qInfo().noquote().nospace() << kTag << "Setting LEDs to : " << name;
    publishJson(m_base + QStringLiteral("/led/play/request/1"), program);
}

} // namespace manager
