#pragma once

#include "Common/Log.h"

#include <QTimer>

#include <functional>

namespace manager {

// The periodic refresh a page switches on while it shows live values.
class ServiceMonitor
{
public:
    ServiceMonitor(const Log& log, std::function<void()> refresh);

    // 0 stops; any other interval (re)starts and refreshes at once.
    void monitor(int msec);

private:
    const Log& m_log;
    std::function<void()> m_refresh;
    QTimer m_timer;
};

} // namespace manager
