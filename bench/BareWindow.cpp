// The baseline for start-up and idle figures: an empty Qt Quick window of the
// application's size, reporting its first frame the way the application does.
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QDebug>

#include <memory>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData("import QtQuick 2.15\nimport QtQuick.Window 2.15\n"
                    "Window { width: 480; height: 800; visible: true; color: \"black\" }");
    if (engine.rootObjects().isEmpty())
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().first());
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [connection] {
        QObject::disconnect(*connection);
        qInfo().noquote() << "[Bare] First frame";
    });
    return QGuiApplication::exec();
}
