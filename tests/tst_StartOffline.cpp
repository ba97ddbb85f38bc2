// Starting with no broker to reach: the start-up page, then the out-of-order
// page in the window once the first connection fails.

#include "Common/Config.h"
#include "GUIManager.h"
#include "QuickItems.h"
#include "TestBroker.h"

#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

class TestStartOffline : public QObject
{
    Q_OBJECT
public:
    static void initMain() { qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard")); }

private slots:
    void deadBroker();
};

void TestStartOffline::deadBroker()
{
    QTemporaryDir dir;
    QFile serial(dir.filePath("serialnumber"));
    QVERIFY(serial.open(QIODevice::WriteOnly));
    serial.write("C00000001");
    serial.close();
    Config config(dir.filePath("gui.conf"), GUIManager::Defaults);
    config.set("mqtt/host", "127.0.0.1");
    config.set("mqtt/port", TestBroker::freePort());
    config.set("gui/deviceId", serial.fileName());
    config.set("gui/locale", "en_IE");
    config.set("log/syslog", false);

    GUIManager manager(config);
    // "Initializing" gives way to "Connecting" as soon as the connection starts.
    QCOMPARE(manager.message(), QStringLiteral("Connecting"));
    manager.load();
    QCOMPARE(manager.eventLog().events().last()->name(), QStringLiteral("Application started"));
    auto* window = qobject_cast<QQuickWindow*>(manager.engine().rootObjects().value(0));
    QVERIFY(window);
    // Before the event loop has run the first attempt, the start-up page is up.
    QQuickItem* busy = QuickItems::page(window, "Busy");
    QVERIFY(busy && busy->isVisible());
    QCOMPARE(QuickItems::find(busy, "message")->property("text").toString(), QStringLiteral("Connecting"));

    QTRY_COMPARE_WITH_TIMEOUT(manager.screen(), QStringLiteral("OutOfOrder"), 8000);
    QCOMPARE(manager.message(), QStringLiteral("Disconnected"));
    QTRY_COMPARE(window->property("currentScreen").toString(), QStringLiteral("OutOfOrder"));
    QQuickItem* page = QuickItems::page(window, "OutOfOrder");
    QCOMPARE(QuickItems::find(page, "message")->property("text").toString(), QStringLiteral("Disconnected"));
    // The red icon is drawn.
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect icon = QuickItems::sceneRect(QuickItems::find(page, "resultIcon"));
    QTRY_VERIFY(QuickItems::countColour(window->grabWindow(), icon, QColor("#db4a37")) > 1500);
}

QTEST_MAIN(TestStartOffline)
#include "tst_StartOffline.moc"
