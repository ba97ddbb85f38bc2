#include "FrameReport.h"

#include "GUIManager.h"

#include <QQuickWindow>

void FrameReport::attachIfAsked(QQuickWindow* window, GUIManager& gui)
{
    const bool first = qEnvironmentVariableIsSet("QUILLON_REPORT_FIRST_FRAME");
    const bool screens = qEnvironmentVariableIsSet("QUILLON_REPORT_SCREEN_FRAMES");
    if (window && (first || screens))
        new FrameReport(*window, gui, first, screens);
}

FrameReport::FrameReport(QQuickWindow& window, GUIManager& gui, bool first, bool screens)
    : QObject(&window)
    , m_window(window)
    , m_gui(gui)
    , m_state(first ? First : Idle)
{
    if (screens)
        connect(&gui, &GUIManager::screenChanged, this,
                [this] { m_state.testAndSetOrdered(Idle, Changed); });
    connect(&window, &QQuickWindow::beforeSynchronizing, this,
            &FrameReport::onBeforeSynchronizing, Qt::DirectConnection);
    connect(&window, &QQuickWindow::frameSwapped, this, &FrameReport::onFrameSwapped,
            Qt::DirectConnection);
}

void FrameReport::onBeforeSynchronizing()
{
    if (m_state.testAndSetOrdered(First, Synced))
        m_text = "[Main] First frame : " + m_window.property("currentScreen").toString();
    else if (m_state.testAndSetOrdered(Changed, Synced))
        m_text = "[Main] Frame : " + m_gui.screen();
}

void FrameReport::onFrameSwapped()
{
    if (m_state.testAndSetOrdered(Synced, Idle))
        qInfo().noquote() << m_text;
}
