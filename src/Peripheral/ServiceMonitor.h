#pragma once

#include "Common/LogCategory.h"

#include <QTimer>

#include <functional>

namespace manager {

// The periodic refresh a page switches on while it shows live values.
class ServiceMonitor
{
public:
    ServiceMonitor(LogCategory category, std::function<void()> refresh);

    // 0 stops; any other interval (re)starts and refreshes at once.
    void monitor(int msec);

private:
    const LogCategory m_category;
    std::function<void()> m_refresh;
    QTimer m_timer;
};

} // namespace manager
