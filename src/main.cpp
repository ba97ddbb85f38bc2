#include "CommandLine.h"
#include "Common/Config.h"
#include "GUIManager.h"

#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQuickWindow>

#include <memory>

namespace {

// The benchmarks time start-up to the first frame on the screen.
void reportFirstFrame(QQmlApplicationEngine& engine)
{
    const QList<QObject*> roots = engine.rootObjects();
    auto* window = roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
    if (!window)
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [window, connection] {
        QObject::disconnect(*connection);
        qInfo().noquote() << "[Main] First frame : " + window->property("currentScreen").toString();
    });
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
    if (qEnvironmentVariableIsSet("QUILLON_REPORT_FIRST_FRAME"))
        reportFirstFrame(gui->engine());
    const int code = QGuiApplication::exec();

    // The manager first, the application object last.
    gui.reset();
    config.reset();
    overrides.reset();
    app.reset();
    return code;
}
