#include "Peripheral/Update.h"

#include "Common/AssignIfDifferent.h"
#include "Common/MessageBus.h"

namespace manager {

Q_LOGGING_CATEGORY(lcUpdate, "quillon.Update")

namespace {

const int CheckMillis = 5000;

} // namespace

Update::Update(MessageBus& client, const QString& baseTopic, QObject* parent)
    : StatusServiceManager(client, baseTopic, lcUpdate, parent,
                           QStringLiteral("Disconnected"))
{
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(CheckMillis);
    setGetPayload(QByteArray());
    connect(&client, &MessageBus::connected, this, &Update::refresh);
    connect(&client, &MessageBus::disconnected, this, &Update::onDisconnected);
    connect(&m_checkTimer, &QTimer::timeout, this, &Update::onCheckTimeout);

    handle(QStringLiteral("/status"), &Update::onStatusReceived);
    handle(QStringLiteral("/update/software/status"), &Update::onUpdateStatusReceived);
    // The agent has published its progress under both spellings.
    handle(QStringLiteral("/update/software/progress"), &Update::onProgressReceived);
    handle(QStringLiteral("/update/software/progess"), &Update::onProgressReceived);
    subscribe();
}

QString Update::current() const
{
    return m_current;
}

QString Update::pending() const
{
    return m_pending;
}

QString Update::progressMessage() const
{
    return m_progressMessage;
}

int Update::progressPercent() const
{
    return m_progressPercent;
}

void Update::refresh()
{
    qCDebug(log()).noquote().nospace() << "Refreshing data";
    requestState({QStringLiteral("status")});
}

void Update::check()
{
    qCInfo(log()).noquote().nospace() << "Checking for updates";
    setStatus(QStringLiteral("Checking for updates"));
    m_checkTimer.start();
    publishRaw(base() + QStringLiteral("/software/check"), QByteArray());
}

void Update::install()
{
    if (m_pending.isEmpty()) {
        qCWarning(log()).noquote().nospace() << "WARN: Cannot install. There are no pending versions";
        return;
    }
    qCInfo(log()).noquote().nospace() << "Installing pending update : " << m_pending;
    publishRaw(base() + QStringLiteral("/update/software/install"), QByteArray());
}

void Update::onStatusReceived(const QJsonObject& message, const QString&)
{
    const QJsonValue software =
        message.value(QStringLiteral("update")).toObject().value(QStringLiteral("software"));
    if (software.isString()) {
        setCurrent(software.toString());
    } else if (software.isObject()) {
        const QJsonObject versions = software.toObject();
        setCurrent(versions.value(QStringLiteral("current")).toString());
        setPending(versions.value(QStringLiteral("pending")).toString());
    }
    settleStatus();
    setProgressMessage(QStringLiteral("Idle"));
    setProgressPercent(0);
}

void Update::onUpdateStatusReceived(const QJsonObject& message, const QString&)
{
    setCurrent(message.value(QStringLiteral("current")).toString());
    setPending(message.value(QStringLiteral("pending")).toString());
}

void Update::onProgressReceived(const QJsonObject& message, const QString&)
{
    setProgressMessage(message.value(QStringLiteral("message")).toString());
    setProgressPercent(message.value(QStringLiteral("progress")).toInt());
    setPending(message.value(QStringLiteral("version")).toString());
    m_checkTimer.stop();
    // Downloads report a byte count such as "12/40 MB".
    setStatus(m_progressMessage.contains(QLatin1Char('/')) ? QStringLiteral("Downloading")
                                                           : QStringLiteral("Installing"));
}

void Update::onCheckTimeout()
{
    qCInfo(log()).noquote().nospace() << "No pedning updates";
    settleStatus();
}

void Update::onDisconnected()
{
    setStatus(QStringLiteral("Disconnected"));
}

void Update::setCurrent(const QString& current)
{
    if (assignIfDifferent(m_current, current))
        emit currentChanged();
}

void Update::setPending(const QString& pending)
{
    if (assignIfDifferent(m_pending, pending))
        emit pendingChanged();
}

void Update::setProgressMessage(const QString& message)
{
    if (assignIfDifferent(m_progressMessage, message))
        emit progressMessageChanged();
}

void Update::setProgressPercent(int percent)
{
    if (assignIfDifferent(m_progressPercent, percent))
        emit progressPercentChanged();
}

void Update::settleStatus()
{
    setStatus(m_pending.isEmpty() ? QStringLiteral("No pending updates")
                                  : QStringLiteral("Ready to install"));
}

} // namespace manager
