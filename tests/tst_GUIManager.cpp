#include "Common/Config.h"
#include "Common/logger.h"
#include "GUIManager.h"
#include "Model/IPv4.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"

#include "AppWindow.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QQmlContext>
#include <QSignalSpy>

#include <memory>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Blm = QStringLiteral("kivo/blm");
const QString BoardBase = QStringLiteral("kivo/board");
const QString Audio = QStringLiteral("kivo/inspector/audio/play");
const QString Ui = QStringLiteral("kivo/ui");

QJsonObject online()
{
    return QJsonObject{{"hasRfid", true}, {"hasRoute", true}, {"hasQr", true}, {"hasObu", true}};
}

// A validation-service status; readers report themselves as enabled when asked to.
QJsonObject blmStatus(const QJsonObject& state, bool readersOn = false)
{
    const QJsonObject device{
        {"rfid", QJsonObject{{"state", readersOn ? 2 : 1}, {"active", true}}},
        {"barcode", QJsonObject{{"enabled", readersOn}}},
    };
    return QJsonObject{{"service", true}, {"state", state}, {"device", device}};
}

QJsonObject ticket(bool valid, int denyReason = 0)
{
    return QJsonObject{{"transaction", QJsonObject{{"result", valid},
                                                   {"type", 1},
                                                   {"denyReason", QJsonObject{{"id", denyReason}}}}}};
}

QJsonObject boardStatus(bool ignition)
{
    return QJsonObject{{"service", true},
                       {"device", QJsonObject{{"active", true}, {"ignition", ignition}}}};
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
    WriteAsNobody() : m_root(geteuid() == 0)
    {
        if (m_root && seteuid(65534) != 0)
            m_root = false;
    }
    ~WriteAsNobody()
    {
        if (m_root && seteuid(0) != 0)
            qFatal("Could not return to root");
    }

private:
    bool m_root;
};

} // namespace

class TestGUIManager : public QObject
{
    Q_OBJECT
public:
    // The window's keyboard needs its input method, as the application sets it.
    static void initMain() { qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard")); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void idleScreenFollowsValidatorStatus();
    void resultScreensSoundsAndTimeouts();
    void maintenanceSessionFreezesPassengerScreens();
    void ignitionOffShutsDownAfterTheDelay();
    void boardDelayAndDisplayPower();
    void deviceIdFile();
    void configurationBarcodes_data();
    void configurationBarcodes();
    void deviceIdSaveInAnyFolder_data();
    void deviceIdSaveInAnyFolder();
    void mqttChangeReconnectsWithOneHandlerSet();
    void loadShowsTheMainDocument();

private:
    void start();
    bool settle();
    int audioCount(const QString& file) const;
    QString lastAudio() const;

    QString filePath(const QString& name) const;

    std::unique_ptr<AppWindow> m_app;
    Config* m_config = nullptr;
    GUIManager* m_gui = nullptr;
    MqttPeer* m_peer = nullptr;
    QString m_serial;
};

void TestGUIManager::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21"));
}

void TestGUIManager::init()
{
    m_app = std::make_unique<AppWindow>();
    // The display-off timer as it ships.
    const QString displayOff = QStringLiteral("gui/displayOffMin");
    QVERIFY(m_app->prepare(QStringLiteral("#"), {{displayOff, GUIManager::Defaults.value(displayOff)}}));
    m_config = m_app->config();
    m_peer = m_app->peer();
    m_serial = filePath(QStringLiteral("serialnumber"));
    QFile serial(m_serial);
    QVERIFY(serial.open(QIODevice::WriteOnly));
    serial.write("\n\n  SN-0042 \nignored\n");
}

QString TestGUIManager::filePath(const QString& name) const
{
    return QDir(m_app->path()).filePath(name);
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

int TestGUIManager::audioCount(const QString& file) const
{
    int count = 0;
    for (const MqttPeer::Message& m : m_peer->messages(Audio))
        count += QJsonDocument::fromJson(m.payload).object().value("filepath").toString() == file;
    return count;
}

QString TestGUIManager::lastAudio() const
{
    return m_peer->lastJson(Audio).value("filepath").toString();
}

void TestGUIManager::idleScreenFollowsValidatorStatus()
{
    start();
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-0042"));
    QCOMPARE(m_gui->screen(), QStringLiteral("Busy"));
    QCOMPARE(m_gui->message(), QStringLiteral("Connected"));

    m_peer->publish(Blm + "/status", blmStatus(QJsonObject{{"init", true}}));
    QTRY_COMPARE(m_gui->message(), QStringLiteral("Please Wait"));
    QCOMPARE(m_gui->screen(), QStringLiteral("Busy"));

    m_peer->publish(Blm + "/status", blmStatus(online()));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/enable")));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/barcode/enable")));

    QJsonObject degraded = online();
    degraded.insert("hasObu", false);
    m_peer->publish(Blm + "/status", blmStatus(degraded));
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0005"));

    QJsonObject noRoute = online();
    noRoute.insert("hasRoute", false);
    m_peer->clear();
    m_peer->publish(Blm + "/status", blmStatus(noRoute, true));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("OutOfService"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/disable")));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/barcode/disable")));

    // Any other state is out of order, with the code and, on demand, the text.
    m_peer->publish(Blm + "/status", QJsonObject{{"service", false}});
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("OutOfOrder"));
    QCOMPARE(m_gui->message(), QStringLiteral("#0002"));
    m_gui->setShowErrorDesc(true);
    QCOMPARE(m_gui->message(), QStringLiteral("#0002\nBLM service down"));
}

void TestGUIManager::resultScreensSoundsAndTimeouts()
{
    start();
    m_peer->publish(Blm + "/status", blmStatus(online()));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QSignalSpy screens(m_gui, &GUIManager::screenChanged);

    m_peer->publish(Blm + "/rfid/scanned", ticket(true));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("Valid"));
    QTRY_COMPARE(lastAudio(), QStringLiteral("/opt/kivo/quillon/Valid.wav"));
    const QVariantMap shown =
        m_gui->engine().rootContext()->contextProperty(QStringLiteral("transaction")).toMap();
    QCOMPARE(shown.value(QStringLiteral("valid")).toBool(), true);

    // A second result restarts the three seconds and is announced again.
    QTest::qWait(1500);
    m_peer->publish(Blm + "/barcode/scanned", ticket(true));
    QTRY_COMPARE(screens.count(), 2);
    QTest::qWait(2000);
    QCOMPARE(m_gui->screen(), QStringLiteral("Valid"));
    QTRY_COMPARE_WITH_TIMEOUT(m_gui->screen(), QStringLiteral("ScanScreens"), 3000);

    m_peer->publish(Blm + "/rfid/scanned", ticket(false, 207));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("AlreadyValid"));
    m_peer->publish(Blm + "/rfid/scanned", ticket(false, 101));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("Invalid"));
    m_peer->publish(Blm + "/rfid/retry", QJsonObject());
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("Retry"));
    QTRY_COMPARE(audioCount(QStringLiteral("/opt/kivo/quillon/Invalid.wav")), 3);
    QCOMPARE(audioCount(QStringLiteral("/opt/kivo/quillon/Valid.wav")), 2);
    QTRY_COMPARE_WITH_TIMEOUT(m_gui->screen(), QStringLiteral("ScanScreens"), 5000);
    // No LED request accompanies a result.
    QCOMPARE(m_peer->count(BoardBase + "/led/play/request/1"), 0);
}

void TestGUIManager::maintenanceSessionFreezesPassengerScreens()
{
    start();
    m_peer->publish(Blm + "/status", blmStatus(online()));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));

    // The hidden button opens the PIN page and a second press leaves it.
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("Login"));
    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));

    m_gui->setMaintenanceScreen();
    QSignalSpy granted(m_gui, &GUIManager::settingsAccessGranted);
    m_gui->settingsLoginRequest(QStringLiteral("7315"));
    QCOMPARE(granted.count(), 1);
    m_gui->setScreen(QStringLiteral("Settings"));
    QTRY_VERIFY(m_peer->lastJson(Ui + "/status").value("technician").toBool());
    QCOMPARE(m_gui->eventLog().events().last()->name(), QStringLiteral("Maintenance login"));

    m_peer->publish(Blm + "/rfid/scanned", ticket(false, 101));
    m_peer->publish(Blm + "/status", QJsonObject{{"service", false}});
    QVERIFY(settle());
    QCOMPARE(m_gui->screen(), QStringLiteral("Settings"));
    QCOMPARE(m_peer->count(Audio), 0);
    const QVariantMap shown =
        m_gui->engine().rootContext()->contextProperty(QStringLiteral("transaction")).toMap();
    QCOMPARE(shown.value(QStringLiteral("valid")).toBool(), false);

    m_gui->setMaintenanceScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("Settings"));

    const int from = m_peer->size();
    m_gui->settingsLogoutRequest();
    QVERIFY(m_peer->waitFor(Ui + "/status", 5000, from));
    QCOMPARE(m_peer->lastJson(Ui + "/status").value("technician").toBool(), false);
    QCOMPARE(m_gui->screen(), QStringLiteral("OutOfOrder"));
    QCOMPARE(m_gui->eventLog().events().last()->name(), QStringLiteral("Maintenance logout"));
}

void TestGUIManager::ignitionOffShutsDownAfterTheDelay()
{
    m_config->set(QStringLiteral("gui/shutdownDelaySec"), 1);
    start();
    m_peer->publish(Blm + "/status", blmStatus(online()));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    m_gui->settingsLoginRequest(QStringLiteral("7315"));

    QElapsedTimer clock;
    clock.start();
    m_peer->publish(BoardBase + "/status", boardStatus(false));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScreenSaver"));
    QVERIFY(!m_gui->session().sessionActive());
    QStringList names;
    for (const Event* event : m_gui->eventLog().events())
        names << event->name();
    QVERIFY(names.mid(names.size() - 2).contains(QStringLiteral("Ignition off")));
    QVERIFY(names.mid(names.size() - 2).contains(QStringLiteral("Maintenance logout")));
    // Out of order is not shown while the ignition is off.
    m_gui->setOutOfOrderScreen(QStringLiteral("x"));
    QCOMPARE(m_gui->screen(), QStringLiteral("ScreenSaver"));

    const QString request = QStringLiteral("kivo/inspector/power/shutdown/request/1");
    QVERIFY(m_peer->waitFor(request, 6000));
    QVERIFY(clock.elapsed() >= 2900);

    // Ignition on again: event and idle screen.
    m_peer->publish(BoardBase + "/status", boardStatus(true));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QCOMPARE(m_gui->eventLog().events().last()->name(), QStringLiteral("Ignition on"));
}

void TestGUIManager::boardDelayAndDisplayPower()
{
    start();
    m_peer->publish(BoardBase + "/config", QJsonObject{{"device", QJsonObject{{"delayShutdownFor", 100}}}});
    QVERIFY(m_peer->waitFor(BoardBase + "/config/set"));
    QCOMPARE(m_peer->lastJson(BoardBase + "/config/set"),
             QJsonObject({{"device", QJsonObject{{"delayShutdownFor", 120}}}}));

    // Out of order starts the display-off countdown; the next screen stops it
    // and switches the display back on.
    m_peer->publish(BoardBase + "/power", QJsonObject{{"display", false}});
    m_peer->publish(Blm + "/status", QJsonObject{{"service", false}});
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("OutOfOrder"));
    QVERIFY(m_gui->isDisplayOffTimerActive());
    m_peer->publish(Blm + "/status", blmStatus(online()));
    QTRY_COMPARE(m_gui->screen(), QStringLiteral("ScanScreens"));
    QVERIFY(!m_gui->isDisplayOffTimerActive());
    QVERIFY(m_peer->waitFor(BoardBase + "/power/set"));
    QCOMPARE(m_peer->lastJson(BoardBase + "/power/set"), QJsonObject({{"display", true}}));

    // A changed shutdown delay follows on the board.
    const int from = m_peer->size();
    m_gui->setShutdownDelaySec(30);
    QVERIFY(m_peer->waitFor(BoardBase + "/config/set", 5000, from));
    QCOMPARE(m_peer->lastJson(BoardBase + "/config/set"),
             QJsonObject({{"device", QJsonObject{{"delayShutdownFor", 90}}}}));
}

void TestGUIManager::deviceIdFile()
{
    QFile::remove(m_serial);
    start();
    QVERIFY(m_gui->deviceId().isEmpty());
    m_gui->settingsLoginRequest(QStringLiteral("7315"));
    m_gui->setIdleScreen();
    QCOMPARE(m_gui->screen(), QStringLiteral("InitPage"));

    m_gui->saveDeviceIdRequest(QStringLiteral("SN-7"));
    QFile saved(m_serial);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("SN-7"));
    saved.close();

    // A failed save reports the error and leaves nothing behind: here the
    // key names a folder, which cannot be replaced by a file.
    QSignalSpy errors(m_gui, &GUIManager::errorOccured);
    const QString blocked = filePath(QStringLiteral("serialdir"));
    QVERIFY(QDir().mkdir(blocked));
    m_config->set(QStringLiteral("gui/deviceId"), blocked);
    const QStringList before = QDir(m_app->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    m_gui->setDeviceId(QStringLiteral("SN-8"));
    QCOMPARE(errors.count(), 1);
    QVERIFY(!errors.first().first().toString().isEmpty());
    QVERIFY(QFileInfo(blocked).isDir());
    QCOMPARE(QDir(m_app->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    // Pointing the key back reloads the number from that file.
    m_config->set(QStringLiteral("gui/deviceId"), m_serial);
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-7"));
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
    const QJsonObject sentManual{{"interface", "eth0"}, {"method", "manual"}, {"address", "10.2.0.9"},
                                 {"netmask", "255.255.0.0"}, {"gateway", "10.2.0.1"}, {"dns0", "10.2.0.2"},
                                 {"dns1", "10.2.0.3"}};
    const QJsonObject cleared{{"interface", "eth0"}, {"method", "auto"}, {"address", ""}, {"netmask", ""},
                              {"gateway", ""}, {"dns0", ""}, {"dns1", ""}};
    QTest::newRow("manual") << true << "eth0" << QJsonObject{{"network", network}} << sentManual << false;
    QTest::newRow("other method clears the addresses")
        << true << "eth0" << QJsonObject{{"network", QJsonObject{{"eth0", dhcp}}}} << cleared << false;
    QTest::newRow("interface not eth0") << true << "eth1" << QJsonObject{{"network", network}} << QJsonObject()
                                        << false;
    QTest::newRow("bad OBC, network still applied")
        << true << "eth0" << QJsonObject{{"validator", QJsonObject{{"obc", "mqtt://[bad"}}}, {"network", network}}
        << sentManual << false;
    QTest::newRow("OBC") << true << "eth0" << QJsonObject{{"validator", QJsonObject{{"obc", "mqtt://10.2.0.5:1"}}}}
                         << QJsonObject() << true;
    QTest::newRow("outside a session")
        << false << "eth0" << QJsonObject{{"validator", QJsonObject{{"obc", "mqtt://10.2.0.5:1"}}}, {"network", network}}
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
        m_gui->settingsLoginRequest(QStringLiteral("7315"));
    m_peer->publish(QStringLiteral("kivo/network/ethernet/state"), QJsonObject{{"interface", interface}});
    QVERIFY(settle());
    m_peer->clear();
    QSignalSpy applied(m_gui, &GUIManager::barcodeConfigurationApplied);
    m_peer->publish(Blm + "/barcode/maintenance/scanned", code);
    QVERIFY(settle());
    const QString ethernet = QStringLiteral("kivo/network/ethernet/config/set");
    QCOMPARE(m_peer->count(ethernet), ethernetSet.isEmpty() ? 0 : 1);
    if (!ethernetSet.isEmpty()) {
        QCOMPARE(m_peer->lastJson(ethernet), ethernetSet);
        // The Ethernet page's fields show what was sent.
        auto* network = qobject_cast<manager::Network*>(
            m_gui->engine().rootContext()->contextProperty(QStringLiteral("network")).value<QObject*>());
        QVariantMap fields = ethernetSet.toVariantMap();
        fields.remove(QStringLiteral("interface"));
        fields.remove(QStringLiteral("method"));
        QCOMPARE(network->ethernet()->config()->toMap(), fields);
    }
    QCOMPARE(m_peer->count(Blm + "/config/set"), obcSet ? 1 : 0);
    QCOMPARE(applied.count(), ethernetSet.isEmpty() && !obcSet ? 0 : 1);
}

void TestGUIManager::deviceIdSaveInAnyFolder_data()
{
    QTest::addColumn<bool>("folderWritable");
    QTest::newRow("writable folder: the file is replaced whole") << true;
    QTest::newRow("read-only folder, writable file: written in place") << false;
}

void TestGUIManager::deviceIdSaveInAnyFolder()
{
    QFETCH(bool, folderWritable);
    const QFileDevice::Permissions all = QFileDevice::Permissions(0x7777);
    const QFileDevice::Permissions readable = QFileDevice::Permissions(0x5555);
    const QFileDevice::Permissions writable = QFileDevice::Permissions(0x6666);
    QVERIFY(QFile::setPermissions(m_app->path(), readable | QFileDevice::WriteOwner));
    const QString folder = filePath(QStringLiteral("etc"));
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/serialnumber");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("SN-OLD-0001");
    old.close();
    QVERIFY(QFile::setPermissions(path, writable));
    start();
    m_config->set(QStringLiteral("gui/deviceId"), path);
    QCOMPARE(m_gui->deviceId(), QStringLiteral("SN-OLD-0001"));

    const ino_t before = inode(path);
    QVERIFY(QFile::setPermissions(folder, folderWritable ? all : readable));
    QSignalSpy errors(m_gui, &GUIManager::errorOccured);
    {
        WriteAsNobody nobody;
        m_gui->setDeviceId(QStringLiteral("SN-2"));
    }
    QVERIFY(QFile::setPermissions(folder, all));
    QCOMPARE(errors.count(), 0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("SN-2"));
    // Renamed over where it can be, so a failure never leaves half a number.
    QCOMPARE(inode(path) != before, folderWritable);
}

namespace {

QStringList syslogLines;

void collectSyslog(int, const QByteArray& line)
{
    syslogLines.append(QString::fromUtf8(line));
}

int linesWith(const QString& part)
{
    int n = 0;
    for (const QString& line : qAsConst(syslogLines))
        n += line.contains(part) ? 1 : 0;
    return n;
}

} // namespace

void TestGUIManager::mqttChangeReconnectsWithOneHandlerSet()
{
    syslogLines.clear();
    manager::Logger::setSyslogSink(collectSyslog);
    m_config->set(QStringLiteral("log/syslog"), true);
    start();
    // A new broker port re-runs the connection with one set of handlers.
    TestBroker other;
    QVERIFY(other.start());
    MqttPeer watcher(other.port());
    QVERIFY(watcher.connectAndWait());
    QVERIFY(watcher.subscribeAndWait(QStringLiteral("#")));
    m_config->set(QStringLiteral("mqtt/port"), int(other.port()));
    QVERIFY(watcher.waitFor(Ui + "/config", 8000));
    QTest::qWait(300);
    QCOMPARE(watcher.count(Ui + "/info"), 1);
    QCOMPARE(watcher.count(Ui + "/status"), 1);
    watcher.publish(Ui + "/status/get", QByteArray());
    QVERIFY(watcher.waitFor(Ui + "/status", 5000, watcher.size()));
    QTest::qWait(300);
    QCOMPARE(watcher.count(Ui + "/status"), 2);

    // One subscription per topic and connection, however often it reconnects.
    manager::Logger::setSyslogSink(nullptr);
    for (const char* suffix : {"/info/get", "/status/get", "/config/get", "/config/set"})
        QCOMPARE(linesWith("Subscribing to '" + Ui + suffix + "'"), 2);
}

void TestGUIManager::loadShowsTheMainDocument()
{
    start();
    m_gui->load();
    QCOMPARE(m_gui->engine().rootObjects().size(), 1);
    QCOMPARE(m_gui->language(), QStringLiteral("el_GR"));
    QCOMPARE(m_gui->eventLog().events().last()->name(), QStringLiteral("Application started"));

    // Back to English and to Greek again without reloading the translation.
    m_gui->setLanguage(QStringLiteral("en_IE"));
    QCOMPARE(m_config->get(QStringLiteral("gui/locale")).toString(), QStringLiteral("en_IE"));
    m_gui->setLanguage(QStringLiteral("el_GR"));
    QCOMPARE(m_gui->language(), QStringLiteral("el_GR"));
}

QTEST_MAIN(TestGUIManager)
#include "tst_GUIManager.moc"
