// The maintenance pages in the real main window over a real GUIManager, a
// broker and the device simulator: what the pages ask of the services and what
// they show back. Any warning the window's QML logs fails the case.

#include "AppWindow.h"
#include "Common/Config.h"
#include "EventManager.h"
#include "GUIManager.h"
#include "Model/Event.h"
#include "SessionManager.h"
#include "MqttPeer.h"
#include "QuickItems.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QMetaProperty>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
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
    void init();
    void cleanup();
    void propertiesReachQml();
    void everyEntryOpens_data();
    void everyEntryOpens();
    void ethernetTabAndConfiguration();
    void lightThemeReads();
    void pinLockout();
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
    QString infoValue(const QString& label) const;
    bool loginByTouch(const QString& pin);
    void enterPin(const QString& pin);

    AppWindow m_app;
};

void TestSettingsPages::initTestCase()
{
    QVERIFY(m_app.start(QStringLiteral("kivo/#"), QVariantMap(), true));
    // The self-test report is written to the working directory.
    QVERIFY(QDir::setCurrent(m_app.path()));
    QTRY_VERIFY(!validator()->config()->obuUrl().isEmpty());

    m_app.config()->set("gui/settingsPin", "4321");
    m_app.manager()->settingsLoginRequest(QStringLiteral("4321"));
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("Settings"));
}

// A failed case leaves no sub-page open behind it.
void TestSettingsPages::init()
{
    if (m_app.window()->property("currentScreen").toString() != QLatin1String("Settings"))
        return;
    QMetaObject::invokeMethod(menu(), "reset");
    QVERIFY(backToMenu());
}

void TestSettingsPages::cleanup()
{
    const QStringList warnings = m_app.qmlWarnings();
    m_app.clearQmlWarnings();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

// Every object QML reaches from the context properties reads as a live object
// of a registered type: an unregistered one reads as undefined in QML.
void TestSettingsPages::propertiesReachQml()
{
    QQmlContext* context = m_app.manager()->engine().rootContext();
    QList<QObject*> pending;
    for (const char* name : {"manager", "board", "inspector", "eventLogManager", "network", "validatorManager",
                             "sessionManager"})
        pending << context->contextProperty(QLatin1String(name)).value<QObject*>();
    QSet<QObject*> seen;
    while (!pending.isEmpty()) {
        QObject* object = pending.takeFirst();
        QVERIFY(object);
        if (seen.contains(object))
            continue;
        seen.insert(object);
        const QMetaObject* meta = object->metaObject();
        for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (!QByteArray(property.typeName()).endsWith('*'))
                continue;
            const QString where = QStringLiteral("%1::%2").arg(meta->className(), property.name());
            QVERIFY2(QMetaType::typeFlags(property.userType()) & QMetaType::PointerToQObject, qPrintable(where));
            const QVariant value = property.read(object);
            QVERIFY2(value.isValid() && value.value<QObject*>(), qPrintable(where));
            pending << value.value<QObject*>();
        }
    }
    QVERIFY(seen.size() > 10);
}

void TestSettingsPages::everyEntryOpens_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("shown");
    const char* const entries[] = {"Validator", "Diagnostics", "Region", "Audio", "Display", "Network", "Update",
                                   "Event Log"};
    for (int i = 0; i < 8; ++i)
        QTest::newRow(entries[i]) << i << entries[i];
}

// Each entry opens over the real managers with its title, and closes again.
void TestSettingsPages::everyEntryOpens()
{
    QFETCH(int, entry);
    QFETCH(QString, shown);
    QVERIFY(openEntry(entry));
    QCOMPARE(menuObject("title")->property("text").toString(), shown);
    QTest::qWait(200);
    QVERIFY(backToMenu());
}

QString TestSettingsPages::infoValue(const QString& label) const
{
    const std::function<QString(QQuickItem*)> search = [&](QQuickItem* item) -> QString {
        if (item->property("label").toString() == label && item->isVisible())
            return item->property("value").toString();
        for (QQuickItem* child : item->childItems()) {
            const QString value = search(child);
            if (!value.isNull())
                return value;
        }
        return QString();
    };
    return search(currentPage());
}

// The Ethernet tab shows what the network service reports, and a manual
// address saved on the configuration page reaches the service.
void TestSettingsPages::ethernetTabAndConfiguration()
{
    QVERIFY(openEntry(5));
    click(item("ethernetTab"));
    QTRY_COMPARE(pageObject("swipe")->property("currentIndex").toInt(), 1);
    QTRY_COMPARE(infoValue("State"), QStringLiteral("Connected"));
    QVERIFY(infoValue("MAC").contains(QLatin1Char(':')));
    QVERIFY(!infoValue("IPv4 Address").isEmpty());

    QObject* stack = menuObject("stack");
    QMetaObject::invokeMethod(item("configureButton"), "clicked");
    QTRY_COMPARE(stack->property("depth").toInt(), 3);
    QTRY_VERIFY(!stack->property("busy").toBool());
    // As a choice in the list makes it.
    pageObject("modeBox")->setProperty("currentIndex", 1);
    QMetaObject::invokeMethod(pageObject("modeBox"), "activated", Q_ARG(int, 1));
    const QStringList values{"192.168.7.20", "255.255.255.0", "192.168.7.1", "192.168.7.2", "192.168.7.3"};
    const char* const fields[] = {"addressField", "maskField", "gatewayField", "dns0Field", "dns1Field"};
    for (int i = 0; i < 5; ++i)
        item(fields[i])->setProperty("text", values[i]);
    const int before = m_app.peer()->size();
    click(item("saveButton"));
    QVERIFY(m_app.peer()->waitFor(QStringLiteral("kivo/network/ethernet/config/set"), 5000, before));
    const QJsonObject sent = m_app.peer()->lastJson(QStringLiteral("kivo/network/ethernet/config/set"));
    QCOMPARE(sent.value("method").toString(), QStringLiteral("manual"));
    QCOMPARE(sent.value("address").toString(), values[0]);
    QCOMPARE(sent.value("netmask").toString(), values[1]);
    QTRY_COMPARE(stack->property("depth").toInt(), 2);
    QTRY_COMPARE(m_app.peer()->lastJson(QStringLiteral("kivo/network/ethernet/config")).value("address").toString(),
                 values[0]);
    QVERIFY(backToMenu());
}

// The light theme lays a light surface behind dark text; the dark theme the reverse.
void TestSettingsPages::lightThemeReads()
{
    QVERIFY(openEntry(4));
    QQuickItem* theme = item("themeSwitch");
    QVERIFY(theme);
    // The caption beside the switch: its darkest and lightest pixels, and the page below the rows.
    QQuickItem* row = theme->parentItem()->parentItem();
    const QRect caption = QuickItems::sceneRect(row).adjusted(0, 0, -row->width() / 2, 0);
    const auto lightness = [&](const QImage& image) {
        int darkest = 255, lightest = 0;
        for (int y = caption.top(); y <= caption.bottom(); ++y) {
            for (int x = caption.left(); x <= caption.right(); ++x) {
                const int l = image.pixelColor(x, y).lightness();
                darkest = qMin(darkest, l);
                lightest = qMax(lightest, l);
            }
        }
        return qMakePair(image.pixelColor(240, 780).lightness(), lightest - darkest);
    };
    click(theme);
    QTRY_VERIFY(!theme->property("checked").toBool());
    QTest::qWait(300);
    auto light = lightness(m_app.window()->grabWindow());
    QVERIFY2(light.first > 200 && light.second > 120, qPrintable(QStringLiteral("%1 %2").arg(light.first).arg(light.second)));
    click(theme);
    QTRY_VERIFY(theme->property("checked").toBool());
    QTest::qWait(300);
    auto dark = lightness(m_app.window()->grabWindow());
    QVERIFY2(dark.first < 80 && dark.second > 120, qPrintable(QStringLiteral("%1 %2").arg(dark.first).arg(dark.second)));
    QVERIFY(backToMenu());
}

bool TestSettingsPages::loginByTouch(const QString& pin)
{
    QuickItems::tapClock(m_app.window());
    if (!QTest::qWaitFor([this] { return m_app.window()->property("currentScreen").toString() == "Login"; }))
        return false;
    enterPin(pin);
    return true;
}

// The digits on the PIN page's pad, then LOGIN.
void TestSettingsPages::enterPin(const QString& pin)
{
    QQuickItem* login = QuickItems::page(m_app.window(), QStringLiteral("Login"));
    for (const QChar digit : pin)
        click(QuickItems::find(login, QStringLiteral("key_") + digit));
    click(QuickItems::find(login, QStringLiteral("loginButton")));
}

// Five wrong PINs lock the page; the right one is refused until the lockout
// ends, then taken. Each lockout is recorded.
void TestSettingsPages::pinLockout()
{
    m_app.manager()->settingsLogoutRequest();
    QTRY_VERIFY(m_app.window()->property("currentScreen").toString() != QLatin1String("Settings"));
    SessionManager& session = m_app.manager()->session();
    session.setLockoutMillis(1500);
    QQuickItem* login = QuickItems::page(m_app.window(), QStringLiteral("Login"));
    QSignalSpy denied(m_app.manager(), &GUIManager::settingsAccessDenied);
    QVERIFY(loginByTouch(QStringLiteral("1111")));
    for (int i = 1; i < 5; ++i) {
        QTRY_COMPARE(denied.count(), i);
        enterPin(QStringLiteral("1111"));
    }
    QTRY_COMPARE(denied.count(), 5);
    QQuickItem* lockText = QuickItems::find(login, QStringLiteral("lockText"));
    QTRY_VERIFY(lockText->isVisible());
    QVERIFY(lockText->property("text").toString().contains(QLatin1String("0:02")));
    QCOMPARE(m_app.manager()->eventLog().events().last()->property("name").toString(), QStringLiteral("Login locked"));

    enterPin(QStringLiteral("4321"));
    QTRY_COMPARE(denied.count(), 6);
    QCOMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("Login"));

    QTRY_VERIFY_WITH_TIMEOUT(!lockText->isVisible(), 5000);
    enterPin(QStringLiteral("4321"));
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

// The reader is on while the prompt is open and off after it, and a
// configuration code read meanwhile is applied and listed in the prompt.
void TestSettingsPages::scanConfigQr()
{
    QObject* popup = menuObject("configPopup");
    QVERIFY(popup);
    QMetaObject::invokeMethod(menuObject("scanConfigItem"), "triggered");
    QTRY_VERIFY(popup->property("opened").toBool());
    QCOMPARE(popup->property("text").toString(), QStringLiteral("Scan Configuration QR code"));
    QTRY_VERIFY(validator()->barcode()->enabled());

    m_app.peer()->publish(Blm + "/barcode/maintenance/scanned",
                    QJsonObject{{"validator", QJsonObject{{"obc", "http://10.1.1.1:9000"}}}});
    QTRY_COMPARE(popup->property("text").toString(),
                 QStringLiteral("CONFIGURATION APPLIED\nOBC : http://10.1.1.1:9000"));
    // The service takes the address and reports it back.
    QTRY_COMPARE(validator()->config()->obuUrl().host(), QStringLiteral("10.1.1.1"));
    QCOMPARE(validator()->config()->obuUrl().port(), 9000);

    const int disables = m_app.peer()->size();
    QMetaObject::invokeMethod(popup, "close");
    QVERIFY(m_app.peer()->waitFor("kivo/barcode/disable", 5000, disables));
    QTRY_VERIFY(!validator()->barcode()->enabled());
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
    QVERIFY(m_app.peer()->waitFor(Blm + "/config", 5000, gets));
    QTRY_COMPARE(stack->property("depth").toInt(), 2);
    const QJsonObject answer = m_app.peer()->lastJson(Blm + "/config");
    QTRY_COMPARE(validator()->config()->passbackSecs(),
                 answer.value("validator").toObject().value("passbackTime").toVariant().toInt());
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

    QVERIFY(loginByTouch(QStringLiteral("4321")));
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
    // A phone reads the code off the screen: whole, sharp modules of five pixels or more.
    QQuickItem* code = QuickItems::find(m_app.window()->contentItem(), QStringLiteral("codeImage"));
    QVERIFY(code);
    QVERIFY(code->property("moduleSize").toInt() >= 5);
    QVERIFY(!code->property("smooth").toBool());
    if (!QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
        QTest::qWait(300);
        const QString grab = QDir(m_app.path()).filePath(QStringLiteral("report.png"));
        QVERIFY(m_app.window()->grabWindow().save(grab));
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), grab});
        QVERIFY(zbar.waitForFinished(10000));
        const QStringList fields = QString::fromUtf8(zbar.readAllStandardOutput()).trimmed().split(QLatin1Char(';'));
        QCOMPARE(fields.size(), 35);
        QCOMPARE(fields.first(), QStringLiteral("K12345678"));
    }

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
