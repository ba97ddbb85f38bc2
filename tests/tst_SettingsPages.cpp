// The maintenance pages in the real main window over a real GUIManager, a
// broker and the device simulator: what the pages ask of the services and what
// they show back. Any warning the window's QML logs fails the case.

#include "AppWindow.h"
#include "Common/Config.h"
#include "GUIManager.h"
#include "MqttPeer.h"
#include "QuickItems.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QMetaProperty>
#include <QProcess>
#include <QQmlProperty>
#include <QSet>
#include <QStandardPaths>
#include <QQmlContext>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

const QString Blm = QStringLiteral("kivo/blm");
const char* const AddressFields[] = {"addressField", "maskField", "gatewayField", "dns0Field", "dns1Field"};

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
    void everyEntryOpens();
    void ethernetTabAndConfiguration();
    void ethernetRefusals();
    void lightThemeReads();
    void pinLockout();
    void scanConfigQr();
    void diagnosticsDialogs_data();
    void diagnosticsDialogs();
    void updateInstall();
    void serialNumberChecks_data();
    void serialNumberChecks();
    void technicianPath();

private:
    QObject* context(const char* name) const
    {
        return m_app.manager()->engine().rootContext()->contextProperty(QLatin1String(name)).value<QObject*>();
    }
    QQuickItem* menu() const { return QuickItems::page(m_app.window(), QStringLiteral("Settings")); }
    QObject* menuObject(const char* name) const { return menu()->findChild<QObject*>(QLatin1String(name)); }
    QQuickItem* currentPage() const { return menuObject("stack")->property("currentItem").value<QQuickItem*>(); }
    manager::Validator* validator() const { return qobject_cast<manager::Validator*>(context("validatorManager")); }
    QString screen() const { return m_app.window()->property("currentScreen").toString(); }
    bool openEntry(int index);
    bool openEthernetConfig();
    void chooseManual();
    bool stackSettled(int depth = 0) const;
    bool backToMenu();
    void click(QQuickItem* item);
    QQuickItem* item(const char* name) const { return QuickItems::find(currentPage(), QLatin1String(name)); }
    QObject* pageObject(const char* name) const { return currentPage()->findChild<QObject*>(QLatin1String(name)); }
    QString infoValue(const QString& label) const;
    void enterPin(const QString& pin);

    AppWindow m_app;
};

void TestSettingsPages::initTestCase()
{
    QVERIFY(m_app.start(QStringLiteral("kivo/#"), {{"gui/locale", "en_IE"}}, true));
    // The self-test report is written to the working directory.
    QVERIFY(QDir::setCurrent(m_app.path()));
    QTRY_VERIFY(!validator()->config()->obuUrl().isEmpty());

    m_app.config()->set("gui/settingsPin", "4321");
    m_app.manager()->settingsLoginRequest(QStringLiteral("4321"));
    QTRY_COMPARE(screen(), QStringLiteral("Settings"));
    // The slide between pages is not under test, and each takes a third of a second.
    for (const char* transition : {"pushEnter", "pushExit", "popEnter", "popExit", "replaceEnter", "replaceExit"})
        QVERIFY(QQmlProperty::write(menuObject("stack"), QLatin1String(transition), QVariant::fromValue<QObject*>(nullptr)));
    // The clock counts taps for a second before it answers; a third of one is enough here.
    QuickItems::find(m_app.window()->contentItem(), QStringLiteral("clock"))->setProperty("tapMillis", 300);
}

// A failed case leaves no sub-page open behind it.
void TestSettingsPages::init()
{
    if (screen() != QLatin1String("Settings"))
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
    QList<QObject*> pending;
    for (const char* name : {"manager", "board", "inspector", "eventLogManager", "network", "validatorManager",
                             "sessionManager"})
        pending << context(name);
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

// Each entry opens over the real managers, and closes again.
void TestSettingsPages::everyEntryOpens()
{
    for (int entry = 0; entry < 8; ++entry) {
        QVERIFY2(openEntry(entry), qPrintable(QString::number(entry)));
        QVERIFY(backToMenu());
    }
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

// The Network page's Ethernet tab, then its configuration page.
bool TestSettingsPages::openEthernetConfig()
{
    if (!openEntry(5))
        return false;
    click(item("ethernetTab"));
    if (!QTest::qWaitFor([&] { return pageObject("swipe")->property("currentIndex").toInt() == 1; }))
        return false;
    QMetaObject::invokeMethod(item("configureButton"), "clicked");
    return stackSettled(3);
}

// As a choice in the list makes it.
void TestSettingsPages::chooseManual()
{
    pageObject("modeBox")->setProperty("currentIndex", 1);
    QMetaObject::invokeMethod(pageObject("modeBox"), "activated", Q_ARG(int, 1));
}

// The Ethernet tab shows what the network service reports, and a manual
// address saved on the configuration page reaches the service. Empty
// optional fields and "0.0.0.0" pass the checks; in auto mode nothing can be typed.
void TestSettingsPages::ethernetTabAndConfiguration()
{
    QVERIFY(openEthernetConfig());
    QVERIFY(!item("addressField")->property("field").value<QQuickItem*>()->isEnabled());
    chooseManual();
    const QStringList values{"192.168.7.20", "255.255.255.0", "", "0.0.0.0", "192.168.7.3"};
    for (int i = 0; i < 5; ++i)
        item(AddressFields[i])->setProperty("text", values[i]);
    const int before = m_app.peer()->size();
    click(item("saveButton"));
    const QJsonObject sent = m_app.peer()->waitJson(QStringLiteral("kivo/network/ethernet/config/set"), before);
    QCOMPARE(sent.value("method").toString(), QStringLiteral("manual"));
    QCOMPARE(sent.value("address").toString(), values[0]);
    QCOMPARE(sent.value("netmask").toString(), values[1]);
    QVERIFY(stackSettled(2));
    QTRY_COMPARE(infoValue("IPv4 Address"), values[0]);
    QCOMPARE(infoValue("State"), QStringLiteral("Connected"));
    QVERIFY(infoValue("MAC").contains(QLatin1Char(':')));
}

// A complaint about the first bad field, in the order the fields are checked;
// nothing is sent and the page stays. One page and one popup serve every row.
void TestSettingsPages::ethernetRefusals()
{
    const QVector<QPair<QStringList, QString>> rows{
        {{"", "255.255.255.0"}, "IPv4 address cannot be empty in 'manual' mode"},
        {{"1.2.3.999", "", "", "", "bad"}, "IPv4 netmask cannot be empty in 'manual' mode"},
        {{"192.168.01.20"}, "IPv4 address is not a valid IP address"},
        {{"192.168.1.20", "255.255.255.0", "10.0.0.x"}, "IPv4 gateway is not a valid IP address"},
        {{"192.168.1.20", "255.255.255.0", "", "", "08.8.8.8"}, "IPv4 DNS #1 is not a valid IP address"}};
    const QString set = QStringLiteral("kivo/network/ethernet/config/set");
    const int sets = m_app.peer()->count(set);
    QVERIFY(openEthernetConfig());
    chooseManual();
    QObject* popup = pageObject("ethernetPopup");
    for (const auto& row : rows) {
        for (int i = 0; i < 5; ++i)
            item(AddressFields[i])->setProperty("text", row.first.value(i, i == 1 ? "255.255.255.0" : ""));
        // Save is clicked once; later rows call what it calls, with the popup still open.
        if (&row == &rows.first())
            click(item("saveButton"));
        else
            QMetaObject::invokeMethod(currentPage(), "save");
        QTRY_VERIFY(popup->property("opened").toBool());
        QCOMPARE(popup->property("text").toString(), row.second);
    }
    QCOMPARE(m_app.peer()->count(set), sets);
    QCOMPARE(menuObject("stack")->property("depth").toInt(), 3);
    // A popup left open over a page that goes would keep taking the taps.
    QMetaObject::invokeMethod(popup, "close");
    QTRY_VERIFY(!popup->property("visible").toBool());
}

// The light theme lays a light surface behind dark text; the dark theme the reverse.
void TestSettingsPages::lightThemeReads()
{
    QVERIFY(openEntry(4));
    QQuickItem* theme = item("themeSwitch");
    QVERIFY(theme);
    // The caption beside the switch: the spread of its pixels' lightness, and the page below the rows.
    QQuickItem* row = theme->parentItem()->parentItem();
    const QRect caption = QuickItems::sceneRect(row).adjusted(0, 0, -row->width() / 2, 0);
    const auto reads = [&](bool light) {
        const QImage image = m_app.window()->grabWindow();
        int darkest = 255, lightest = 0;
        for (int y = caption.top(); y <= caption.bottom(); ++y) {
            for (int x = caption.left(); x <= caption.right(); ++x) {
                const int l = image.pixelColor(x, y).lightness();
                darkest = qMin(darkest, l);
                lightest = qMax(lightest, l);
            }
        }
        const int surface = image.pixelColor(240, 780).lightness();
        return lightest - darkest > 120 && (light ? surface > 200 : surface < 80);
    };
    click(theme);
    QTRY_VERIFY(!theme->property("checked").toBool());
    QTRY_VERIFY(reads(true));
    click(theme);
    QTRY_VERIFY(theme->property("checked").toBool());
    QTRY_VERIFY(reads(false));
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
    QTRY_VERIFY(screen() != QLatin1String("Settings"));
    m_app.manager()->session().setLockoutMillis(1000);
    QQuickItem* login = QuickItems::page(m_app.window(), QStringLiteral("Login"));
    QSignalSpy denied(m_app.manager(), &GUIManager::settingsAccessDenied);
    QuickItems::tapClock(m_app.window());
    QTRY_COMPARE(screen(), QStringLiteral("Login"));
    for (int i = 0; i < 5; ++i) {
        enterPin(QStringLiteral("1111"));
        QTRY_COMPARE(denied.count(), i + 1);
    }
    QQuickItem* lockText = QuickItems::find(login, QStringLiteral("lockText"));
    QTRY_VERIFY(lockText->isVisible());
    QVERIFY(lockText->property("text").toString().contains(QLatin1String("0:01")));
    QCOMPARE(m_app.manager()->eventLog().events().last()->property("name").toString(), QStringLiteral("Login locked"));

    enterPin(QStringLiteral("4321"));
    QTRY_COMPARE(denied.count(), 6);
    QCOMPARE(screen(), QStringLiteral("Login"));

    QTRY_VERIFY_WITH_TIMEOUT(!lockText->isVisible(), 5000);
    enterPin(QStringLiteral("4321"));
    QTRY_COMPARE(screen(), QStringLiteral("Settings"));
}

// No transition running, and at `depth` when one is given.
bool TestSettingsPages::stackSettled(int depth) const
{
    QObject* stack = menuObject("stack");
    return QTest::qWaitFor([&] {
        return !stack->property("busy").toBool() && (!depth || stack->property("depth").toInt() == depth);
    });
}

bool TestSettingsPages::openEntry(int index)
{
    if (!stackSettled())
        return false;
    QMetaObject::invokeMethod(menu(), "openEntry", Q_ARG(QVariant, index));
    if (!stackSettled(2))
        return false;
    // Taps need the page laid out: a grab polishes and draws it.
    m_app.window()->grabWindow();
    return true;
}

bool TestSettingsPages::backToMenu()
{
    QObject* stack = menuObject("stack");
    for (int i = 0; i < 3 && stack->property("depth").toInt() > 1; ++i) {
        if (!stackSettled())
            return false;
        QMetaObject::invokeMethod(menuObject("backButton"), "clicked");
    }
    return stackSettled(1);
}

void TestSettingsPages::click(QQuickItem* item)
{
    QVERIFY(item);
    QTest::mouseClick(m_app.window(), Qt::LeftButton, Qt::NoModifier, QuickItems::sceneRect(item).center());
}

// The reader is on while the prompt is open and off after it, and a
// configuration code read meanwhile is applied and listed in the prompt.
void TestSettingsPages::scanConfigQr()
{
    QObject* popup = menuObject("configPopup");
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

void TestSettingsPages::diagnosticsDialogs_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("closed");
    QTest::newRow("LEDs") << "kivo/board/led/play/request/1" << "" << "leds" << "kivo/board/led/off/request/1";
    // The reader tests end on what the device reports. Whether a reader is
    // enabled on opening depends on the service's state (the guards are tst_Validator's).
    QTest::newRow("RFID") << "" << "kivo/rfid/card/found" << "cardScan" << "kivo/rfid/disable";
    QTest::newRow("Barcode") << "" << Blm + "/barcode/scanned" << "barcodeScan" << "kivo/barcode/disable";
}

// Each manual test over the real managers: what it asks of the device while open, the answer it records and what it asks on closing.
void TestSettingsPages::diagnosticsDialogs()
{
    QFETCH(QString, opened);
    QFETCH(QString, device);
    QFETCH(QString, result);
    QFETCH(QString, closed);
    QVERIFY(openEntry(1));
    QObject* popup = pageObject("testPopup");
    QObject* diagnostics = m_app.manager()->property("diagnostics").value<QObject*>();
    diagnostics->setProperty(qPrintable(result), QString());
    const int from = m_app.peer()->size();
    click(item(qPrintable(QStringLiteral("test_") + QTest::currentDataTag())));
    QTRY_VERIFY(popup->property("opened").toBool());
    QVERIFY(opened.isEmpty() || m_app.peer()->waitFor(opened, 5000, from));
    if (device.isEmpty()) {
        click(QuickItems::find(popup->property("contentItem").value<QQuickItem*>(), QStringLiteral("popupYes")));
    } else {
        m_app.peer()->publish(device, QJsonObject{{"uid", "04A1B2"}, {"type", 1}, {"transaction", QJsonObject()}});
        QTRY_VERIFY(popup->property("text").toString().startsWith(QLatin1String("CARD DETECTED\n04A1B2"))
                    || !popup->property("opened").toBool());
        QMetaObject::invokeMethod(popup, "close");
    }
    QTRY_VERIFY(!popup->property("visible").toBool());
    QCOMPARE(diagnostics->property(qPrintable(result)).toString(), QStringLiteral("OK"));
    QVERIFY(m_app.peer()->waitFor(closed, 5000, from));
}

// Install is offered only once the update service has a version ready, and asks it to install.
void TestSettingsPages::updateInstall()
{
    QVERIFY(openEntry(6));
    QQuickItem* install = item("installButton");
    QVERIFY(!install->isEnabled());
    const int from = m_app.peer()->size();
    m_app.command(QStringLiteral("update available 9.9.9"));
    QVERIFY(m_app.peer()->waitFor(QStringLiteral("kivo/device/update/software/status"), 5000, from));
    // The service's state settles the page's status.
    QMetaObject::invokeMethod(m_app.manager()->property("update").value<QObject*>(), "refresh");
    QTRY_VERIFY(install->isEnabled());
    click(install);
    QVERIFY(m_app.peer()->waitFor(QStringLiteral("kivo/device/update/software/install"), 5000, from));
}

void TestSettingsPages::serialNumberChecks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("C form") << "C12345678" << true;
    // What is typed in lower case is turned upper case.
    QTest::newRow("lower case") << "k12345678" << true;
    QTest::newRow("other letter") << "A12345678" << false;
    QTest::newRow("seven digits") << "K1234567" << false;
    QTest::newRow("trailing blank") << "K12345678 " << false;
}

// The first-start page: Save, and Enter on a hardware keyboard, only for a
// well-formed number; only an answer or leaving the page closes the dialog.
void TestSettingsPages::serialNumberChecks()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    m_app.manager()->setScreen(QStringLiteral("InitPage"));
    QTRY_COMPARE(screen(), QStringLiteral("InitPage"));
    QQuickItem* page = QuickItems::page(m_app.window(), QStringLiteral("InitPage"));
    QQuickItem* field = QuickItems::find(page, QStringLiteral("serialField"));
    field->setProperty("text", text);
    QCOMPARE(QuickItems::find(page, QStringLiteral("saveButton"))->isEnabled(), valid);
    QCOMPARE(QuickItems::find(page, QStringLiteral("serialHint"))->opacity(), valid ? 0.0 : 1.0);
    field->forceActiveFocus();
    QTest::keyClick(m_app.window(), Qt::Key_Return);
    QObject* popup = page->findChild<QObject*>(QStringLiteral("confirmPopup"));
    QCOMPARE(popup->property("visible").toBool(), valid);
    QTest::mouseClick(m_app.window(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 780));
    QCOMPARE(popup->property("visible").toBool(), valid);
    m_app.manager()->setScreen(QStringLiteral("Busy"));
    QTRY_VERIFY(!popup->property("visible").toBool());
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
    QTRY_COMPARE(screen(), QStringLiteral("ScanScreens"));
    // Two taps open nothing.
    QQuickItem* clock = QuickItems::find(m_app.window()->contentItem(), QStringLiteral("clock"));
    click(clock);
    click(clock);
    QTRY_COMPARE(clock->property("presses").toInt(), 0);
    QCOMPARE(screen(), QStringLiteral("ScanScreens"));
    QuickItems::tapClock(m_app.window());
    QTRY_COMPARE(screen(), QStringLiteral("Login"));
    // On the pad, back takes the last digit and CLR all; LOGIN needs a digit.
    QQuickItem* login = QuickItems::page(m_app.window(), QStringLiteral("Login"));
    for (const char* key : {"key_7", "key_3", "key_1", "key_back"})
        click(QuickItems::find(login, QLatin1String(key)));
    QCOMPARE(QuickItems::find(login, QStringLiteral("pinText"))->property("text").toString(), QStringLiteral("73"));
    click(QuickItems::find(login, QStringLiteral("key_CLR")));
    QCOMPARE(QuickItems::find(login, QStringLiteral("pinText"))->property("text").toString(), QStringLiteral("Pin"));
    QVERIFY(!QuickItems::find(login, QStringLiteral("loginButton"))->isEnabled());
    enterPin(QStringLiteral("4321"));
    QTRY_COMPARE(screen(), QStringLiteral("Settings"));

    QVERIFY(openEntry(1));
    QObject* report = pageObject("reportPopup");
    click(item("test_FINISH"));
    QTRY_VERIFY(report->property("opened").toBool());
    const QString text = report->property("text").toString();
    QVERIFY2(text.startsWith(QLatin1String("Test report saved successfully:\n")), qPrintable(text));
    QVERIFY(QFileInfo::exists(text.section(QLatin1Char('\n'), 1)));
    // A phone reads the code off the screen: whole, sharp modules of five pixels or more.
    QQuickItem* code = QuickItems::find(m_app.window()->contentItem(), QStringLiteral("codeImage"));
    QVERIFY(code->property("moduleSize").toInt() >= 5);
    QVERIFY(!code->property("smooth").toBool());
    if (!QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()) {
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
    QVERIFY(stackSettled(1));
    click(QuickItems::find(menu(), QStringLiteral("menuButton")));
    QTRY_VERIFY(menuObject("optionsMenu")->property("opened").toBool());
    click(qobject_cast<QQuickItem*>(menuObject("logoutItem")));
    QTRY_COMPARE(screen(), QStringLiteral("ScanScreens"));
}

QTEST_MAIN(TestSettingsPages)
#include "tst_SettingsPages.moc"
