#pragma once

#include "Peripheral/ServiceManager.h"

#include <QJsonObject>
#include <QString>

namespace manager {

// A service manager that mirrors the service's own status word. The word is
// a property only where a manager declares it as one.
class StatusServiceManager : public ServiceManager
{
    Q_OBJECT
public:
    QString status() const;

signals:
    void statusChanged();

protected:
    StatusServiceManager(MessageBus& mqtt, const QString& baseTopic, LogCategory category,
                         QObject* parent, const QString& initialStatus = QString());

    // Logs, stores and announces a status that differs from the held one.
    void setStatus(const QString& status);
    virtual void logStatus(const QString& status) const;

    // The "service" / "device.active" rule; true when the status is "online".
    // Without `device` the service reports no device and only "service" counts;
    // with it, the "device" object is handed back for the manager's own fields.
    bool readServiceStatus(const QJsonObject& message, QJsonObject* device = nullptr);

private:
    QString m_status;
};

} // namespace manager
