#include "Common/Config.h"
#include "Common/logger.h"
#include "GUIManager.h"

#include "AppWindow.h"
#include "LogCapture.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QQmlContext>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Blm = QStringLiteral("kivo/blm");
const QString BoardBase = QStringLiteral("kivo/board");
const QString Ui = QStringLiteral("kivo/ui");
const QString Audio = QStringLiteral("kivo/inspector/audio/play");
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

QJsonObject ticket(bool valid, int denyReason = 0)
{
    return QJsonObject{{"transaction", QJsonObject{{"result", valid}, {"type", 1},
                                                   {"denyReason", QJsonObject{{"id", denyReason}}}}}};
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
    explicit WriteAsNobody(bool wanted) : m_root(wanted && geteuid() == 0 && seteuid(65534) == 0) {}
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
    void brokerOutOfReach();
    void idleScreenFollowsValidatorStatus();
    void resultScreensAndSounds();
    void maintenanceSession_data();
    void maintenanceSession();
    void ignitionOffAndOn();
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
    QString lastEvent() const;
    QJsonObject sent(const QString& topic) const { return m_peer->lastJson(topic); }

    std::unique_ptr<AppWindow> m_app;
    Config* m_config = nullptr;
    GUIManager* m_gui = nullptr;
    MqttPeer* m_peer = nullptr;
    QString m_serial;
};

void TestGUIManager::init()
{
    m_app = std::make_unique<AppWindow>();
    // The display-off timer as it ships.
    const QString displayOff = QStringLiteral("gui/displayOffMin");
    QVERIFY(m_app->prepare(QStringLiteral("#"), {{displayOff, GUIManager::Defaults.value(displayOff)}}));
    m_config = m_app->config();
    m_peer = m_app->peer();
    m_serial = QDir(m_app->path()).filePath(QStringLiteral("serialnumber"));
    QFile serial(m_serial);
    QVERIFY(serial.open(QIODevice::WriteOnly));
    serial.write("\n\n  SN-0042 \nignored\n");
}

void TestGUIManager::start()
{
    m_gui = new GUIManager(*m_config);
    QVERIFY(m_peer->waitFor(Ui + QStringLiteral("/config")));
    QVERIFY(settle());
    m_peer->clear();
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

QString TestGUIManager::lastEvent() const
{
    return m_gui->eventLog().events().last()->name();
}

// A failed first connection shows out of order.
void TestGUIManager::brokerOutOfReach()
{
    m_config->set(QStringLiteral("mqtt/port"), TestBroker::freePort());
    m_gui = new GUIManager(*m_config);
    QCOMPARE(m_gui->message(), QStringLiteral("Connecting"));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("OutOfOrder"));
    QCOMPARE(m_gui->message(), QStringLiteral("Disconnected"));
}

void TestGUIManager::idleScreenFollowsValidatorStatus()
{
    start();
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-0042"));
    QCOMPARE(m_gui->screen(), QStringLiteral("Busy"));
    QCOMPARE(m_gui->message(), QStringLiteral("Connected"));
    m_peer->publish(Blm + "/status", QJsonObject{{"service", true}, {"state", QJsonObject{{"init", true}}}});
    QTRY_COMPARE(m_gui->message(), QStringLiteral("Please Wait"));
    QCOMPARE(m_gui->screen(), QStringLiteral("Busy"));

    status(blmStatus(), QStringLiteral("ScanScreens"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/enable")));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/barcode/enable")));
    m_peer->publish(Blm + "/status", blmStatus(true, false));
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0005"));

    m_peer->clear();
    status(blmStatus(false, true, true), QStringLiteral("OutOfService"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/disable")));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/barcode/disable")));

    // Any other state is out of order, with the code and, on demand, the text.
    status(Down, QStringLiteral("OutOfOrder"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0002"));
    m_gui->setShowErrorDesc(true);
    QCOMPARE(m_gui->message(), QStringLiteral("#0002\nBLM service down"));
    // The shipped display-off interval: three minutes (a coarse timer).
    QVERIFY(qAbs(m_gui->displayOffRemainingMillis() - 180000) < 10000);
}

void TestGUIManager::resultScreensAndSounds()
{
    start();
    status(blmStatus(), QStringLiteral("ScanScreens"));
    m_peer->publish(Blm + "/rfid/scanned", ticket(true));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("Valid"));
    QVERIFY(m_gui->engine().rootContext()->contextProperty("transaction").toMap().value("valid").toBool());

    // A second result restarts the three seconds and is announced again.
    QTest::qWait(1000);
    QElapsedTimer second;
    second.start();
    m_peer->publish(Blm + "/barcode/scanned", ticket(true));
    QTRY_VERIFY(m_peer->count(Audio) == 2);
    QTRY_COMPARE_WITH_TIMEOUT(m_gui->screen(), QStringLiteral("ScanScreens"), 6000);
    QVERIFY(second.elapsed() >= 2500);

    const QPair<QJsonObject, QString> results[] = {
        {ticket(false, 207), "AlreadyValid"}, {ticket(false, 101), "Invalid"}, {QJsonObject(), "Retry"}};
    for (const auto& result : results) {
        m_peer->publish(Blm + (result.first.isEmpty() ? "/rfid/retry" : "/rfid/scanned"), result.first);
        QTRY_COMPARE(m_gui->screen(), result.second);
    }
    QStringList sounds;
    QTRY_COMPARE(m_peer->count(Audio), 5);
    for (const MqttPeer::Message& m : m_peer->messages(Audio))
        sounds << QJsonDocument::fromJson(m.payload).object().value("filepath").toString().section('/', -1);
    QCOMPARE(sounds, QString("Valid.wav Valid.wav Invalid.wav Invalid.wav Invalid.wav").split(' '));
    // No LED request accompanies a result.
    QCOMPARE(m_peer->count(BoardBase + "/led/play/request/1"), 0);
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

// Passenger events wait while the menu is in use; a logout or the session's
// expiry hands the screen back to the idle decision.
void TestGUIManager::maintenanceSession()
{
    QFETCH(QJsonObject, validator);
    QFETCH(bool, expires);
    QFETCH(QString, idle);
    start();
    status(blmStatus(), QStringLiteral("ScanScreens"));

    // The hidden button opens the PIN page and a second press leaves it;
    // out of order never takes it away.
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("Login"));
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    m_gui->setMaintenanceScreen();
    m_peer->publish(Blm + "/status", Down);
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("Login"));
    QSignalSpy granted(m_gui, &GUIManager::settingsAccessGranted);
    m_gui->settingsLoginRequest(Pin);
    QCOMPARE(granted.count(), 1);
    m_gui->setScreen(QStringLiteral("Settings"));
    QTRY_VERIFY(sent(Ui + "/status").value("technician").toBool());
    QCOMPARE(lastEvent(), QStringLiteral("Maintenance login"));

    m_peer->publish(Blm + "/rfid/scanned", ticket(false, 101));
    m_peer->publish(Blm + "/status", validator);
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("Settings"));
    QCOMPARE(m_peer->count(Audio), 0);
    QVERIFY(!m_gui->engine().rootContext()->contextProperty("transaction").toMap().value("valid").toBool());
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("Settings"));

    // Activity restarts the session's time, here shortened to 50 ms.
    m_gui->session().setSessionMillis(50);
    if (expires)
        m_gui->session().resetTimer();
    else
        m_gui->settingsLogoutRequest();
    QTRY_COMPARE(m_gui->screen(), idle);
    QVERIFY(!m_gui->session().sessionActive());
    QTRY_VERIFY(!sent(Ui + "/status").value("technician").toBool());
    QCOMPARE(lastEvent(), QStringLiteral("Maintenance logout"));
}

void TestGUIManager::ignitionOffAndOn()
{
    m_config->set(QStringLiteral("gui/shutdownDelaySec"), 7);
    start();
    LogCapture log;
    // The board waits a minute longer than the application before it cuts the power.
    m_peer->publish(BoardBase + "/config", QJsonObject{{"device", QJsonObject{{"delayShutdownFor", 100}}}});
    QVERIFY(m_peer->waitFor(BoardBase + "/config/set"));
    QCOMPARE(sent(BoardBase + "/config/set"), QJsonObject({{"device", QJsonObject{{"delayShutdownFor", 67}}}}));
    const int from = m_peer->size();
    m_gui->setShutdownDelaySec(30);
    QCOMPARE(m_peer->waitJson(BoardBase + "/config/set", from), QJsonObject({{"device", QJsonObject{{"delayShutdownFor", 90}}}}));
    status(blmStatus(), QStringLiteral("ScanScreens"));
    m_gui->settingsLoginRequest(Pin);

    const auto board = [](bool ignition) {
        return QJsonObject{{"service", true}, {"device", QJsonObject{{"active", true}, {"ignition", ignition}}}};
    };
    m_peer->publish(BoardBase + "/status", board(false));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScreenSaver"));
    QVERIFY(!m_gui->session().sessionActive());
    QVERIFY(log.contains(QStringLiteral("[Inspector] Scheduling System shutdown in : 30 sec(s)")));
    const QList<Event*> events = m_gui->eventLog().events();
    QCOMPARE(events.at(events.size() - 2)->name() + ", " + events.last()->name(),
             QStringLiteral("Ignition off, Maintenance logout"));
    // Out of order is not shown while the ignition is off.
    m_gui->setOutOfOrderScreen(QStringLiteral("x"));
    QCOMPARE(m_gui->screen(), QStringLiteral("ScreenSaver"));

    // Ignition on again: the shutdown is called off, back to the idle screen.
    m_peer->publish(BoardBase + "/status", board(true));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QVERIFY(log.contains(QStringLiteral("[Inspector] Aborting System shutdown")));
    QCOMPARE(lastEvent(), QStringLiteral("Ignition on"));
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
    m_gui->setDisplayOffMinuteMillis(150);
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
    QCOMPARE(m_gui->displayOffRemainingMillis(), -1);
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
    QTest::newRow("manual") << true << "eth0" << QJsonObject{{"network", network}} << sentManual << false;
    QTest::newRow("other method clears the addresses")
        << true << "eth0" << QJsonObject{{"network", QJsonObject{{"eth0", dhcp}}}} << cleared << false;
    QTest::newRow("interface not eth0") << true << "eth1" << QJsonObject{{"network", network}} << QJsonObject()
                                        << false;
    QTest::newRow("bad OBC, network still applied")
        << true << "eth0" << QJsonObject{{"validator", QJsonObject{{"obc", "mqtt://[bad"}}}, {"network", network}}
        << sentManual << false;
    QTest::newRow("OBC") << true << "eth0" << QJsonObject{{"validator", obc}} << QJsonObject() << true;
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
    m_peer->clear();
    QSignalSpy applied(m_gui, &GUIManager::barcodeConfigurationApplied);
    m_peer->publish(Blm + "/barcode/maintenance/scanned", code);
    QVERIFY(settle());
    const QString ethernet = QStringLiteral("kivo/network/ethernet/config/set");
    QCOMPARE(m_peer->count(ethernet), ethernetSet.isEmpty() ? 0 : 1);
    if (!ethernetSet.isEmpty())
        QCOMPARE(sent(ethernet), ethernetSet);
    QCOMPARE(m_peer->count(Blm + "/config/set"), obcSet ? 1 : 0);
    QCOMPARE(applied.count(), ethernetSet.isEmpty() && !obcSet ? 0 : 1);
}

void TestGUIManager::deviceIdFile_data()
{
    QTest::addColumn<QString>("folderMode");
    QTest::newRow("writable folder: the file is replaced whole") << "writable";
    QTest::newRow("read-only folder, writable file: written in place") << "read-only";
    QTest::newRow("the key names a folder: an error, nothing left behind") << "folder";
}

// The serial number's file: missing at start (first-start page), saved
// atomically where the folder allows it, reloaded when the key changes.
void TestGUIManager::deviceIdFile()
{
    QFETCH(QString, folderMode);
    QFile::remove(m_serial);
    start();
    QVERIFY(m_gui->deviceId().isEmpty());
    m_gui->settingsLoginRequest(Pin);
    m_gui->setIdleScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("InitPage"));
    m_gui->saveDeviceIdRequest(QStringLiteral("SN-OLD"));

    const bool folderKey = folderMode == "folder";
    const QString folder = QDir(m_app->path()).filePath(QStringLiteral("etc"));
    const QString path = folder + (folderKey ? "" : "/serialnumber");
    QVERIFY(QDir().mkpath(folder));
    if (!folderKey) {
        QVERIFY(QFile::copy(m_serial, path));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6666)));
    }
    m_config->set(QStringLiteral("gui/deviceId"), path);
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-OLD"));
    const ino_t before = inode(path);
    const QDir parent = QFileInfo(path).dir();
    const QStringList entries = parent.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QVERIFY(QFile::setPermissions(m_app->path(), QFileDevice::Permissions(0x7755)));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(folderMode == "writable" ? 0x7777 : 0x5555)));
    QSignalSpy errors(m_gui, &GUIManager::errorOccured);
    {
        WriteAsNobody nobody(!folderKey);
        m_gui->setDeviceId(QStringLiteral("SN-2"));
    }
    QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
    QCOMPARE(parent.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entries);
    QCOMPARE(errors.count(), folderKey ? 1 : 0);
    if (folderKey)
        return;
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("SN-2"));
    // Renamed over where it can be, so a failure never leaves half a number.
    QCOMPARE(inode(path) != before, folderMode == "writable");
    m_config->set(QStringLiteral("gui/deviceId"), m_serial);
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-OLD"));
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
    QSettings stored(m_app->path() + QStringLiteral("/gui.conf"), QSettings::IniFormat);
    QCOMPARE(stored.value("log/syslog").toBool(), true);
    QCOMPARE(stored.value("mqtt/port").toInt(), int(other.port()));
    QCOMPARE(stored.value("gui/animSwitchSec").toInt(), 4);

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
