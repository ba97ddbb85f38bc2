#pragma once

#include <QAtomicInt>
#include <QObject>
#include <QString>

class GUIManager;
class QQuickWindow;

// Logs the swap of the window's first frame and of the first frame after each
// screen change, for the benchmarks. A change counts once the scene graph has
// synchronised it, while the GUI thread waits and the screen can be read; the
// render thread reports the swap of that frame as it happens.
class FrameReport : public QObject
{
    Q_OBJECT
public:
    // Owned by the window; created only when the environment asks for it.
    static void attachIfAsked(QQuickWindow* window, GUIManager& gui);

private:
    FrameReport(QQuickWindow& window, GUIManager& gui, bool first, bool screens);

    void onBeforeSynchronizing();
    void onFrameSwapped();

    enum State { Idle, First, Changed, Synced };

    QQuickWindow& m_window;
    GUIManager& m_gui;
    QAtomicInt m_state { Idle };
    QString m_text;
};
