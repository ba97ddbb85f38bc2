#include "TimeService.h"

#include <QJsonObject>
#include <QTimer>

TimeService::TimeService(const QString& base, QObject* parent)
    : SimulatedService(QStringLiteral("Time"), base, parent)
{
    handle(QStringLiteral("/status/get"), [this](const QJsonObject&) { publishStatus(); });
    handle(QStringLiteral("/config/get"), [this](const QJsonObject&) { publishConfig(); });
    handle(QStringLiteral("/config/set"), [this](const QJsonObject& m) { onConfigSet(m); });
    handle(QStringLiteral("/sync"), [this](const QJsonObject&) { sync(); });
}

void TimeService::publishState()
{
    publishStatus();
    publishConfig();
}

bool TimeService::enabled() const
{
    return m_enabled;
}

bool TimeService::synced() const
{
    return m_synced;
}

void TimeService::publishStatus()
{
    publish(QStringLiteral("/status"), QJsonObject{{"enabled", m_enabled}, {"synced", m_synced}});
}

void TimeService::publishConfig()
{
    publish(QStringLiteral("/config"), QJsonObject{{"enabled", m_enabled}, {"server", m_server}});
}

void TimeService::onConfigSet(const QJsonObject& message)
{
    m_server = message.value(QStringLiteral("server")).toString();
    setEnabled(message.value(QStringLiteral("enabled")).toBool());
    publishConfig();
}

// A sync takes a moment; meanwhile the clock counts as not synchronised.
void TimeService::sync()
{
    setSynced(false);
    if (!m_enabled)
        return;
    QTimer::singleShot(1500, this, [this] {
        if (m_enabled)
            setSynced(true);
    });
}

void TimeService::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_synced = m_synced && enabled;
    if (isOnline())
        publishState();
    emit ntpChanged();
}

void TimeService::setSynced(bool synced)
{
    m_synced = synced && m_enabled;
    if (isOnline())
        publishStatus();
    emit ntpChanged();
}

void TimeService::setServer(const QString& server)
{
    m_server = server;
    if (isOnline())
        publishConfig();
}
