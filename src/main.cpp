#include "CommandLine.h"
#include "Common/Config.h"
#include "GUIManager.h"

#include <QAtomicInt>
#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQuickWindow>

#include <memory>

namespace {

QQuickWindow* rootWindow(QQmlApplicationEngine& engine)
{
    const QList<QObject*> roots = engine.rootObjects();
    return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
}

// The benchmarks time start-up to the first frame and a result from its
// publication to the frame a passenger sees. A change counts once the scene
// graph has synchronised it, while the GUI thread waits and the screen can be
// read; the render thread reports the swap of that frame as it happens.
void reportFrames(QQuickWindow* window, GUIManager& gui, bool first, bool screens)
{
    enum { Idle, First, Changed, Synced };
    struct Report
    {
        QAtomicInt state { Idle };
        QString text;
    };
    auto report = std::make_shared<Report>();
    report->state.storeRelease(first ? First : Idle);
    if (screens)
        QObject::connect(&gui, &GUIManager::screenChanged, window, [report] {
            report->state.testAndSetOrdered(Idle, Changed);
        });
    QObject::connect(window, &QQuickWindow::beforeSynchronizing, window, [report, window, &gui] {
        if (report->state.testAndSetOrdered(First, Synced))
            report->text = "[Main] First frame : " + window->property("currentScreen").toString();
        else if (report->state.testAndSetOrdered(Changed, Synced))
            report->text = "[Main] Frame : " + gui.screen();
    }, Qt::DirectConnection);
    QObject::connect(window, &QQuickWindow::frameSwapped, window, [report] {
        if (report->state.testAndSetOrdered(Synced, Idle))
            qInfo().noquote() << report->text;
    }, Qt::DirectConnection);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard"));
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quillon"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillon"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    QGuiApplication::setOrganizationName(QStringLiteral("kivo"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("kivo.example"));

    auto overrides = std::make_unique<QVariantMap>(CommandLine::parseCLIArgs());
    const QString filename = overrides->value("config", QStringLiteral("gui.conf")).toString();
    auto config = std::make_unique<Config>(filename, GUIManager::Defaults);
    config->addOverrides(*overrides);

    QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    auto gui = std::make_unique<GUIManager>(*config);
    gui->load();
    QQuickWindow* window = rootWindow(gui->engine());
    const bool first = qEnvironmentVariableIsSet("QUILLON_REPORT_FIRST_FRAME");
    const bool screens = qEnvironmentVariableIsSet("QUILLON_REPORT_SCREEN_FRAMES");
    if (window && (first || screens))
        reportFrames(window, *gui, first, screens);
    const int code = QGuiApplication::exec();

    // The manager first, the application object last.
    gui.reset();
    config.reset();
    overrides.reset();
    app.reset();
    return code;
}
