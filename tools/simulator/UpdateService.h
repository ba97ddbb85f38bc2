#pragma once

#include "SimulatedService.h"

#include <QString>
#include <QTimer>

// The update agent: installed and pending versions, download and install.
class UpdateService : public SimulatedService
{
    Q_OBJECT
public:
    explicit UpdateService(const QString& base, QObject* parent = nullptr);

    void publishState() override;

    // An empty version means nothing is pending.
    void setPending(const QString& version);
    void install();

private:
    void publishStatus();
    void publishSoftwareStatus();
    void onProgressStep();

    QString m_current = QStringLiteral("1.0.21");
    QString m_pending;
    QTimer m_progress;
    int m_step = 0;
};
