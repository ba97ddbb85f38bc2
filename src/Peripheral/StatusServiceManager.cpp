#include "Peripheral/StatusServiceManager.h"

#include "Common/AssignIfDifferent.h"

namespace manager {

StatusServiceManager::StatusServiceManager(MessageBus& mqtt, const QString& baseTopic,
                                           LogCategory category, QObject* parent,
                                           const QString& initialStatus)
    : ServiceManager(mqtt, baseTopic, category, parent), m_status(initialStatus)
{
}

QString StatusServiceManager::status() const
{
    return m_status;
}

void StatusServiceManager::setStatus(const QString& status)
{
    if (!assignIfDifferent(m_status, status))
        return;
    logStatus(status);
    emit statusChanged();
}

void StatusServiceManager::logStatus(const QString& status) const
{
    qCInfo(log()).noquote().nospace() << "Status changed : " << status;
}

bool StatusServiceManager::readServiceStatus(const QJsonObject& message, QJsonObject* device)
{
    if (message.value(QStringLiteral("service")).toBool() != true) {
        setStatus(QStringLiteral("offline"));
        return false;
    }
    if (device) {
        *device = message.value(QStringLiteral("device")).toObject();
        if (device->value(QStringLiteral("active")).toBool() != true) {
            setStatus(QStringLiteral("error"));
            return false;
        }
    }
    setStatus(QStringLiteral("online"));
    return true;
}

} // namespace manager
