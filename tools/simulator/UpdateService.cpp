#include "UpdateService.h"

#include <QJsonObject>

namespace {

const int DownloadSteps = 5;
const int InstallSteps = 5;
const int DownloadMegabytes = 40;

} // namespace

UpdateService::UpdateService(const QString& base, QObject* parent)
    : SimulatedService(QStringLiteral("Update"), base, parent)
{
    m_progress.setInterval(400);
    connect(&m_progress, &QTimer::timeout, this, &UpdateService::onProgressStep);
    handle(QStringLiteral("/status/get"), [this](const QJsonObject&) { publishStatus(); });
    handle(QStringLiteral("/software/check"), [this](const QJsonObject&) {
        QTimer::singleShot(1000, this, [this] {
            if (isOnline())
                publishSoftwareStatus();
        });
    });
    handle(QStringLiteral("/update/software/install"), [this](const QJsonObject&) { install(); });
}

void UpdateService::publishState()
{
    publishStatus();
}

void UpdateService::publishStatus()
{
    publish(QStringLiteral("/status"),
            QJsonObject{{"update", QJsonObject{{"software", QJsonObject{{"current", m_current},
                                                                        {"pending", m_pending}}}}}});
}

void UpdateService::publishSoftwareStatus()
{
    publish(QStringLiteral("/update/software/status"), QJsonObject{{"current", m_current}, {"pending", m_pending}});
}

void UpdateService::setPending(const QString& version)
{
    m_pending = version;
    if (isOnline())
        publishSoftwareStatus();
}

void UpdateService::install()
{
    if (m_progress.isActive()) {
        log(QStringLiteral("WARN: An update is already running"));
        return;
    }
    if (m_pending.isEmpty()) {
        log(QStringLiteral("WARN: Nothing to install"));
        return;
    }
    log(QStringLiteral("Installing ") + m_pending);
    m_step = 0;
    m_progress.start();
}

// Downloads report bytes with a slash, the install steps do not.
void UpdateService::onProgressStep()
{
    ++m_step;
    if (m_step > DownloadSteps + InstallSteps) {
        m_progress.stop();
        m_current = m_pending;
        m_pending.clear();
        log(QStringLiteral("Installed ") + m_current);
        publishStatus();
        return;
    }
    const bool downloading = m_step <= DownloadSteps;
    const QString message = downloading
        ? QStringLiteral("Downloading %1/%2 MB").arg(m_step * DownloadMegabytes / DownloadSteps).arg(DownloadMegabytes)
        : QStringLiteral("Installing step %1 of %2").arg(m_step - DownloadSteps).arg(InstallSteps);
    const int percent = downloading ? m_step * 100 / DownloadSteps : (m_step - DownloadSteps) * 100 / InstallSteps;
    publish(QStringLiteral("/update/software/progress"),
            QJsonObject{{"message", message}, {"progress", percent}, {"version", m_pending}});
}
