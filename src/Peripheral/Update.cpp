#include "Peripheral/Update.h"

#include "Common/MqttClient.h"

#include <QDebug>

namespace manager {

namespace {

const int CheckMillis = 5000;

} // namespace

Update::Update(MqttClient& client, const QString& baseTopic, QObject* parent)
    : ServiceManager(client, baseTopic, QStringLiteral("[Update] "), parent)
{
    m_status = QStringLiteral("Disconnected");
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(CheckMillis);
    setGetPayload(QByteArray());
    setPolledAreas({QStringLiteral("status")});
    refreshOnConnect();
    connect(&client, &MqttClient::disconnected, this, &Update::onDisconnected);
    connect(&m_checkTimer, &QTimer::timeout, this, &Update::onCheckTimeout);

    handle(QStringLiteral("/status"), [this](const QJsonObject& m, const QString& t) {
        onStatusReceived(m, t);
    });
    handle(QStringLiteral("/update/software/status"), [this](const QJsonObject& m, const QString& t) {
        onUpdateStatusReceived(m, t);
    });
    // The agent has published its progress under both spellings.
    for (const char* progress : {"/update/software/progress", "/update/software/progess"}) {
        handle(QLatin1String(progress), [this](const QJsonObject& m, const QString& t) {
            onProgressReceived(m, t);
        });
    }
    subscribe({QStringLiteral("/status"), QStringLiteral("/update/software/status"),
               QStringLiteral("/update/software/progress"),
               QStringLiteral("/update/software/progess")});
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

void Update::check()
{
    qInfo().noquote().nospace() << tag() << "Checking for updates";
    setStatus(QStringLiteral("Checking for updates"));
    m_checkTimer.start();
    publishRaw(m_base + QStringLiteral("/software/check"), QByteArray());
}

void Update::install()
{
    if (m_pending.isEmpty()) {
        qWarning().noquote().nospace() << tag() << "WARN: Cannot install. There are no pending versions";
        return;
    }
    qInfo().noquote().nospace() << tag() << "Installing pending update : " << m_pending;
    publishRaw(m_base + QStringLiteral("/update/software/install"), QByteArray());
}

// The agent may publish empty messages; they read as empty objects.
void Update::onMqttReceived(const QByteArray& data, const QString& topic)
{
    if (!topic.contains(m_base))
        return;
    QJsonObject message;
    if (decode(data, &message, false))
        dispatch(message, topic);
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
    qInfo().noquote().nospace() << tag() << "No pedning updates";
    settleStatus();
}

void Update::onDisconnected()
{
    setStatus(QStringLiteral("Disconnected"));
}

void Update::setCurrent(const QString& current)
{
    if (current == m_current)
        return;
    m_current = current;
    emit currentChanged();
}

void Update::setPending(const QString& pending)
{
    if (pending == m_pending)
        return;
    m_pending = pending;
    emit pendingChanged();
}

void Update::setProgressMessage(const QString& message)
{
    if (message == m_progressMessage)
        return;
    m_progressMessage = message;
    emit progressMessageChanged();
}

void Update::setProgressPercent(int percent)
{
    if (percent == m_progressPercent)
        return;
    m_progressPercent = percent;
    emit progressPercentChanged();
}

void Update::settleStatus()
{
    setStatus(m_pending.isEmpty() ? QStringLiteral("No pending updates")
                                  : QStringLiteral("Ready to install"));
}

} // namespace manager
