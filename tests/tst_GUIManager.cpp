#include "Common/Config.h"
#include "Common/logger.h"
#include "GUIManager.h"
#include "Model/IPv4.h"
#include "Peripheral/Ethernet.h"

#include "AppWindow.h"
#include "MqttPeer.h"
#include "QuickItems.h"
#include "TestBroker.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

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

ino_t inode(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Root writes through file modes: while it lives, files are written as the
// unprivileged "nobody", so a folder's mode counts.
class WriteAsNobody
{
public:
    WriteAsNobody() : m_root(geteuid() == 0 && seteuid(65534) == 0) {}
    ~WriteAsNobody()
    {
        if (m_root && seteuid(0) != 0)
            qFatal("Could not return to root");
    }

private:
    bool m_root;
};

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
    void deviceIdFile_data();
    void deviceIdFile();
    void mixedConfigSetReconnectsOnce();

private:
    void start();
    bool settle();
    void status(const QJsonObject& payload, const QString& screen);
    QJsonObject sent(const QString& topic) const { return m_peer->lastJson(topic); }
    ScreenSelection* screens() const { return m_gui->findChild<ScreenSelection*>(); }
    // What the pages reach by name ("sessionManager", "network", ...).
    template <class T> T* context(const char* name) const
    {
        return qobject_cast<T*>(QuickItems::contextObject(m_gui->engine(), name));
    }

    std::unique_ptr<AppWindow> m_app;
    Config* m_config = nullptr;
    GUIManager* m_gui = nullptr;
    MqttPeer* m_peer = nullptr;
};

void TestGUIManager::init()
{
    m_app = std::make_unique<AppWindow>();
    // The display-off timer as it ships.
    const QString displayOff = QStringLiteral("gui/displayOffMin");
    QVERIFY(m_app->prepare(QStringLiteral("#"), {{displayOff, GUIManager::Defaults.value(displayOff)}}));
    m_config = m_app->config();
    m_peer = m_app->peer();
    QFile serial(QDir(m_app->path()).filePath(QStringLiteral("serialnumber")));
    QVERIFY(serial.open(QIODevice::WriteOnly));
    serial.write("\n\n  SN-0042 \nignored\n");
}

void TestGUIManager::start()
{
    m_gui = new GUIManager(*m_config);
    QVERIFY(m_peer->waitFor(Ui + QStringLiteral("/config")));
    QVERIFY(settle());
    QVERIFY(m_peer->clear());
}

void TestGUIManager::cleanup()
{
    delete m_gui;
    m_gui = nullptr;
    m_app.reset();
}

// The manager answers on its own topic in order, so everything sent before
// the question has been handled once the answer is back.
bool TestGUIManager::settle()
{
    const int from = m_peer->size();
    m_peer->publish(Ui + QStringLiteral("/info/get"), QByteArray());
    return m_peer->waitFor(Ui + QStringLiteral("/info"), 5000, from);
}

void TestGUIManager::status(const QJsonObject& payload, const QString& screen)
{
    m_peer->publish(Blm + "/status", payload);
    QTRY_COMPARE(m_gui->screen(), screen);
}

void TestGUIManager::idleScreenFollowsValidatorStatus()
{
    start();
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-0042"));

    status(blmStatus(), QStringLiteral("ScanScreens"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/enable")));
    m_peer->publish(Blm + "/status", blmStatus(true, false));
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0005"));

    QVERIFY(m_peer->clear());
    status(blmStatus(false, true, true), QStringLiteral("OutOfService"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/disable")));

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
    m_peer->publish(Blm + "/status", validator);
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("Settings"));

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
        m_peer->publish(BoardBase + "/status", QJsonObject{{"service", true},
                                                           {"device", QJsonObject{{"active", true}, {"ignition", false}}}});
        QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScreenSaver"));
    }
    screens()->setLoginMillis(secondPress ? 60000 : 100);
    if (!whileTyping) {
        m_peer->publish(Blm + "/status", validator);
        QVERIFY(settle());
    }
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("Login"));
    if (whileTyping) {
        m_peer->publish(Blm + "/status", validator);
        QVERIFY(settle());
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
    m_peer->publish(BoardBase + "/power", QJsonObject{{"display", true}});
    m_peer->publish(Blm + "/status", first);
    if (minutes > 0) {
        QTRY_COMPARE(m_peer->count(set), 1);
        QCOMPARE(sent(set), off);
        m_peer->publish(BoardBase + "/power", off);
        m_peer->publish(Blm + "/status", second);
        QTRY_COMPARE(m_peer->count(set), 2);
        QCOMPARE(sent(set), off);
    }
    status(blmStatus(), QStringLiteral("ScanScreens"));
    QTRY_COMPARE(m_peer->count(set), minutes > 0 ? 3 : 0);
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
    m_peer->publish(QStringLiteral("kivo/network/ethernet/state"), QJsonObject{{"interface", interface}});
    QVERIFY(settle());
    QVERIFY(m_peer->clear());
    QSignalSpy applied(m_gui, &GUIManager::barcodeConfigurationApplied);
    m_peer->publish(Blm + "/barcode/maintenance/scanned", code);
    QVERIFY(settle());
    const QString ethernet = QStringLiteral("kivo/network/ethernet/config/set");
    QCOMPARE(m_peer->count(ethernet), ethernetSet.isEmpty() ? 0 : 1);
    if (!ethernetSet.isEmpty()) {
        QCOMPARE(sent(ethernet), ethernetSet);
        // The Ethernet page shows what was sent, not what the code carried.
        const auto* network = context<manager::Network>("network");
        QCOMPARE(network->ethernet()->config()->address(), ethernetSet.value("address").toString());
    }
    QCOMPARE(m_peer->count(Blm + "/config/set"), obcSet ? 1 : 0);
    QCOMPARE(applied.count(), ethernetSet.isEmpty() && !obcSet ? 0 : 1);
}

void TestGUIManager::deviceIdFile_data()
{
    QTest::addColumn<bool>("writableFolder");
    QTest::newRow("writable folder: the file is replaced whole") << true;
    QTest::newRow("read-only folder, writable file: written in place") << false;
}

// The serial number's file: saved atomically where the folder allows it,
// reloaded when the key changes.
void TestGUIManager::deviceIdFile()
{
    QFETCH(bool, writableFolder);
    start();
    const QString folder = QDir(m_app->path()).filePath(QStringLiteral("etc"));
    const QString path = folder + "/serialnumber";
    QVERIFY(QDir().mkpath(folder));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("SN-OLD\n");
    }
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6666)));
    m_config->set(QStringLiteral("gui/deviceId"), path);
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-OLD"));
    const ino_t before = inode(path);
    QVERIFY(QFile::setPermissions(m_app->path(), QFileDevice::Permissions(0x7755)));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(writableFolder ? 0x7777 : 0x5555)));
    QSignalSpy errors(m_gui, &GUIManager::errorOccured);
    {
        WriteAsNobody nobody;
        m_gui->setDeviceId(QStringLiteral("SN-2"));
    }
    QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
    // No temporary file left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"serialnumber"});
    QCOMPARE(errors.count(), 0);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("SN-2"));
    // Renamed over where it can be, so a failure never leaves half a number.
    QCOMPARE(inode(path) != before, writableFolder);
}

// One change set across the groups applies each of them; the new broker
// port brings one connection with one set of handlers and subscriptions.
void TestGUIManager::mixedConfigSetReconnectsOnce()
{
    syslogLines.clear();
    manager::Logger::setSyslogSink([](int, const QByteArray& line) { syslogLines << QString::fromUtf8(line); });
    start();
    TestBroker other;
    QVERIFY(other.start());
    MqttPeer watcher(other.port());
    QVERIFY(watcher.connectAndWait());
    QVERIFY(watcher.subscribeAndWait(QStringLiteral("#")));
    QSignalSpy anim(m_gui, &GUIManager::animSwitchSecChanged);
    m_peer->publish(Ui + "/config/set", QJsonObject{{"log", QJsonObject{{"syslog", true}}},
                                                    {"mqtt", QJsonObject{{"port", int(other.port())}}},
                                                    {"gui", QJsonObject{{"animSwitchSec", 4}}}});
    QVERIFY(watcher.waitFor(Ui + "/config", 8000));
    QCOMPARE(anim.count(), 1);

    // Each question is answered once, however often it reconnected.
    watcher.publish(Ui + "/status/get", QByteArray());
    watcher.publish(Ui + "/info/get", QByteArray());
    QVERIFY(watcher.waitFor(Ui + "/info", 5000, watcher.size()));
    QCOMPARE(watcher.count(Ui + "/info"), 2);
    QCOMPARE(watcher.count(Ui + "/status"), 2);
    manager::Logger::setSyslogSink(nullptr);
    for (const char* suffix : {"/info/get", "/status/get", "/config/get", "/config/set"})
        QCOMPARE(syslogLines.filter("Subscribing to '" + Ui + suffix + "'").size(), 1);
}

QTEST_MAIN(TestGUIManager)
#include "tst_GUIManager.moc"
