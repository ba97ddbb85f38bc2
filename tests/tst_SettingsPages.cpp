// The maintenance pages in the real main window over a real GUIManager and
// broker: what the pages ask of the services and what they show back.

#include "AppWindow.h"
#include "Common/Config.h"
#include "EventManager.h"
#include "GUIManager.h"
#include "Model/Event.h"
#include "MqttPeer.h"
#include "QuickItems.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QQmlContext>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

const QString Blm = QStringLiteral("kivo/blm");

QJsonObject validatorConfig()
{
    return QJsonObject{{"blm", QJsonObject{{"obu_host", "10.0.0.1"}, {"obu_port", "8080"}}},
                       {"validator", QJsonObject{{"passbackTime", "60"}, {"qr_passback", "false"}}}};
}

} // namespace

class TestSettingsPages : public QObject
{
    Q_OBJECT
public:
    static void initMain() { qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard")); }

private slots:
    void initTestCase();
    void scanConfigQr();
    void validatorConfiguration();
    void eventLogSearch();
    void technicianPath();

private:
    QQuickItem* menu() const { return QuickItems::page(m_app.window(), QStringLiteral("Settings")); }
    QObject* menuObject(const char* name) const { return menu()->findChild<QObject*>(QLatin1String(name)); }
    QQuickItem* currentPage() const;
    manager::Validator* validator() const
    {
        return qobject_cast<manager::Validator*>(
            m_app.manager()->engine().rootContext()->contextProperty("validatorManager").value<QObject*>());
    }
    bool openEntry(int index);
    bool backToMenu();
    void click(QQuickItem* item);
    QQuickItem* item(const char* name) const { return QuickItems::find(currentPage(), QLatin1String(name)); }
    QObject* pageObject(const char* name) const { return currentPage()->findChild<QObject*>(QLatin1String(name)); }

    AppWindow m_app;
};

void TestSettingsPages::initTestCase()
{
    QVERIFY(m_app.start(QStringLiteral("kivo/#")));
    // The self-test report is written to the working directory.
    QVERIFY(QDir::setCurrent(m_app.path()));
    m_app.peer()->publish(Blm + "/config", validatorConfig());
    QTRY_COMPARE(validator()->config()->passbackSecs(), 60);

    m_app.config()->set("gui/settingsPin", "4321");
    m_app.manager()->settingsLoginRequest(QStringLiteral("4321"));
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("Settings"));
}

QQuickItem* TestSettingsPages::currentPage() const
{
    QObject* stack = menuObject("stack");
    return stack ? stack->property("currentItem").value<QQuickItem*>() : nullptr;
}

bool TestSettingsPages::openEntry(int index)
{
    QObject* stack = menuObject("stack");
    if (!QTest::qWaitFor([&] { return !stack->property("busy").toBool(); }))
        return false;
    QMetaObject::invokeMethod(menu(), "openEntry", Q_ARG(QVariant, index));
    return QTest::qWaitFor([&] { return !stack->property("busy").toBool(); });
}

bool TestSettingsPages::backToMenu()
{
    QObject* stack = menuObject("stack");
    QObject* back = menuObject("backButton");
    for (int i = 0; i < 3 && stack->property("depth").toInt() > 1; ++i) {
        if (!QTest::qWaitFor([&] { return !stack->property("busy").toBool(); }))
            return false;
        QMetaObject::invokeMethod(back, "clicked");
    }
    return QTest::qWaitFor([&] { return !stack->property("busy").toBool() && stack->property("depth").toInt() == 1; });
}

void TestSettingsPages::click(QQuickItem* item)
{
    QVERIFY(item);
    QTest::mouseClick(m_app.window(), Qt::LeftButton, Qt::NoModifier, QuickItems::sceneRect(item).center());
}

// The search box narrows the list held by the real event log.
void TestSettingsPages::eventLogSearch()
{
    auto* log = qobject_cast<EventManager*>(
        m_app.manager()->engine().rootContext()->contextProperty("eventLogManager").value<QObject*>());
    QVERIFY(log);
    for (const char* name : {"Ignition on", "Ignition off", "Ignition on"})
        log->push(new Event(QStringLiteral("Board"), QLatin1String(name), QString(), QDateTime::currentDateTime()));
    const int all = log->events().size();
    QVERIFY(openEntry(7));
    QObject* list = pageObject("eventList");
    QVERIFY(list);
    QTRY_COMPARE(list->property("count").toInt(), all);

    pageObject("searchField")->setProperty("text", QStringLiteral("ignition"));
    QTRY_COMPARE(list->property("count").toInt(), 3);
    pageObject("searchField")->setProperty("text", QStringLiteral("ignition off"));
    QTRY_COMPARE(list->property("count").toInt(), 1);
    click(item("clearButton"));
    QTRY_COMPARE(list->property("count").toInt(), all);
    QVERIFY(backToMenu());
}

// The reader is enabled only while the prompt is open, and a configuration
// code read meanwhile is applied and listed in the prompt.
void TestSettingsPages::scanConfigQr()
{
    QObject* popup = menuObject("configPopup");
    QVERIFY(popup);
    const int before = m_app.peer()->size();
    QMetaObject::invokeMethod(menuObject("scanConfigItem"), "triggered");
    QTRY_VERIFY(popup->property("opened").toBool());
    QCOMPARE(popup->property("text").toString(), QStringLiteral("Scan Configuration QR code"));
    QVERIFY(m_app.peer()->waitFor("kivo/barcode/enable", 5000, before));
    // The service reports its reader on; only then is there one to switch off.
    m_app.peer()->publish(Blm + "/status", QJsonObject{{"device", QJsonObject{{"barcode", QJsonObject{
                                                              {"active", true}, {"enabled", true}}}}}});
    QTRY_VERIFY(validator()->barcode()->enabled());

    m_app.peer()->publish(Blm + "/barcode/maintenance/scanned",
                    QJsonObject{{"validator", QJsonObject{{"obc", "http://10.1.1.1:9000"}}}});
    QTRY_COMPARE(popup->property("text").toString(),
                 QStringLiteral("CONFIGURATION APPLIED\nOBC : http://10.1.1.1:9000"));
    QCOMPARE(validator()->config()->obuUrl(), QUrl("http://10.1.1.1:9000"));

    const int disables = m_app.peer()->size();
    QMetaObject::invokeMethod(popup, "close");
    QVERIFY(m_app.peer()->waitFor("kivo/barcode/disable", 5000, disables));
}

// Save waits for a real edit; Back asks the service for its configuration again.
void TestSettingsPages::validatorConfiguration()
{
    m_app.peer()->publish(Blm + "/config", validatorConfig());
    QTRY_COMPARE(validator()->config()->obuUrl(), QUrl("mqtt://10.0.0.1:8080"));
    QVERIFY(openEntry(0));
    QObject* stack = menuObject("stack");
    QMetaObject::invokeMethod(QuickItems::find(currentPage(), QStringLiteral("configureButton")), "clicked");
    QTRY_VERIFY(!stack->property("busy").toBool());
    QQuickItem* page = currentPage();
    QVERIFY(page);
    QQuickItem* save = QuickItems::find(page, QStringLiteral("saveButton"));
    QVERIFY(save);
    QCOMPARE(save->isEnabled(), false);
    QQuickItem* passback = QuickItems::find(page, QStringLiteral("passbackBox"));
    passback->setProperty("value", 90);
    QCOMPARE(save->isEnabled(), true);

    const int gets = m_app.peer()->size();
    click(QuickItems::find(page, QStringLiteral("backButton")));
    QVERIFY(m_app.peer()->waitFor(Blm + "/config/get", 5000, gets));
    QTRY_COMPARE(stack->property("depth").toInt(), 2);
    QCOMPARE(validator()->config()->passbackSecs(), 60);
    QVERIFY(backToMenu());
}

// Three taps on the clock, the PIN, the self-test report with its code,
// logout: back where the passenger left off.
void TestSettingsPages::technicianPath()
{
    m_app.manager()->settingsLogoutRequest();
    m_app.peer()->publish(Blm + "/status",
                    QJsonObject{{"service", true},
                                {"device", QJsonObject{{"rfid", QJsonObject{{"active", true}, {"state", 2}}}}},
                                {"state", QJsonObject{{"init", false}, {"hasRfid", true}, {"hasRoute", true},
                                                      {"hasQr", true}, {"hasObu", true}}}});
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("ScanScreens"));

    QuickItems::tapClock(m_app.window());
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("Login"));
    QQuickItem* login = QuickItems::page(m_app.window(), QStringLiteral("Login"));
    for (const QChar digit : QStringLiteral("4321"))
        click(QuickItems::find(login, QStringLiteral("key_") + digit));
    click(QuickItems::find(login, QStringLiteral("loginButton")));
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("Settings"));

    QVERIFY(openEntry(1));
    QObject* report = pageObject("reportPopup");
    QVERIFY(report);
    click(item("test_FINISH"));
    QTRY_VERIFY(report->property("opened").toBool());
    const QString text = report->property("text").toString();
    QVERIFY2(text.startsWith(QLatin1String("Test report saved successfully:\n")), qPrintable(text));
    QVERIFY(QFileInfo::exists(text.section(QLatin1Char('\n'), 1)));
    QVERIFY(report->property("image").toString().startsWith(QLatin1String("data:image/svg")));

    QMetaObject::invokeMethod(report, "close");
    QTRY_COMPARE(menuObject("stack")->property("depth").toInt(), 1);
    click(QuickItems::find(menu(), QStringLiteral("menuButton")));
    QQuickItem* logout = qobject_cast<QQuickItem*>(menuObject("logoutItem"));
    QVERIFY(logout);
    QTRY_VERIFY(menuObject("optionsMenu")->property("opened").toBool());
    click(logout);
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("ScanScreens"));
}

QTEST_MAIN(TestSettingsPages)
#include "tst_SettingsPages.moc"
