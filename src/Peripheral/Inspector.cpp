#include "Peripheral/Inspector.h"

#include "Common/MessageBus.h"

namespace manager {

Q_LOGGING_CATEGORY(lcInspector, "quillon.Inspector")

namespace {

const QString kCard = QStringLiteral("internal");
// Gives the UI time to show that the device is going down.
constexpr int kPowerRequestDelayMsec = 2000;

} // namespace

Inspector::Inspector(MessageBus& mqtt, const QString& baseTopic, QObject* parent)
    : StatusServiceManager(mqtt, baseTopic, lcInspector, parent),
      m_monitor(log(), [this] { refresh(); })
{
    m_shutdownTimer.setSingleShot(true);
    connect(&mqtt, &MessageBus::connected, this, &Inspector::refresh);
    connect(&m_shutdownTimer, &QTimer::timeout, this, &Inspector::systemShutdown);
    handle(QStringLiteral("/info"), &Inspector::onInfoReceived);
    handle(QStringLiteral("/status"), &Inspector::onStatusReceived);
    handle(QStringLiteral("/audio"), &Inspector::onAudioReceived);
    // Statistics replies are dropped unread: nothing shows them.
    handle(QStringLiteral("/stats/cpu"));
    handle(QStringLiteral("/stats/memory"));
    handle(QStringLiteral("/stats/disk"));
    subscribe();
}

QVariantMap Inspector::info() const
{
    return m_info;
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
    // Logged at information level, unlike the board's. Info and status are
    // published by the service on its own.
    qCInfo(log()).noquote().nospace() << "Refreshing data";
    requestState({QStringLiteral("audio"), QStringLiteral("stats/memory"),
                  QStringLiteral("stats/disk"), QStringLiteral("stats/cpu")});
}

void Inspector::monitor(int msec)
{
    m_monitor.monitor(msec);
}

void Inspector::setAudioVolume(int value)
{
    // Sent even for the current volume; the property follows the service's answer.
    qCInfo(log()).noquote().nospace() << "Setting '" << kCard << "' audio volume : " << value << "%";
    const QJsonObject card{{"volume", value}};
    publishJson(base() + QStringLiteral("/audio/set"), QJsonObject{{kCard, card}});
}

void Inspector::audioPlay(const QString& file)
{
    qCInfo(log()).noquote().nospace() << "Playing audio file (card='" << kCard << "') : " << file;
    publishJson(base() + QStringLiteral("/audio/play"),
                QJsonObject{{"device", kCard}, {"filepath", file}});
}

void Inspector::systemReboot()
{
    qCInfo(log()).noquote().nospace() << "Requesting System reboot";
    emit systemRebootStarted();
    requestPower(QStringLiteral("reboot"));
}

void Inspector::systemShutdown()
{
    qCInfo(log()).noquote().nospace() << "Requesting System shutdown";
    emit systemShutdownStarted();
    requestPower(QStringLiteral("shutdown"));
}

void Inspector::scheduleShutdown(int sec)
{
    // The first schedule stands.
    if (m_shutdownTimer.isActive())
        return;
    qCInfo(log()).noquote().nospace() << "Scheduling System shutdown in : " << sec << " sec(s)";
    m_shutdownTimer.start(sec * 1000);
}

void Inspector::abortShutdown()
{
    if (!m_shutdownTimer.isActive())
        return;
    qCInfo(log()).noquote().nospace() << "Aborting System shutdown";
    m_shutdownTimer.stop();
}

void Inspector::onInfoReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing info topic " << topic;
    m_info.insert(QStringLiteral("version"), message.value(QStringLiteral("service"))
                                                 .toObject()
                                                 .value(QStringLiteral("version"))
                                                 .toString());
    // Announced on every message, not only on a change.
    emit infoChanged();
}

void Inspector::onStatusReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing status topic " << topic;
    // The inspector reports no device object: online or offline only.
    readServiceStatus(message);
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
        base() + QStringLiteral("/power/") + action + QStringLiteral("/request/1");
    QTimer::singleShot(kPowerRequestDelayMsec, this,
                       [this, topic] { publishRaw(topic, QByteArray()); });
}

} // namespace manager
