#include "Peripheral/ServiceMonitor.h"

namespace manager {

ServiceMonitor::ServiceMonitor(const Log& log, std::function<void()> refresh)
    : m_log(log), m_refresh(std::move(refresh))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { m_refresh(); });
}

void ServiceMonitor::monitor(int msec)
{
    if (msec == 0) {
        m_log.info() << "Monitor stopped";
        m_timer.stop();
        return;
    }
    m_log.info() << "Monitor started : " << msec << " msec(s)";
    m_timer.setInterval(msec);
    m_timer.setSingleShot(false);
    m_timer.start();
    m_refresh();
}

} // namespace manager
