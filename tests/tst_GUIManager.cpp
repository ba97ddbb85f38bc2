#include "Common/Config.h"
#include "Common/logger.h"
#include "GUIManager.h"
#include "Model/IPv4.h"
#include "Peripheral/Ethernet.h"

#include "InProcessBus.h"
#include "LogCapture.h"
#include "QuickItems.h"
#include "ScratchSettings.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>


namespace {

const QString Blm = QStringLiteral("kivo/blm");
const QString BoardBase = QStringLiteral("kivo/board");
const QString Ui = QStringLiteral("kivo/ui");
const QString Pin = QStringLiteral("7315");
const QJsonObject Down{{"service", false}};

// A validation-service status; readers report themselves as enabled when asked to.
QJsonObject blmStatus(bool route = true, bool obu = true, bool readersOn = false)
{
    const QJsonObject state{{"hasRfid", true}, {"hasRoute", route}, {"hasQr", true}, {"hasObu", obu}};
    const QJsonObject device{{"rfid", QJsonObject{{"state", readersOn ? 2 : 1}, {"active", true}}},
                             {"barcode", QJsonObject{{"enabled", readersOn}}}};
    return QJsonObject{{"service", true}, {"state", state}, {"device", device}};
}

QStringList syslogLines;

} // namespace

class TestGUIManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void idleScreenFollowsValidatorStatus();
    void maintenanceSession_data();
    void maintenanceSession();
    void leavingThePinPage_data();
    void leavingThePinPage();
    void displayOffTimer_data();
    void displayOffTimer();
    void configurationBarcodes_data();
    void configurationBarcodes();
    void mixedConfigSetReconnectsOnce();
    void fleetSetsOnlyTheShortList();

private:
    void start();
    void status(const QJsonObject& payload, const QString& screen);
    QJsonObject sent(const QString& topic) const { return m_bus->lastJson(topic); }
    ScreenSelection* screens() const { return m_gui->findChild<ScreenSelection*>(); }
    // What the pages reach by name ("sessionManager", "network", ...).
    template <class T> T* context(const char* name) const
    {
        return qobject_cast<T*>(QuickItems::contextObject(m_gui->engine(), name));
    }

    std::unique_ptr<ScratchSettings> m_dir;
    Config* m_config = nullptr;
    std::unique_ptr<InProcessBus> m_bus;
    GUIManager* m_gui = nullptr;
};

// A settings file with the shipped display-off interval, a serial number, the
// time-zone command's stand-in and the event log in a folder of the case's
// own; the bus is in the process.
void TestGUIManager::init()
{
    m_dir = std::make_unique<ScratchSettings>("\n\n  SN-0042 \nignored\n");
    m_config = &m_dir->config();
    m_bus = std::make_unique<InProcessBus>();
}

void TestGUIManager::start()
{
    m_gui = new GUIManager(*m_config, *m_bus);
    QTRY_VERIFY(m_bus->count(Ui + QStringLiteral("/config")) > 0);
    m_bus->clear();
}

void TestGUIManager::cleanup()
{
    delete m_gui;
    m_gui = nullptr;
    m_bus.reset();
    m_dir.reset();
}

void TestGUIManager::status(const QJsonObject& payload, const QString& screen)
{
    QVERIFY(m_bus->deliver(Blm + "/status", payload));
    QCOMPARE(m_gui->screen(), screen);
}

void TestGUIManager::idleScreenFollowsValidatorStatus()
{
    start();
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-0042"));

    status(blmStatus(), QStringLiteral("ScanScreens"));
    QCOMPARE(m_bus->count(QStringLiteral("kivo/rfid/enable")), 1);
    status(blmStatus(true, false), QStringLiteral("ScanScreens"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0005"));

    m_bus->clear();
    status(blmStatus(false, true, true), QStringLiteral("OutOfService"));
    QCOMPARE(m_bus->count(QStringLiteral("kivo/rfid/disable")), 1);

    // Any other state is out of order, with the code.
    status(Down, QStringLiteral("OutOfOrder"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0002"));
    // The shipped display-off interval: three minutes (a coarse timer).
    QVERIFY(qAbs(screens()->displayOffRemainingMillis() - 180000) < 10000);
}

void TestGUIManager::maintenanceSession_data()
{
    QTest::addColumn<QJsonObject>("validator");
    QTest::addColumn<bool>("expires");
    QTest::addColumn<QString>("idle");
    QTest::newRow("logout, validator down") << Down << false << "OutOfOrder";
    QTest::newRow("expiry, validator online") << blmStatus() << true << "ScanScreens";
    QTest::newRow("expiry, out of service") << blmStatus(false) << true << "OutOfService";
}

// No validator's status takes the menu away; a logout
// or the session's expiry hands the screen back to the idle decision.
void TestGUIManager::maintenanceSession()
{
    QFETCH(QJsonObject, validator);
    QFETCH(bool, expires);
    QFETCH(QString, idle);
    start();
    status(blmStatus(), QStringLiteral("ScanScreens"));

    m_gui->settingsLoginRequest(Pin);
    m_gui->setScreen(QStringLiteral("Settings"));
    status(validator, QStringLiteral("Settings"));

    // Activity restarts the session's time, here shortened to 50 ms.
    auto* session = context<SessionManager>("sessionManager");
    session->setSessionMillis(50);
    if (expires)
        session->resetTimer();
    else
        m_gui->settingsLogoutRequest();
    QTRY_COMPARE(m_gui->screen(), idle);
    QVERIFY(!session->sessionActive());
    QCOMPARE(context<EventManager>("eventLogManager")->events().last()->name(),
             QStringLiteral("Maintenance logout"));
}

void TestGUIManager::leavingThePinPage_data()
{
    QTest::addColumn<QJsonObject>("validator");
    QTest::addColumn<bool>("ignition");
    QTest::addColumn<bool>("whileTyping");
    QTest::addColumn<bool>("secondPress");
    QTest::addColumn<QString>("idle");
    QTest::newRow("out of order while typing, second press") << Down << true << true << true << "OutOfOrder";
    QTest::newRow("out of order, timeout") << Down << true << false << false << "OutOfOrder";
    QTest::newRow("online, timeout") << blmStatus() << true << false << false << "ScanScreens";
    QTest::newRow("out of service, second press") << blmStatus(false) << true << false << true << "OutOfService";
    QTest::newRow("out of order, ignition off, timeout") << Down << false << false << false << "ScreenSaver";
}

// Out of order while a technician types, the PIN page stays; the page's own
// timeout and a second press of the hidden button leave it for whatever the
// validator's state calls for.
void TestGUIManager::leavingThePinPage()
{
    QFETCH(QJsonObject, validator);
    QFETCH(bool, ignition);
    QFETCH(bool, whileTyping);
    QFETCH(bool, secondPress);
    QFETCH(QString, idle);
    start();
    status(blmStatus(), QStringLiteral("ScanScreens"));
    if (!ignition) {
        QVERIFY(m_bus->deliver(BoardBase + "/status",
                               QJsonObject{{"service", true}, {"device", QJsonObject{{"active", true}, {"ignition", false}}}}));
        QCOMPARE(m_gui->screen(), QStringLiteral("ScreenSaver"));
    }
    screens()->setLoginMillis(secondPress ? 60000 : 100);
    if (!whileTyping)
        QVERIFY(m_bus->deliver(Blm + "/status", validator));
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("Login"));
    if (whileTyping) {
        QVERIFY(m_bus->deliver(Blm + "/status", validator));
        QCOMPARE(m_gui->screen(), QStringLiteral("Login"));
    }
    if (secondPress)
        m_gui->setMaintenanceScreen();
    QTRY_COMPARE(m_gui->screen(), idle);
}

void TestGUIManager::displayOffTimer_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QJsonObject>("first");
    QTest::addColumn<QJsonObject>("second");
    QTest::newRow("out of order, then out of service") << 2 << Down << blmStatus(false);
    QTest::newRow("out of service, then out of order") << 1 << blmStatus(false) << Down;
    QTest::newRow("displayOffMin 0 leaves the display alone") << 0 << Down << blmStatus(false);
}

// Out of order and out of service count down to switching the display off,
// each of them afresh; any other screen stops the countdown and switches the
// display back on.
void TestGUIManager::displayOffTimer()
{
    QFETCH(int, minutes);
    QFETCH(QJsonObject, first);
    QFETCH(QJsonObject, second);
    m_config->set(QStringLiteral("gui/displayOffMin"), minutes);
    start();
    screens()->setDisplayOffMinuteMillis(150);
    const QString set = BoardBase + "/power/set";
    const QJsonObject off{{"display", false}};
    m_bus->deliver(BoardBase + "/power", QJsonObject{{"display", true}});
    m_bus->deliver(Blm + "/status", first);
    if (minutes > 0) {
        QTRY_COMPARE(m_bus->count(set), 1);
        QCOMPARE(sent(set), off);
        m_bus->deliver(BoardBase + "/power", off);
        m_bus->deliver(Blm + "/status", second);
        QTRY_COMPARE(m_bus->count(set), 2);
        QCOMPARE(sent(set), off);
    }
    status(blmStatus(), QStringLiteral("ScanScreens"));
    QCOMPARE(m_bus->count(set), minutes > 0 ? 3 : 0);
    if (minutes > 0)
        QCOMPARE(sent(set), QJsonObject({{"display", true}}));
}

void TestGUIManager::configurationBarcodes_data()
{
    QTest::addColumn<bool>("session");
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QJsonObject>("code");
    QTest::addColumn<QJsonObject>("ethernetSet");
    QTest::addColumn<bool>("obcSet");
    const QJsonObject manual{{"method", "manual"}, {"address", "10.2.0.9"}, {"netmask", "255.255.0.0"},
                             {"gateway", "10.2.0.1"}, {"dns0", "10.2.0.2"}, {"dns1", "10.2.0.3"}};
    QJsonObject dhcp = manual;
    dhcp.insert(QStringLiteral("method"), QStringLiteral("dhcp"));
    const QJsonObject network{{"eth0", manual}};
    QJsonObject sentManual = manual;
    sentManual.insert(QStringLiteral("interface"), QStringLiteral("eth0"));
    const QJsonObject cleared{{"interface", "eth0"}, {"method", "auto"}, {"address", ""}, {"netmask", ""},
                              {"gateway", ""}, {"dns0", ""}, {"dns1", ""}};
    const QJsonObject obc{{"obc", "mqtt://10.2.0.5:1"}};
    QTest::newRow("manual, OBC") << true << "eth0" << QJsonObject{{"validator", obc}, {"network", network}}
                                 << sentManual << true;
    QTest::newRow("other method clears the addresses")
        << true << "eth0" << QJsonObject{{"network", QJsonObject{{"eth0", dhcp}}}} << cleared << false;
    QTest::newRow("interface not eth0") << true << "eth1" << QJsonObject{{"network", network}} << QJsonObject()
                                        << false;
    QTest::newRow("bad OBC, network still applied")
        << true << "eth0" << QJsonObject{{"validator", QJsonObject{{"obc", "mqtt://[bad"}}}, {"network", network}}
        << sentManual << false;
    QTest::newRow("outside a session") << false << "eth0" << QJsonObject{{"validator", obc}, {"network", network}}
                                       << QJsonObject() << false;
}

// What a configuration code read in the maintenance menu sends to the services.
void TestGUIManager::configurationBarcodes()
{
    QFETCH(bool, session);
    QFETCH(QString, interface);
    QFETCH(QJsonObject, code);
    QFETCH(QJsonObject, ethernetSet);
    QFETCH(bool, obcSet);
    start();
    if (session)
        m_gui->settingsLoginRequest(Pin);
    QVERIFY(m_bus->deliver(QStringLiteral("kivo/network/ethernet/state"), QJsonObject{{"interface", interface}}));
    m_bus->clear();
    QSignalSpy applied(m_gui, &GUIManager::barcodeConfigurationApplied);
    QVERIFY(m_bus->deliver(Blm + "/barcode/maintenance/scanned", code));
    const QString ethernet = QStringLiteral("kivo/network/ethernet/config/set");
    QCOMPARE(m_bus->count(ethernet), ethernetSet.isEmpty() ? 0 : 1);
    if (!ethernetSet.isEmpty()) {
        QCOMPARE(sent(ethernet), ethernetSet);
        // The Ethernet page shows what was sent, not what the code carried.
        const auto* network = context<manager::Network>("network");
        QCOMPARE(network->ethernet()->config()->address(), ethernetSet.value("address").toString());
    }
    QCOMPARE(m_bus->count(Blm + "/config/set"), obcSet ? 1 : 0);
    QCOMPARE(applied.count(), ethernetSet.isEmpty() && !obcSet ? 0 : 1);
}

// One change set across the groups applies each of them; after the new
// broker settings the manager has one set of handlers and subscriptions, so
// a connection answers each question once.
void TestGUIManager::mixedConfigSetReconnectsOnce()
{
    syslogLines.clear();
    manager::Logger::setSyslogSink([](int, const QByteArray& line) { syslogLines << QString::fromUtf8(line); });
    start();
    QSignalSpy anim(m_gui, &GUIManager::animSwitchSecChanged);
    QVERIFY(m_bus->deliver(Ui + "/config/set", QJsonObject{{"log", QJsonObject{{"syslog", true}}},
                                                           {"mqtt", QJsonObject{{"port", 1884}}},
                                                           {"gui", QJsonObject{{"animSwitchSec", 4}}}}));
    QCOMPARE(anim.count(), 1);
    QCOMPARE(m_config->get("mqtt/port").toInt(), 1884);
    QCOMPARE(m_bus->count(Ui + "/config"), 1);

    m_bus->drop();
    m_bus->connect();
    QVERIFY(m_bus->waitConnected());
    m_bus->clear();
    m_bus->deliver(Ui + "/status/get", QByteArray());
    m_bus->deliver(Ui + "/info/get", QByteArray());
    QCOMPARE(m_bus->count(Ui + "/info"), 1);
    QCOMPARE(m_bus->count(Ui + "/status"), 1);
    manager::Logger::setSyslogSink(nullptr);
    QCOMPARE(syslogLines.filter("MQTT configuration changed. Applying.").size(), 1);
    for (const char* suffix : {"/info/get", "/status/get", "/config/get", "/config/set"})
        QCOMPARE(m_bus->subscriptions().count(Ui + suffix), 1);
}

// The centre's change set arrives on a topic of its own: only the short list
// is applied, the rest refused and named in the reply; a PIN rotation is
// recorded without the PIN, which no payload and no log line carries.
void TestGUIManager::fleetSetsOnlyTheShortList()
{
    start();
    LogCapture log;
    const QString newPin = QStringLiteral("24681357");
    QVERIFY(m_bus->deliver(Ui + "/fleet/config/set",
                    QJsonObject{{"gui", QJsonObject{{"displayOffMin", 7}, {"settingsPin", newPin},
                                                    {"deviceId", m_dir->path() + "/other"},
                                                    {"screenSaverImg", "file:///tmp/ad.png"}}},
                                {"mqtt", QJsonObject{{"host", "evil.example"}, {"base", "kivo/other"}}},
                                {"topics", QJsonObject{{"blm", "kivo/x"}}},
                                {"log", QJsonObject{{"level", 9}}}}));
    const QJsonObject reply = m_bus->lastJson(Ui + "/fleet/config/result");
    QCOMPARE(reply.value("applied").toVariant().toStringList(), (QStringList{"gui/displayOffMin", "gui/settingsPin"}));
    QCOMPARE(reply.value("refused").toVariant().toStringList(),
             (QStringList{"gui/deviceId", "gui/screenSaverImg", "log/level", "mqtt/base", "mqtt/host", "topics/blm"}));
    QCOMPARE(m_gui->displayOffMin(), 7);
    QCOMPARE(m_config->get("mqtt/host").toString(), QStringLiteral("localhost"));
    QCOMPARE(m_config->get("gui/settingsPin").toString(), newPin);
    const QJsonObject event = m_bus->lastJson(Ui + "/event");
    QCOMPARE(event.value("category").toString(), QStringLiteral("Security"));
    QCOMPARE(event.value("name").toString(), QStringLiteral("PIN changed"));
    // The local bus still decides everything, and a fleet topic is no local one.
    QVERIFY(m_bus->deliver(Ui + "/config/set", QJsonObject{{"log", QJsonObject{{"level", 3}}}}));
    QCOMPARE(m_config->get("log/level").toInt(), 3);
    QCOMPARE(m_bus->count(Ui + "/config"), 2);
    for (const InProcessBus::Message& m : m_bus->messages()) {
        if (!m.topic.endsWith(QLatin1String("/config/set")))
            QVERIFY2(!m.payload.contains(newPin.toUtf8()), qPrintable(m.topic));
        if (m.topic == Ui + "/config")
            QVERIFY(!m.payload.contains("settingsPin") && !m.payload.contains("password"));
    }
    QVERIFY(!log.texts().join('\n').contains(newPin));
    QVERIFY(log.contains("Message received : " + Ui + "/fleet/config/set"));
}

QTEST_MAIN(TestGUIManager)
#include "tst_GUIManager.moc"
