#include "Peripheral/Clock.h"

#include "Common/MqttClient.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QProcess>
#include <QRegularExpression>

namespace manager {

namespace {

const int CommandMillis = 1000;

// Runs timedatectl with its arguments kept apart, so a zone name can never
// turn into further arguments. A slow command gives what it printed so far.
QString timedatectl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("timedatectl"), arguments, QIODevice::ReadOnly);
    process.waitForFinished(CommandMillis);
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(CommandMillis);
    }
    return output;
}

} // namespace

Clock::Clock(MqttClient& client, const QString& baseTopic, QObject* parent)
    : ServiceManager(client, baseTopic + QStringLiteral("/clock/ntp"), QStringLiteral("[Clock] "),
                     parent)
{
    m_timezones = timedatectl({QStringLiteral("--no-pager"), QStringLiteral("list-timezones")})
                      .split(QLatin1Char('\n'));
    setGetPayload(QByteArray());
    refreshOnConnect();
    subscribe({QStringLiteral("/status"), QStringLiteral("/config")});
}

QStringList Clock::timezones() const
{
    return m_timezones;
}

QString Clock::timezone() const
{
    static const QRegularExpression zone(QStringLiteral("Time zone:\\s(.+)\\s\\("));
    return zone.match(timedatectl({QStringLiteral("status")})).captured(1);
}

QString Clock::ntpServer() const
{
    return m_ntpServer;
}

bool Clock::ntpEnabled() const
{
    return m_ntpEnabled;
}

bool Clock::ntpSynced() const
{
    return m_ntpSynced;
}

// The outcome is not checked: the next read shows the zone in force.
void Clock::setTimezone(const QString& zone)
{
    if (zone == timezone())
        return;
    timedatectl({QStringLiteral("set-timezone"), zone});
    emit timezoneChanged();
}

void Clock::setNtpServer(const QString& server)
{
    if (server == m_ntpServer)
        return;
    qInfo().noquote().nospace() << tag() << "Setting NTP server : " << server;
    requestConfig(m_ntpEnabled, server);
}

void Clock::setNtpEnabled(bool enabled)
{
    if (enabled == m_ntpEnabled)
        return;
    qInfo().noquote().nospace() << tag() << "Setting NTP : " << (enabled ? "enabled" : "disabled");
    requestConfig(enabled, m_ntpServer);
}

void Clock::ntpSync()
{
    qInfo().noquote().nospace() << tag() << "Requesting NTP sync";
    m_ntpSynced = false;
    // Always announced: the page shows the sync as running again.
    emit ntpSyncedChanged();
    publishRaw(m_base + QStringLiteral("/sync"), QByteArray());
}

void Clock::refresh()
{
    qInfo().noquote().nospace() << tag() << "Refreshing Clock status and config";
    requestState(QStringLiteral("status"));
    requestState(QStringLiteral("config"));
}

// An empty payload is not read as an empty object here: it is reported like
// any unreadable message, with the payload itself.
void Clock::onMqttReceived(const QByteArray& data, const QString& topic)
{
    if (!topic.contains(m_base))
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical().noquote().nospace() << tag() << "Failed to parse JSON message: " << data;
        return;
    }
    dispatch(document.object(), topic);
}

void Clock::dispatch(const QJsonObject& message, const QString& topic)
{
    if (topic.contains(QLatin1String("/ntp/status")))
        onStatusReceived(message);
    else if (topic.contains(QLatin1String("/ntp/config")))
        onConfigReceived(message);
}

void Clock::onStatusReceived(const QJsonObject& message)
{
    setEnabled(message.value(QStringLiteral("enabled")).toBool());
    const bool synced = message.value(QStringLiteral("synced")).toBool();
    if (synced == m_ntpSynced)
        return;
    m_ntpSynced = synced;
    emit ntpSyncedChanged();
}

void Clock::onConfigReceived(const QJsonObject& message)
{
    setEnabled(message.value(QStringLiteral("enabled")).toBool());
    const QString server = message.value(QStringLiteral("server")).toString();
    if (server == m_ntpServer)
        return;
    m_ntpServer = server;
    emit ntpServerChanged();
}

void Clock::setEnabled(bool enabled)
{
    if (enabled == m_ntpEnabled)
        return;
    m_ntpEnabled = enabled;
    emit ntpEnabledChanged();
}

void Clock::requestConfig(bool enabled, const QString& server)
{
    publishJson(m_base + QStringLiteral("/config/set"),
                QJsonObject{{QStringLiteral("enabled"), enabled}, {QStringLiteral("server"), server}});
}

} // namespace manager
