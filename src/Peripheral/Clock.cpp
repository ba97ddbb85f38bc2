#include "Peripheral/Clock.h"

#include "Common/AssignIfDifferent.h"
#include "Common/MessageBus.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QProcess>
#include <QRegularExpression>

namespace manager {

Q_LOGGING_CATEGORY(lcClock, "quillon.Clock")

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

Clock::Clock(MessageBus& client, const QString& baseTopic, QObject* parent)
    : ServiceManager(client, baseTopic + QStringLiteral("/clock/ntp"), lcClock,
                     parent)
{
    m_timezones = timedatectl({QStringLiteral("--no-pager"), QStringLiteral("list-timezones")})
                      .split(QLatin1Char('\n'));
    setGetPayload(QByteArray());
    connect(&client, &MessageBus::connected, this, &Clock::refresh);
    handle(QStringLiteral("/status"), &Clock::onStatusReceived);
    handle(QStringLiteral("/config"), &Clock::onConfigReceived);
    subscribe();
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
    qCInfo(log()).noquote().nospace() << "Setting NTP server : " << server;
    requestConfig(m_ntpEnabled, server);
}

void Clock::setNtpEnabled(bool enabled)
{
    if (enabled == m_ntpEnabled)
        return;
    qCInfo(log()).noquote().nospace() << "Setting NTP : " << (enabled ? "enabled" : "disabled");
    requestConfig(enabled, m_ntpServer);
}

void Clock::ntpSync()
{
    qCInfo(log()).noquote().nospace() << "Requesting NTP sync";
    m_ntpSynced = false;
    // Always announced: the page shows the sync as running again.
    emit ntpSyncedChanged();
    publishRaw(base() + QStringLiteral("/sync"), QByteArray());
}

void Clock::refresh()
{
    qCInfo(log()).noquote().nospace() << "Refreshing Clock status and config";
    requestState({QStringLiteral("status"), QStringLiteral("config")});
}

// An empty payload is not read as an empty object here: it is reported like
// any unreadable message, with the payload itself.
bool Clock::decode(const QByteArray& data, QJsonObject* object) const
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        qCCritical(log()).noquote().nospace() << "Failed to parse JSON message: " << data;
        return false;
    }
    *object = document.object();
    return true;
}

void Clock::onStatusReceived(const QJsonObject& message, const QString&)
{
    setEnabled(message.value(QStringLiteral("enabled")).toBool());
    if (assignIfDifferent(m_ntpSynced, message.value(QStringLiteral("synced")).toBool()))
        emit ntpSyncedChanged();
}

void Clock::onConfigReceived(const QJsonObject& message, const QString&)
{
    setEnabled(message.value(QStringLiteral("enabled")).toBool());
    if (assignIfDifferent(m_ntpServer, message.value(QStringLiteral("server")).toString()))
        emit ntpServerChanged();
}

void Clock::setEnabled(bool enabled)
{
    if (assignIfDifferent(m_ntpEnabled, enabled))
        emit ntpEnabledChanged();
}

void Clock::requestConfig(bool enabled, const QString& server)
{
    publishJson(base() + QStringLiteral("/config/set"),
                QJsonObject{{QStringLiteral("enabled"), enabled}, {QStringLiteral("server"), server}});
}

} // namespace manager
