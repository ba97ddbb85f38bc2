#include "CommandLine.h"
#include "Common/Config.h"
#include "Common/logger.h"
#include "FrameReport.h"
#include "GUIManager.h"
#include "Version.h"

#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QResource>

#include <memory>

namespace {

QQuickWindow* rootWindow(QQmlApplicationEngine& engine)
{
    const QList<QObject*> roots = engine.rootObjects();
    return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
}

} // namespace

int main(int argc, char* argv[])
{
    manager::Logger::tagEarlyMessages();
    qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard"));
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quillon"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillon"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    QGuiApplication::setOrganizationName(QStringLiteral("kivo"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("kivo.example"));

    auto overrides = std::make_unique<QVariantMap>(CommandLine::parseCLIArgs());
    const QString filename = overrides->value("config", QStringLiteral("gui.conf")).toString();
    auto config = std::make_unique<Config>(filename, GUIManager::Defaults, GUIManager::Rules);
    config->addOverrides(*overrides);

    // Registered from where the resource lies in the binary (stored uncompressed):
    // by its path, Qt would copy the file into memory for the database and again
    // for every thread that lays out text.
    QFontDatabase::addApplicationFontFromData(
        QResource(QStringLiteral(":/qml/fonts/DejaVuSans.ttf")).uncompressedData());
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    auto gui = std::make_unique<GUIManager>(*config);
    gui->load();
    FrameReport::attachIfAsked(rootWindow(gui->engine()), *gui);
    const int code = QGuiApplication::exec();

    // The manager first, the application object last.
    gui.reset();
    config.reset();
    overrides.reset();
    app.reset();
    return code;
}
