#pragma once

#include "SimulatedService.h"

#include <QString>

// The time service's NTP client.
class TimeService : public SimulatedService
{
    Q_OBJECT
public:
    explicit TimeService(const QString& base, QObject* parent = nullptr);

    void publishState() override;

    bool enabled() const;
    bool synced() const;
    void setEnabled(bool enabled);
    void setSynced(bool synced);
    void setServer(const QString& server);

signals:
    void ntpChanged();

private:
    void publishStatus();
    void publishConfig();
    void onConfigSet(const QJsonObject& message);
    void sync();

    bool m_enabled = true;
    bool m_synced = true;
    QString m_server = QStringLiteral("pool.ntp.org");
};
