// The baseline for the application's figures: a bare Controls 2 window of the
// application's size and style with one label, reporting frames the way the
// application does.
//   bench_bare_window                  reports its first frame
//   bench_bare_window --frames <dir>   also swaps <dir>/0.png .. 6.png every 300 ms
//   bench_bare_window --lines          changes the label on every line read from
//                                      stdin and reports the frame that shows it
#include <QAtomicInt>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSocketNotifier>
#include <QDebug>

#include <unistd.h>


namespace {

const char* const Page = R"(
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

ApplicationWindow {
    width: 480; height: 800
    Material.theme: Material.Dark
    property int changes: 0
    property int frame: 0

    Label { anchors.centerIn: parent; text: "Bare " + changes; font.pixelSize: 24 }
    Image {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 250; width: 300; height: 300
        sourceSize: Qt.size(300, 300)
        visible: frames !== ""
        source: frames === "" ? "" : "file://" + frames + "/" + frame + ".png"
    }
    Timer {
        interval: 300; repeat: true; running: frames !== ""
        onTriggered: frame = (frame + 1) % 7
    }
}
)";

// Reports, from the render thread as it happens, the swap of the first frame
// that has synchronised a change made on the GUI thread.
class FrameReporter
{
public:
    explicit FrameReporter(QQuickWindow* window)
    {
        QObject::connect(window, &QQuickWindow::beforeSynchronizing, window, [this] {
            if (m_state.testAndSetOrdered(First, FirstSynced))
                return;
            m_state.testAndSetOrdered(Changed, Synced);
        }, Qt::DirectConnection);
        QObject::connect(window, &QQuickWindow::frameSwapped, window, [this] {
            if (m_state.testAndSetOrdered(FirstSynced, Idle))
                qInfo().noquote() << "[Bare] First frame";
            else if (m_state.testAndSetOrdered(Synced, Idle))
                qInfo().noquote() << "[Bare] Frame";
        }, Qt::DirectConnection);
    }
    void arm() { m_state.testAndSetOrdered(Idle, Changed); }

private:
    enum { Idle, First, FirstSynced, Changed, Synced };
    QAtomicInt m_state { First };
};

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Material"));
    const QStringList args = app.arguments();
    const int framesAt = args.indexOf(QStringLiteral("--frames"));
    QQmlApplicationEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("frames"),
                                             framesAt > 0 && framesAt + 1 < args.size() ? args[framesAt + 1] : QString());
    engine.loadData(Page);
    if (engine.rootObjects().isEmpty())
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().first());
    // Shown once the reporter listens: the software renderer can draw the
    // first frame as soon as the window is shown.
    FrameReporter reporter(window);
    window->show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    input.setEnabled(args.contains(QStringLiteral("--lines")));
    QObject::connect(&input, &QSocketNotifier::activated, window, [window, &reporter, &input] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        reporter.arm();
        window->setProperty("changes", window->property("changes").toInt() + 1);
    });
    return QGuiApplication::exec();
}
