#include "Peripheral/ServiceMonitor.h"

namespace manager {

ServiceMonitor::ServiceMonitor(LogCategory category, std::function<void()> refresh)
    : m_category(category), m_refresh(std::move(refresh))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { m_refresh(); });
}

void ServiceMonitor::monitor(int msec)
{
    if (msec == 0) {
        qCInfo(m_category).noquote().nospace() << "Monitor stopped";
        m_timer.stop();
        return;
    }
    qCInfo(m_category).noquote().nospace() << "Monitor started : " << msec << " msec(s)";
    m_timer.setInterval(msec);
    m_timer.setSingleShot(false);
    m_timer.start();
    m_refresh();
}

} // namespace manager
