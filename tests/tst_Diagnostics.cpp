#include "Common/MqttClient.h"
#include "Common/QrCodeGenerator.h"
#include "Diagnostics.h"
#include "Peripheral/Board.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include "LogCapture.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using manager::MqttClient;

namespace {

const QString BoardBase = QStringLiteral("kivo/board");
const QString NetworkBase = QStringLiteral("kivo/network");
const QString BlmBase = QStringLiteral("kivo/blm");

// A pseudo-terminal whose far side echoes (a loopback plug, "PIPE"), talks
// on its own (a command) or, when none is given, is left unread (nothing
// connected).
class Pty
{
public:
    bool start(const QString& link, const QString& farSide = QString())
    {
        m_link = link;
        const QString near = QStringLiteral("pty,raw,echo=0,link=") + link;
        const QString far = farSide.isEmpty() ? near + QStringLiteral(".far") : farSide;
        m_socat.start(QStringLiteral("socat"), {near, far});
        return m_socat.waitForStarted(3000)
            && QTest::qWaitFor([&] { return QFile::exists(link); }, 3000);
    }
    ~Pty()
    {
        m_socat.terminate();
        m_socat.waitForFinished(3000);
    }
    // Descriptors of this process open on the terminal.
    int openCount() const
    {
        const QString target = QFileInfo(m_link).canonicalFilePath();
        int n = 0;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
            n += fd.symLinkTarget() == target ? 1 : 0;
        return n;
    }

private:
    QString m_link;
    QProcess m_socat;
};

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

void addUsb(const QString& root, const QString& port, const QByteArray& vendor,
            const QByteArray& product)
{
    const QString dir = root + QLatin1Char('/') + port;
    QVERIFY(QDir().mkpath(dir));
    if (!vendor.isNull())
        writeFile(dir + QStringLiteral("/idVendor"), vendor);
    if (!product.isNull())
        writeFile(dir + QStringLiteral("/idProduct"), product);
    writeFile(dir + QStringLiteral("/product"), "Some device\n");
}

QJsonObject boardStatus(const QJsonObject& overrides)
{
    QJsonObject device{{"active", true}, {"ignition", true}, {"poleId", "0000000000000042"},
                       {"temperature", 40.5}, {"voltage", 24.0}, {"uptime", 10},
                       {"hardwareStatus", QJsonObject{{"rtcFailed", false}}}};
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        device.insert(it.key(), it.value());
    return QJsonObject{{"service", true}, {"device", device}};
}

QJsonObject blmStatus(bool rfidActive, const QJsonArray& sams)
{
    const QJsonObject rfid{{"active", rfidActive}, {"state", 2}, {"sams", sams}};
    return QJsonObject{{"service", true},
                       {"device", QJsonObject{{"rfid", rfid},
                                              {"barcode", QJsonObject{{"active", true}}}}},
                       {"state", QJsonObject{{"hasRfid", true}, {"hasRoute", true}, {"hasQr", true},
                                             {"hasObu", true}}}};
}

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void usbRows_data();
    void usbRows();
    void checksOnTimerAndSignalsOnlyChanges();
    void serialLoopback();
    void portList();
    void boardBounds_data();
    void boardBounds();
    void poleId_data();
    void poleId();
    void samRules_data();
    void samRules();
    void linkClockAndServicesRelayed();
    void reportFileByteForByte();
    void reportSaveFailures();
    void qrCarriesTheFields();

private:
    bool connectBus();
    void publish(const QString& topic, const QJsonObject& payload);
    QString saveAndWait(bool* ok);
    QString expectedQr(const QDateTime& at) const;

    TestBroker m_broker;
    MqttClient* m_mqtt = nullptr;
    manager::Board* m_board = nullptr;
    manager::Network* m_network = nullptr;
    manager::Validator* m_validator = nullptr;
    MqttPeer* m_peer = nullptr;
    Diagnostics* m_diag = nullptr;
    QTemporaryDir* m_dir = nullptr;
    QString m_deviceId = QStringLiteral("0123456789ABCDEF");
};

void TestDiagnostics::initTestCase()
{
    QVERIFY(m_broker.start());
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21"));
}

void TestDiagnostics::cleanupTestCase()
{
    m_broker.stop();
}

void TestDiagnostics::init()
{
    m_mqtt = new MqttClient;
    m_mqtt->setHostname(m_broker.host());
    m_mqtt->setPort(m_broker.port());
    m_board = new manager::Board(*m_mqtt, BoardBase);
    m_network = new manager::Network(*m_mqtt, NetworkBase);
    m_validator = new manager::Validator(*m_mqtt, BlmBase);
    m_dir = new QTemporaryDir;
    m_diag = new Diagnostics(m_deviceId, *m_board, *m_network, *m_validator);
    m_diag->setSysfsRoot(m_dir->filePath(QStringLiteral("usb")));
    m_diag->setSdCardPath(m_dir->filePath(QStringLiteral("mmcblk1p1")));
    m_diag->setVirtualPortPath(m_dir->filePath(QStringLiteral("vcom")));
}

void TestDiagnostics::cleanup()
{
    delete m_diag;
    delete m_peer;
    m_peer = nullptr;
    delete m_validator;
    delete m_network;
    delete m_board;
    delete m_mqtt;
    delete m_dir;
}

// Only the cases that feed the managers connect; the checks of files, USB
// and serial ports have no use for the bus.
bool TestDiagnostics::connectBus()
{
    QSignalSpy connected(m_mqtt, &MqttClient::connected);
    m_mqtt->connect();
    if (!connected.wait(5000))
        return false;
    m_peer = new MqttPeer(m_broker.port());
    if (!m_peer->connectAndWait())
        return false;
    // Connected is not subscribed: wait until the last topic subscribed comes
    // through, or the first messages of a case can beat the subscriptions.
    QSignalSpy card(m_validator, &manager::Validator::cardDetected);
    return QTest::qWaitFor(
        [&] {
            m_peer->publish(QStringLiteral("kivo/rfid/card/found"), QJsonObject{{"type", 4}, {"uid", "PROBE"}});
            return card.wait(200);
        },
        5000);
}

// Returns once the managers have handled the message: a retry notice sent
// after it has come back through the same client.
void TestDiagnostics::publish(const QString& topic, const QJsonObject& payload)
{
    if (!m_peer)
        QVERIFY(connectBus());
    QSignalSpy retry(m_validator, &manager::Validator::cardRetry);
    QVERIFY(m_peer->publish(topic, payload));
    QVERIFY(m_peer->publish(BlmBase + QStringLiteral("/rfid/retry"), QByteArray()));
    QVERIFY(retry.wait(3000));
}

void TestDiagnostics::usbRows_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QByteArray>("vendor");
    QTest::addColumn<QByteArray>("product");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");
    const QByteArray none;
    const auto row = [](const char* name, const char* port, const QByteArray& vendor,
                        const QByteArray& product, const char* property, const char* expected) {
        QTest::newRow(name) << QString(port) << vendor << product << QString(property)
                            << QString(expected);
    };
    row("rfid expected", "1-1.3", "0ab1\n", "0007\n", "rfidUsb", "OK");
    row("rfid other product", "1-1.3", "0ab1", "0008", "rfidUsb", "ERROR");
    row("rfid unreadable", "1-1.3", none, none, "rfidUsb", "ERROR");
    row("rfid absent", "", none, none, "rfidUsb", "MISSING");
    row("touch is case-sensitive", "1-1.7", "222A", "0001", "touch", "ERROR");
    row("ftdi stops at nul", "1-1.5", "0403\n", QByteArray("6015\0x", 6), "ftdi", "OK");
    row("hub", "1-1", "0451", "2077", "usbHub", "OK");
    row("mpcie any device", "1-1.2", "1234", "abcd", "mPCIe1", "OK");
    row("mpcie unreadable", "1-1.2", none, none, "mPCIe1", "OK");
    row("mpcie absent", "", none, none, "mPCIe1", "MISSING");
    row("usb host any device", "1-1.4", "ffff", "0000", "usbHost", "OK");
    row("barcode any device", "1-1.6", "05e0", "1200", "barcodeUsb", "OK");
    row("barcode absent", "", none, none, "barcodeUsb", "MISSING");
}

void TestDiagnostics::usbRows()
{
    QFETCH(QString, port);
    QFETCH(QByteArray, vendor);
    QFETCH(QByteArray, product);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    const QString root = m_dir->filePath(QStringLiteral("usb"));
    QVERIFY(QDir().mkpath(root));
    if (!port.isEmpty())
        addUsb(root, port, vendor, product);

    LogCapture log;
    m_diag->start();
    m_diag->stop();
    QCOMPARE(m_diag->property(qPrintable(property)).toString(), expected);
    const QString unreadable = root + QLatin1Char('/') + port + QStringLiteral("/idVendor");
    if (vendor.isNull() && !port.isEmpty())
        QVERIFY(log.contains(QtCriticalMsg,
                             QStringLiteral("[Diagnostics] ERROR: Failed to open fle : ") + unreadable));
}

void TestDiagnostics::checksOnTimerAndSignalsOnlyChanges()
{
    const QString root = m_dir->filePath(QStringLiteral("usb"));
    addUsb(root, QStringLiteral("1-1"), "0451", "2077");
    QSignalSpy hub(m_diag, &Diagnostics::usbHubChanged);
    QSignalSpy sd(m_diag, &Diagnostics::sdCardChanged);
    QSignalSpy serial(m_diag, &Diagnostics::serialPortTestChanged);
    LogCapture log;

    m_diag->start();
    QVERIFY(log.contains(QtInfoMsg,
                         QStringLiteral("[Diagnostics] Starting Diagnostic check (interval=1 sec)")));
    QCOMPARE(m_diag->usbHub(), QStringLiteral("OK"));
    QCOMPARE(m_diag->sdCard(), QStringLiteral("MISSING"));
    QCOMPARE(m_diag->serialPortTest(), QStringLiteral("MISSING"));
    QCOMPARE(hub.count(), 1);

    writeFile(m_dir->filePath(QStringLiteral("mmcblk1p1")), "");
    QVERIFY(sd.wait(3000));
    QCOMPARE(m_diag->sdCard(), QStringLiteral("OK"));
    QCOMPARE(hub.count(), 1);
    QCOMPARE(serial.count(), 1);

    m_diag->stop();
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Diagnostics] Stopping Diagnostic check")));
    QFile::remove(m_dir->filePath(QStringLiteral("mmcblk1p1")));
    QVERIFY(!sd.wait(1500));
    m_diag->start(5);
    QCOMPARE(m_diag->sdCard(), QStringLiteral("MISSING"));
    m_diag->stop();
}

void TestDiagnostics::serialLoopback()
{
    Pty loop;
    Pty silent;
    Pty chatter;
    QVERIFY(loop.start(m_dir->filePath(QStringLiteral("loop")), QStringLiteral("PIPE")));
    QVERIFY(silent.start(m_dir->filePath(QStringLiteral("silent"))));
    QVERIFY(chatter.start(m_dir->filePath(QStringLiteral("chatter")), QStringLiteral("EXEC:yes B")));
    const struct {
        QString port;
        QString expected;
        const Pty* pty;
    } cases[] = {
        {m_dir->filePath(QStringLiteral("loop")), QStringLiteral("OK"), &loop},
        {m_dir->filePath(QStringLiteral("silent")), QStringLiteral("ERROR"), &silent},
        // Bytes keep coming, never the echo: the read window still ends.
        {m_dir->filePath(QStringLiteral("chatter")), QStringLiteral("ERROR"), &chatter},
        {m_dir->filePath(QStringLiteral("nothing")), QStringLiteral("ERROR (Could not open)"), nullptr},
        {QStringLiteral("NONE"), QStringLiteral("MISSING"), nullptr},
        {QString(), QStringLiteral("MISSING"), nullptr},
    };
    for (int flow : {1, 0}) {
        m_diag->setSerialFlowCtrl(flow);
        for (const auto& c : cases) {
            m_diag->setSerialPort(c.port);
            // The echo has 50 ms to come back; a loaded machine gets a few tries.
            for (int attempt = 0; attempt < 3; ++attempt) {
                m_diag->start();
                m_diag->stop();
                if (m_diag->serialPortTest() == c.expected)
                    break;
            }
            QCOMPARE(m_diag->serialPortTest(), c.expected);
            if (c.pty)
                QCOMPARE(c.pty->openCount(), 0);
        }
    }
}

void TestDiagnostics::portList()
{
    QStringList system{QStringLiteral("NONE")};
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        system.append(info.portName());
    const QString vcom = m_dir->filePath(QStringLiteral("vcom"));
    QSignalSpy changed(m_diag, &Diagnostics::serialPortsChanged);

    m_diag->start();
    QCOMPARE(m_diag->serialPorts(), system);
    writeFile(vcom, "");
    m_diag->start();
    m_diag->start();
    QCOMPARE(m_diag->serialPorts(), system + QStringList{vcom});
    QCOMPARE(changed.count(), 2);
    m_diag->stop();

    QCOMPARE(m_diag->serialPortDescr(QStringLiteral("NONE")), QString());
    QCOMPARE(m_diag->serialPortDescr(vcom), QString());
}

void TestDiagnostics::boardBounds_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("temperature at low bound") << "temperature" << 15.0 << "ERROR";
    QTest::newRow("temperature just above") << "temperature" << 15.1 << "OK";
    QTest::newRow("temperature just below high") << "temperature" << 69.9 << "OK";
    QTest::newRow("temperature at high bound") << "temperature" << 70.0 << "ERROR";
    QTest::newRow("temperature below zero") << "temperature" << -5.0 << "ERROR";
    QTest::newRow("voltage at low bound") << "voltage" << 9.0 << "ERROR";
    QTest::newRow("voltage just above") << "voltage" << 9.1 << "OK";
    QTest::newRow("voltage just below high") << "voltage" << 39.9 << "OK";
    QTest::newRow("voltage at high bound") << "voltage" << 40.0 << "ERROR";
}

void TestDiagnostics::boardBounds()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QByteArray signal = QByteArray("2") + field.toLatin1() + "Changed()";
    QSignalSpy relayed(m_diag, signal.constData());
    publish(BoardBase + QStringLiteral("/status"), boardStatus({{field, value}}));
    QVERIFY(relayed.count() >= 1);
    QCOMPARE(m_diag->property(qPrintable(field)).toString(), expected);
}

void TestDiagnostics::poleId_data()
{
    QTest::addColumn<QString>("poleId");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << "" << "MISSING";
    QTest::newRow("sixteen zeros") << QString(16, '0') << "ERROR";
    QTest::newRow("fifteen zeros") << QString(15, '0') << "OK";
    QTest::newRow("seventeen zeros") << QString(17, '0') << "OK";
    QTest::newRow("real id") << "0000000000000042" << "OK";
}

void TestDiagnostics::poleId()
{
    QFETCH(QString, poleId);
    QFETCH(QString, expected);
    publish(BoardBase + QStringLiteral("/status"), boardStatus({{"poleId", "x"}}));
    QSignalSpy relayed(m_diag, &Diagnostics::poleIdChanged);
    publish(BoardBase + QStringLiteral("/status"), boardStatus({{"poleId", poleId}}));
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(m_diag->poleId(), expected);
}

void TestDiagnostics::samRules_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<QJsonArray>("sams");
    QTest::addColumn<QString>("expected");
    const QJsonObject good{{"slot", 0}, {"uid", "SAM-0042"}, {"atr", "3B8F8001"}};
    const QJsonObject mute{{"slot", 0}, {"uid", "SAM-0043"}, {"atr", ""}};
    QTest::newRow("present") << true << QJsonArray{good} << "OK";
    QTest::newRow("no answer to reset") << true << QJsonArray{mute} << "ERROR";
    QTest::newRow("no sam") << true << QJsonArray{} << "MISSING";
    QTest::newRow("reader inactive") << false << QJsonArray{good} << "ERROR";
}

void TestDiagnostics::samRules()
{
    QFETCH(bool, active);
    QFETCH(QJsonArray, sams);
    QFETCH(QString, expected);
    QSignalSpy relayed(m_diag, &Diagnostics::samChanged);
    publish(BlmBase + QStringLiteral("/status"), blmStatus(active, sams));
    QVERIFY(relayed.count() >= 1);
    QCOMPARE(m_diag->sam(), expected);
    QCOMPARE(m_diag->rfidService(), QString(active ? "OK" : "ERROR"));
}

void TestDiagnostics::linkClockAndServicesRelayed()
{
    QCOMPARE(m_diag->ethernet(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->boardService(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->ignition(), QStringLiteral("OK"));

    QSignalSpy ethernet(m_diag, &Diagnostics::ethernetChanged);
    publish(NetworkBase + QStringLiteral("/ethernet/state"),
            QJsonObject{{"interface", "eth0"}, {"stateStr", "Connected"}});
    QCOMPARE(ethernet.count(), 1);
    QCOMPARE(m_diag->ethernet(), QStringLiteral("OK"));
    publish(NetworkBase + QStringLiteral("/ethernet/state"),
            QJsonObject{{"interface", "eth0"}, {"stateStr", "Connecting"}});
    QCOMPARE(m_diag->ethernet(), QStringLiteral("ERROR"));

    QSignalSpy rtc(m_diag, &Diagnostics::rtcChanged);
    QSignalSpy board(m_diag, &Diagnostics::boardServiceChanged);
    QSignalSpy ignition(m_diag, &Diagnostics::ignitionChanged);
    publish(BoardBase + QStringLiteral("/status"),
            boardStatus({{"ignition", false}, {"hardwareStatus", QJsonObject{{"rtcFailed", true}}}}));
    QCOMPARE(rtc.count(), 1);
    QCOMPARE(board.count(), 1);
    QCOMPARE(ignition.count(), 1);
    QCOMPARE(m_diag->rtc(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->boardService(), QStringLiteral("OK"));
    QCOMPARE(m_diag->ignition(), QStringLiteral("ERROR"));

    QSignalSpy barcode(m_diag, &Diagnostics::barcodeServiceChanged);
    publish(BlmBase + QStringLiteral("/status"), blmStatus(true, {}));
    QCOMPARE(barcode.count(), 1);
    QCOMPARE(m_diag->barcodeService(), QStringLiteral("OK"));
}

QString TestDiagnostics::saveAndWait(bool* ok)
{
    QSignalSpy finished(m_diag, &Diagnostics::saveReportFinished);
    m_diag->saveReport();
    if (finished.count() != 1)
        return QStringLiteral("no saveReportFinished");
    *ok = finished.first().at(0).toBool();
    return finished.first().at(1).toString();
}

void TestDiagnostics::reportFileByteForByte()
{
    const QString root = m_dir->filePath(QStringLiteral("usb"));
    addUsb(root, QStringLiteral("1-1"), "0451", "2077");
    addUsb(root, QStringLiteral("1-1.3"), "0ab1", "0009");
    addUsb(root, QStringLiteral("1-1.4"), "1d6b", "0002");
    writeFile(m_dir->filePath(QStringLiteral("mmcblk1p1")), "");
    m_diag->start();
    m_diag->stop();
    m_diag->setBuzzer(QStringLiteral("OK"));
    m_diag->setLeds(QStringLiteral("ERROR"));
    m_diag->setCardScan(QStringLiteral("OK"));
    m_diag->setSpeaker(QStringLiteral("OK"));
    publish(BoardBase + QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"firmwareVersion", "B-2.4.1"}}}});
    publish(BoardBase + QStringLiteral("/status"), boardStatus({{"temperature", 71.0}}));
    publish(BlmBase + QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"rfid", QJsonObject{{"firmware", "R-7.0"}}},
                                                 {"barcode", QJsonObject{{"firmware", "Q-1.1"}}}}}});
    publish(BlmBase + QStringLiteral("/status"),
            blmStatus(true, {QJsonObject{{"uid", "SAM-0042"}, {"atr", "3B8F"}}}));

    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    bool ok = false;
    const QString message = saveAndWait(&ok);
    QDir::setCurrent(previous);
    QVERIFY2(ok, qPrintable(message));
    QVERIFY(message.startsWith(QStringLiteral("Test report saved successfully:\n./TestReport_")));
    const QString name = message.section('\n', 1);
    const QDateTime at = QDateTime::fromString(name.mid(13, 13), QStringLiteral("yyyyMMdd_hhmm"));
    QVERIFY(at.isValid());

    QFile file(work.filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        "-----------------------------------------------------\n"
        " DEVICE TEST REPORT\n"
        "-----------------------------------------------------\n"
        " Device UID                          0123456789ABCDEF\n"
        " Date                                " + at.toString("yyyy-MM-dd hh:mm").toLatin1() + "\n"
        " SAM                                         SAM-0042\n"
        " Barcode Firmware                               Q-1.1\n"
        " RFID Firmware                                  R-7.0\n"
        " Board Firmware                               B-2.4.1\n"
        " App Version                                   1.0.21\n"
        " Bundle Version                                <null>\n"
        " Image Version                                 <null>\n"
        "-----------------------------------------------------\n"
        " RTC                                               OK\n"
        " Ethernet                                       ERROR\n"
        " USB Hub                                           OK\n"
        " USB Host                                          OK\n"
        " FTDI                                         MISSING\n"
        " mPCIe #1                                     MISSING\n"
        " Touch                                        MISSING\n"
        " SD Card                                           OK\n"
        " Ignition                                          OK\n"
        " Temperature                                    ERROR\n"
        " Voltage                                           OK\n"
        " RFID                                           ERROR\n"
        " Barcode                                      MISSING\n"
        " SAM                                               OK\n"
        " Buzzer                                            OK\n"
        " Front LEDs                                     ERROR\n"
        " Barcode Scan                                        \n"
        " Card Scan                                         OK\n"
        " RFID Manager                                      OK\n"
        " Barocde Manager                                   OK\n"
        " Board Manager                                     OK\n"
        " Light Sensor                                        \n"
        " Display RGB Test                                    \n"
        "-----------------------------------------------------";
    QCOMPARE(file.readAll(), expected);
}

void TestDiagnostics::reportSaveFailures()
{
    LogCapture log;
    const QString previous = QDir::currentPath();

    // A working directory that has been removed: the file cannot be created.
    {
        QTemporaryDir gone;
        QVERIFY(QDir::setCurrent(gone.path()));
        QVERIFY(QDir().rmdir(gone.path()));
        bool ok = true;
        const QString message = saveAndWait(&ok);
        QDir::setCurrent(previous);
        QVERIFY(!ok);
        QCOMPARE(message, QStringLiteral("Could not save Test Report\nERROR: No such file or directory"));
    }
    QVERIFY(log.contains(QtCriticalMsg,
                         QStringLiteral("[Diagnostics] ERROR: Could not save file : No such file or directory")));

    // Opens fine but no byte fits: /dev/full behind the report's name, for
    // this minute and the next.
    QTemporaryDir full;
    const QDateTime now = QDateTime::currentDateTime();
    for (const QDateTime& at : {now, now.addSecs(60)}) {
        const QString name = QStringLiteral("TestReport_%1.txt").arg(at.toString("yyyyMMdd_hhmm"));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), full.filePath(name)));
    }
    QVERIFY(QDir::setCurrent(full.path()));
    bool ok = true;
    const QString message = saveAndWait(&ok);
    QDir::setCurrent(previous);
    QVERIFY(!ok);
    QCOMPARE(message, QStringLiteral("Could not save Test Report\nERROR: No space left on device"));
}

QString TestDiagnostics::expectedQr(const QDateTime& at) const
{
    const QString text =
        m_deviceId + ";" + at.toString("yyyy-MM-dd hh:mm")
        + ";SAM-0042;Q-1.1;R-7.0;B-2.4.1;1.0.21;;"
          ";OK;ERROR;OK;MISSING;ERROR;MISSING;MISSING;OK;MISSING;MISSING"
          ";buzzer;leds;OK;OK;OK;OK;speaker;barcodeScan;cardScan;OK;OK;OK;lightSensor"
          ";rgbTest;OK;MISSING";
    return QStringLiteral("data:image/svg,")
        + QrCodeGenerator().generateSvgQr(text, 1, qrcodegen::QrCode::Ecc::MEDIUM);
}

// Every field that can be told apart from its neighbours is, so that a
// field out of place shows.
void TestDiagnostics::qrCarriesTheFields()
{
    const QString root = m_dir->filePath(QStringLiteral("usb"));
    addUsb(root, QStringLiteral("1-1"), "0451", "2077");
    addUsb(root, QStringLiteral("1-1.3"), "0ab1", "0009");
    addUsb(root, QStringLiteral("1-1.4"), "1d6b", "0002");
    m_diag->start();
    m_diag->stop();
    for (const char* name : {"buzzer", "leds", "speaker", "barcodeScan", "cardScan", "lightSensor", "rgbTest"})
        m_diag->setProperty(name, QString::fromLatin1(name));
    publish(BoardBase + QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"firmwareVersion", "B-2.4.1"}}}});
    publish(BoardBase + QStringLiteral("/status"), boardStatus({}));
    publish(BlmBase + QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"rfid", QJsonObject{{"firmware", "R-7.0"}}},
                                                 {"barcode", QJsonObject{{"firmware", "Q-1.1"}}}}}});
    publish(BlmBase + QStringLiteral("/status"),
            blmStatus(true, {QJsonObject{{"uid", "SAM-0042"}, {"atr", "3B8F"}}}));
    const QDateTime before = QDateTime::currentDateTime();
    const QString qr = m_diag->generateQr();
    QVERIFY(qr == expectedQr(before) || qr == expectedQr(before.addSecs(60)));
}

QTEST_MAIN(TestDiagnostics)
#include "tst_Diagnostics.moc"
