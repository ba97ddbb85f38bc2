#include "Peripheral/Inspector.h"

#include <QDebug>

namespace manager {

namespace {

const QString kTag = QStringLiteral("[Inspector] ");
const QString kCard = QStringLiteral("internal");
// Gives the UI time to show that the device is going down.
constexpr int kPowerRequestDelayMsec = 2000;

} // namespace

Inspector::Inspector(MqttClient& mqtt, const QString& baseTopic, QObject* parent)
    : ServiceManager(mqtt, baseTopic, kTag, parent)
{
    using namespace std::placeholders;
    m_shutdownTimer.setSingleShot(true);
    connect(&m_shutdownTimer, &QTimer::timeout, this, &Inspector::systemShutdown);
    handle(QStringLiteral("/info"), std::bind(&Inspector::onInfoReceived, this, _1, _2));
    handle(QStringLiteral("/status"), std::bind(&Inspector::onStatusReceived, this, _1, _2));
    handle(QStringLiteral("/audio"), std::bind(&Inspector::onAudioReceived, this, _1, _2));
    refreshOnConnect();
    // Statistics replies match no handler and are dropped unread: nothing shows them.
    subscribe({QStringLiteral("/info"), QStringLiteral("/status"), QStringLiteral("/audio"),
               QStringLiteral("/stats/cpu"), QStringLiteral("/stats/memory"),
               QStringLiteral("/stats/disk")});
}

QVariantMap Inspector::memory() const
{
    return m_memory;
}

QVariantMap Inspector::cpu() const
{
    return m_cpu;
}

QVariantMap Inspector::disks() const
{
    return m_disks;
}

int Inspector::audioVolume() const
{
    return m_audio.value(kCard).toInt();
}

void Inspector::refresh()
{
    // Logged at information level, unlike the other managers. Info and status
    // are published by the service on its own.
    qInfo().noquote().nospace() << kTag << "Refreshing data";
    requestState(QStringLiteral("audio"));
    requestState(QStringLiteral("stats/memory"));
    requestState(QStringLiteral("stats/disk"));
    requestState(QStringLiteral("stats/cpu"));
}

void Inspector::setAudioVolume(int value)
{
    // Sent even for the current volume; the property follows the service's answer.
    qInfo().noquote().nospace() << kTag << "Setting '" << kCard << "' audio volume : " << value
                                << "%";
    const QJsonObject card{{"volume", value}};
    publishJson(m_base + QStringLiteral("/audio/set"), QJsonObject{{kCard, card}});
}

void Inspector::audioPlay(const QString& file)
{
    qInfo().noquote().nospace() << kTag << "Playing audio file (card='" << kCard << "') : "
                                << file;
    publishJson(m_base + QStringLiteral("/audio/play"),
                QJsonObject{{"device", kCard}, {"filepath", file}});
}

void Inspector::systemReboot()
{
    qInfo().noquote().nospace() << kTag << "Requesting System reboot";
    emit systemRebootStarted();
    requestPower(QStringLiteral("reboot"));
}

void Inspector::systemShutdown()
{
    qInfo().noquote().nospace() << kTag << "Requesting System shutdown";
    emit systemShutdownStarted();
    requestPower(QStringLiteral("shutdown"));
}

void Inspector::scheduleShutdown(int sec)
{
    // The first schedule stands.
    if (m_shutdownTimer.isActive())
        return;
    qInfo().noquote().nospace() << kTag << "Scheduling System shutdown in : " << sec << " sec(s)";
    m_shutdownTimer.start(sec * 1000);
}

void Inspector::abortShutdown()
{
    if (!m_shutdownTimer.isActive())
        return;
    qInfo().noquote().nospace() << kTag << "Aborting System shutdown";
    m_shutdownTimer.stop();
}

void Inspector::onInfoReceived(const QJsonObject& message, const QString& topic)
{
    qInfo().noquote().nospace() << kTag << "Processing info topic " << topic;
    m_info.insert(QStringLiteral("version"), message.value(QStringLiteral("service"))
                                                 .toObject()
                                                 .value(QStringLiteral("version"))
                                                 .toString());
    // Announced on every message, not only on a change.
    emit infoChanged();
}

void Inspector::onStatusReceived(const QJsonObject& message, const QString& topic)
{
    qInfo().noquote().nospace() << kTag << "Processing status topic " << topic;
    // The inspector reports no device object: online or offline only.
    readServiceStatus(message, nullptr, false);
}

void Inspector::onAudioReceived(const QJsonObject& message, const QString&)
{
    const int volume =
        message.value(kCard).toObject().value(QStringLiteral("volume")).toInt();
    if (volume == audioVolume())
        return;
    m_audio.insert(kCard, volume);
    emit audioVolumeChanged();
}

// Once asked for, the request goes out whatever happens in between.
void Inspector::requestPower(const QString& action)
{
    const QString topic =
        m_base + QStringLiteral("/power/") + action + QStringLiteral("/request/1");
    QTimer::singleShot(kPowerRequestDelayMsec, this,
                       [this, topic] { publishRaw(topic, QByteArray()); });
}

} // namespace manager
