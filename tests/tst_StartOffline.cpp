// Starting with no broker to reach: the start-up page, the out-of-order page
// once the first connection fails, and the PIN page from the header clock.

#include "Common/Config.h"
#include "GUIManager.h"
#include "LogCapture.h"
#include "QuickItems.h"
#include "TestBroker.h"

#include <QFile>
#include <QImage>
#include <QQmlApplicationEngine>
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
    QVERIFY(dir.isValid());
    QFile serial(dir.filePath("serialnumber"));
    QVERIFY(serial.open(QIODevice::WriteOnly));
    serial.write("C00000001");
    serial.close();

    Config config(dir.filePath("gui.conf"), GUIManager::Defaults);
    config.set("mqtt/host", "127.0.0.1");
    config.set("mqtt/port", TestBroker::freePort());
    config.set("gui/deviceId", serial.fileName());
    config.set("gui/displayOffMin", 0);
    config.set("gui/locale", "en_IE");
    config.set("log/syslog", false);

    GUIManager manager(config);
    // After the manager, which installs the application's own log handler.
    LogCapture log;
    QCOMPARE(manager.screen(), QStringLiteral("Busy"));
    // "Initializing" gives way to "Connecting" as soon as the connection starts.
    QCOMPARE(manager.message(), QStringLiteral("Connecting"));
    manager.load();

    auto* window = qobject_cast<QQuickWindow*>(manager.engine().rootObjects().value(0));
    QVERIFY(window);
    // Before the event loop has run the first attempt, the start-up page is up.
    QCOMPARE(window->property("currentScreen").toString(), QStringLiteral("Busy"));
    QQuickItem* busy = QuickItems::page(window, "Busy");
    QVERIFY(busy && busy->isVisible());
    QCOMPARE(QuickItems::find(busy, "message")->property("text").toString(), QStringLiteral("Connecting"));
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QTRY_COMPARE_WITH_TIMEOUT(manager.screen(), QStringLiteral("OutOfOrder"), 8000);
    QCOMPARE(manager.message(), QStringLiteral("Disconnected"));
    QTRY_COMPARE(window->property("currentScreen").toString(), QStringLiteral("OutOfOrder"));
    QQuickItem* message = QuickItems::find(QuickItems::page(window, "OutOfOrder"), "message");
    QVERIFY(message);
    QCOMPARE(message->property("text").toString(), QStringLiteral("Disconnected"));
    QTest::qWait(300);
    const QImage image = window->grabWindow();
    QQuickItem* icon = QuickItems::find(QuickItems::page(window, "OutOfOrder"), "resultIcon");
    QVERIFY(QuickItems::countColour(image, QuickItems::sceneRect(icon), QColor("#db4a37")) > 1500);

    QuickItems::tapClock(window);
    QTRY_COMPARE_WITH_TIMEOUT(manager.screen(), QStringLiteral("Login"), 3000);
    QTRY_COMPARE(window->property("currentScreen").toString(), QStringLiteral("Login"));
    // Further failed reconnections must not take the PIN page away.
    const int failures = log.count("Disconnected from MQTT broker");
    QTRY_VERIFY_WITH_TIMEOUT(log.count("Disconnected from MQTT broker") > failures, 8000);
    QCOMPARE(manager.screen(), QStringLiteral("Login"));
}

QTEST_MAIN(TestStartOffline)
#include "tst_StartOffline.moc"
