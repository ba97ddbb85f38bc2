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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString BoardBase = QStringLiteral("kivo/board");
const QString BlmBase = QStringLiteral("kivo/blm");

// A pseudo-terminal whose far side echoes (a loopback plug, "PIPE"), talks
// on its own (a command) or, when none is given, is left unread.
class Pty
{
public:
    bool start(const QString& link, const QString& farSide = QString())
    {
        m_link = link;
        const QString near = QStringLiteral("pty,raw,echo=0,link=") + link;
        m_socat.start(QStringLiteral("socat"), {near, farSide.isEmpty() ? near + ".far" : farSide});
        return m_socat.waitForStarted(3000) && QTest::qWaitFor([&] { return QFile::exists(link); }, 3000);
    }
    ~Pty()
    {
        m_socat.terminate();
        m_socat.waitForFinished(3000);
    }
    // Descriptors of this process still open on the terminal.
    int openCount() const
    {
        int n = 0;
        for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
            n += fd.symLinkTarget() == QFileInfo(m_link).canonicalFilePath() ? 1 : 0;
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

void addUsb(const QString& root, const QString& port, const QByteArray& vendor, const QByteArray& product)
{
    const QString dir = root + QLatin1Char('/') + port;
    QVERIFY(QDir().mkpath(dir));
    if (!vendor.isNull())
        writeFile(dir + QStringLiteral("/idVendor"), vendor);
    if (!product.isNull())
        writeFile(dir + QStringLiteral("/idProduct"), product);
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
                       {"device", QJsonObject{{"rfid", rfid}, {"barcode", QJsonObject{{"active", true}}}}},
                       {"state", QJsonObject{{"hasRfid", true}, {"hasRoute", true}, {"hasQr", true}, {"hasObu", true}}}};
}

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21")); }
    void init();
    void cleanup();
    void usbRows_data();
    void usbRows();
    void checksOnTimerAndSignalsOnlyChanges();
    void serialLoopback();
    void rules_data();
    void rules();
    void linkAndServicesRelayed();
    void reportFileAndQr();
    void reportSaveFailures();

private:
    void publish(const QString& topic, const QJsonObject& payload);
    QString saveAndWait(bool* ok);
    QString usbRoot() const { return m_dir->filePath(QStringLiteral("usb")); }

    struct Bus {
        manager::MqttClient mqtt;
        manager::Board board{mqtt, BoardBase};
        manager::Network network{mqtt, QStringLiteral("kivo/network")};
        manager::Validator validator{mqtt, BlmBase};
    };
    // Started by the first case that feeds the managers; the checks of
    // files, USB and serial ports have no use for the bus.
    TestBroker m_broker;
    std::unique_ptr<Bus> m_bus;
    std::unique_ptr<MqttPeer> m_peer;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Diagnostics> m_diag;
    const QString m_deviceId = QStringLiteral("0123456789ABCDEF");
};

void TestDiagnostics::init()
{
    m_bus = std::make_unique<Bus>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_diag = std::make_unique<Diagnostics>(m_deviceId, m_bus->board, m_bus->network, m_bus->validator);
    m_diag->setSysfsRoot(usbRoot());
    m_diag->setSdCardPath(m_dir->filePath(QStringLiteral("mmcblk1p1")));
}

void TestDiagnostics::cleanup()
{
    m_diag.reset();
    m_peer.reset();
    m_bus.reset();
    m_dir.reset();
}

// Returns once the managers have handled the message: a retry notice sent
// after it has come back through the same client.
void TestDiagnostics::publish(const QString& topic, const QJsonObject& payload)
{
    QSignalSpy retry(&m_bus->validator, &manager::Validator::cardRetry);
    if (!m_peer) {
        QVERIFY(m_broker.isRunning() || m_broker.start());
        m_bus->mqtt.setHostname(m_broker.host());
        m_bus->mqtt.setPort(m_broker.port());
        m_bus->mqtt.connect();
        m_peer = std::make_unique<MqttPeer>(m_broker.port());
        QVERIFY(m_peer->connectAndWait());
        // Connected is not subscribed: the first notice to come back shows
        // every subscription is in place.
        QVERIFY(QTest::qWaitFor([&] {
            m_peer->publish(BlmBase + QStringLiteral("/rfid/retry"), QByteArray());
            return retry.wait(200);
        }, 5000));
    }
    retry.clear();
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
    QTest::newRow("rfid expected") << "1-1.3" << QByteArray("0ab1\n") << QByteArray("0007\n") << "rfidUsb" << "OK";
    QTest::newRow("rfid other product") << "1-1.3" << QByteArray("0ab1") << QByteArray("0008") << "rfidUsb" << "ERROR";
    QTest::newRow("rfid unreadable") << "1-1.3" << none << none << "rfidUsb" << "ERROR";
    QTest::newRow("rfid absent") << "" << none << none << "rfidUsb" << "MISSING";
    QTest::newRow("touch is case-sensitive") << "1-1.7" << QByteArray("222A") << QByteArray("0001") << "touch" << "ERROR";
    QTest::newRow("ftdi stops at nul") << "1-1.5" << QByteArray("0403\n") << QByteArray("6015\0x", 6) << "ftdi" << "OK";
    QTest::newRow("mpcie unreadable") << "1-1.2" << none << none << "mPCIe1" << "OK";
    QTest::newRow("barcode any device") << "1-1.6" << QByteArray("05e0") << QByteArray("1200") << "barcodeUsb" << "OK";
}

void TestDiagnostics::usbRows()
{
    QFETCH(QString, port);
    QFETCH(QByteArray, vendor);
    QFETCH(QByteArray, product);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    QVERIFY(QDir().mkpath(usbRoot()));
    if (!port.isEmpty())
        addUsb(usbRoot(), port, vendor, product);
    m_diag->start();
    m_diag->stop();
    QCOMPARE(m_diag->property(qPrintable(property)).toString(), expected);
}

void TestDiagnostics::checksOnTimerAndSignalsOnlyChanges()
{
    addUsb(usbRoot(), QStringLiteral("1-1"), "0451", "2077");
    QSignalSpy hub(m_diag.get(), &Diagnostics::usbHubChanged);
    QSignalSpy sd(m_diag.get(), &Diagnostics::sdCardChanged);
    m_diag->start();
    QCOMPARE(m_diag->usbHub(), QStringLiteral("OK"));
    QCOMPARE(m_diag->sdCard(), QStringLiteral("MISSING"));
    writeFile(m_dir->filePath(QStringLiteral("mmcblk1p1")), "");
    QVERIFY(sd.wait(3000));
    QCOMPARE(m_diag->sdCard(), QStringLiteral("OK"));
    QCOMPARE(hub.count(), 1);

    m_diag->stop();
    QFile::remove(m_dir->filePath(QStringLiteral("mmcblk1p1")));
    QVERIFY(!sd.wait(1200));
}

void TestDiagnostics::serialLoopback()
{
    Pty loop, silent, chatter;
    QVERIFY(loop.start(m_dir->filePath(QStringLiteral("loop")), QStringLiteral("PIPE")));
    QVERIFY(silent.start(m_dir->filePath(QStringLiteral("silent"))));
    QVERIFY(chatter.start(m_dir->filePath(QStringLiteral("chatter")), QStringLiteral("EXEC:yes B")));
    const QList<std::tuple<QString, QString, const Pty*>> cases{
        {m_dir->filePath(QStringLiteral("loop")), QStringLiteral("OK"), &loop},
        {m_dir->filePath(QStringLiteral("silent")), QStringLiteral("ERROR"), &silent},
        // Bytes keep coming, never the echo: the read window still ends.
        {m_dir->filePath(QStringLiteral("chatter")), QStringLiteral("ERROR"), &chatter},
        {m_dir->filePath(QStringLiteral("nothing")), QStringLiteral("ERROR (Could not open)"), nullptr},
        {QStringLiteral("NONE"), QStringLiteral("MISSING"), nullptr},
    };
    for (int flow : {1, 0}) {
        m_diag->setSerialFlowCtrl(flow);
        for (const auto& [port, expected, pty] : cases) {
            m_diag->setSerialPort(port);
            // The echo has 50 ms to come back; a loaded machine gets a few tries.
            for (int attempt = 0; attempt < 3 && (attempt == 0 || m_diag->serialPortTest() != expected); ++attempt) {
                m_diag->start();
                m_diag->stop();
            }
            QCOMPARE(m_diag->serialPortTest(), expected);
            QCOMPARE(pty ? pty->openCount() : 0, 0);
        }
    }
}

void TestDiagnostics::rules_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QJsonObject>("payload");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");
    const auto board = [](const char* name, const char* field, const QJsonValue& value, const char* expected) {
        QTest::newRow(name) << BoardBase + "/status" << boardStatus({{field, value}}) << field << expected;
    };
    board("temperature at low bound", "temperature", 15.0, "ERROR");
    board("temperature just above", "temperature", 15.1, "OK");
    board("temperature just below high", "temperature", 69.9, "OK");
    board("temperature at high bound", "temperature", 70.0, "ERROR");
    board("voltage at low bound", "voltage", 9.0, "ERROR");
    board("voltage just above", "voltage", 9.1, "OK");
    board("voltage at high bound", "voltage", 40.0, "ERROR");
    board("pole id empty", "poleId", "", "MISSING");
    board("pole id of sixteen zeros", "poleId", QString(16, '0'), "ERROR");
    board("pole id of fifteen zeros", "poleId", QString(15, '0'), "OK");
    const QJsonObject good{{"slot", 0}, {"uid", "SAM-0042"}, {"atr", "3B8F8001"}};
    const auto blm = [](const char* name, bool active, const QJsonArray& sams, const char* property,
                        const char* expected) {
        QTest::newRow(name) << BlmBase + "/status" << blmStatus(active, sams) << property << expected;
    };
    blm("sam present", true, {good}, "sam", "OK");
    blm("sam without answer to reset", true, {QJsonObject{{"uid", "SAM-0043"}, {"atr", ""}}}, "sam", "ERROR");
    blm("no sam", true, {}, "sam", "MISSING");
    blm("sam in an inactive reader", false, {good}, "sam", "ERROR");
    blm("reader inactive", false, {good}, "rfidService", "ERROR");
}

// What a manager reports, judged against the thresholds and rules.
void TestDiagnostics::rules()
{
    QFETCH(QString, topic);
    QFETCH(QJsonObject, payload);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    publish(topic, payload);
    QCOMPARE(m_diag->property(qPrintable(property)).toString(), expected);
}

// Each result follows its manager and is announced once per change.
void TestDiagnostics::linkAndServicesRelayed()
{
    QCOMPARE(m_diag->ethernet() + m_diag->boardService() + m_diag->ignition(), QStringLiteral("ERRORERROROK"));
    QSignalSpy ethernet(m_diag.get(), &Diagnostics::ethernetChanged);
    QSignalSpy ignition(m_diag.get(), &Diagnostics::ignitionChanged);
    for (const char* state : {"Connected", "Connected", "Connecting"})
        publish(QStringLiteral("kivo/network/ethernet/state"), QJsonObject{{"interface", "eth0"}, {"stateStr", state}});
    QCOMPARE(ethernet.count(), 2);
    QCOMPARE(m_diag->ethernet(), QStringLiteral("ERROR"));
    for (int i = 0; i < 2; ++i)
        publish(BoardBase + QStringLiteral("/status"),
                boardStatus({{"ignition", false}, {"hardwareStatus", QJsonObject{{"rtcFailed", true}}}}));
    QCOMPARE(ignition.count(), 1);
    QCOMPARE(m_diag->rtc() + m_diag->boardService() + m_diag->ignition(), QStringLiteral("ERROROKERROR"));
    publish(BlmBase + QStringLiteral("/status"), blmStatus(true, {}));
    QCOMPARE(m_diag->barcodeService(), QStringLiteral("OK"));
}

QString TestDiagnostics::saveAndWait(bool* ok)
{
    QSignalSpy finished(m_diag.get(), &Diagnostics::saveReportFinished);
    m_diag->saveReport();
    if (finished.count() != 1)
        return QStringLiteral("no saveReportFinished");
    *ok = finished.first().at(0).toBool();
    return finished.first().at(1).toString();
}

// The saved report and the report's QR code carry every field in its place:
// fields that could be told apart from their neighbours are.
void TestDiagnostics::reportFileAndQr()
{
    addUsb(usbRoot(), QStringLiteral("1-1"), "0451", "2077");
    addUsb(usbRoot(), QStringLiteral("1-1.3"), "0ab1", "0009");
    addUsb(usbRoot(), QStringLiteral("1-1.4"), "1d6b", "0002");
    writeFile(m_dir->filePath(QStringLiteral("mmcblk1p1")), "");
    m_diag->start();
    m_diag->stop();
    for (const char* name : {"buzzer", "leds", "speaker", "barcodeScan", "cardScan", "lightSensor", "rgbTest"})
        m_diag->setProperty(name, QString::fromLatin1(name));
    publish(BoardBase + QStringLiteral("/info"), QJsonObject{{"device", QJsonObject{{"firmwareVersion", "B-2.4.1"}}}});
    publish(BoardBase + QStringLiteral("/status"), boardStatus({{"temperature", 71.0}}));
    publish(BlmBase + QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"rfid", QJsonObject{{"firmware", "R-7.0"}}},
                                               {"barcode", QJsonObject{{"firmware", "Q-1.1"}}}}}});
    publish(BlmBase + QStringLiteral("/status"), blmStatus(true, {QJsonObject{{"uid", "SAM-0042"}, {"atr", "3B8F"}}}));

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    const QString qr = m_diag->generateQr();
    bool ok = false;
    const QString message = saveAndWait(&ok);
    QDir::setCurrent(previous);
    QVERIFY2(ok, qPrintable(message));
    QVERIFY(message.startsWith(QStringLiteral("Test report saved successfully:\n./TestReport_")));
    const QString name = message.section('\n', 1);
    const QDateTime at = QDateTime::fromString(name.mid(13, 13), QStringLiteral("yyyyMMdd_hhmm"));
    QVERIFY(at.isValid());
    const QString fields = "0123456789ABCDEF;" + at.toString("yyyy-MM-dd hh:mm")
        + ";SAM-0042;Q-1.1;R-7.0;B-2.4.1;1.0.21;;;OK;ERROR;OK;MISSING;ERROR;MISSING;MISSING;OK;MISSING;OK"
          ";buzzer;leds;OK;ERROR;OK;OK;speaker;barcodeScan;cardScan;OK;OK;OK;lightSensor;rgbTest;OK;MISSING";
    QCOMPARE(qr, "data:image/svg," + QrCodeGenerator().generateSvgQr(fields, 1, qrcodegen::QrCode::Ecc::MEDIUM));

    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Labels on the left, values on the right of 53 columns, between rules.
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    const QString rule(53, '-');
    QCOMPARE(lines.mid(0, 3), QStringList({rule, " DEVICE TEST REPORT", rule}));
    QCOMPARE(lines.at(12) + lines.last(), rule + rule);
    QStringList values;
    for (const QString& line : lines.mid(3, lines.size() - 4)) {
        if (line == rule)
            continue;
        QVERIFY2(line.size() == 53 && line.startsWith(' ') && line.at(17) == ' ', qPrintable(line));
        values << line.mid(18).trimmed();
    }
    QCOMPARE(values.join(';'), "0123456789ABCDEF;" + at.toString("yyyy-MM-dd hh:mm")
                                   + ";SAM-0042;Q-1.1;R-7.0;B-2.4.1;1.0.21;<null>;<null>"
                                   + ";OK;ERROR;OK;OK;MISSING;MISSING;MISSING;OK;OK;ERROR;OK;ERROR;MISSING;OK;buzzer"
                                     ";leds;barcodeScan;cardScan;OK;OK;OK;lightSensor;rgbTest");
}

// A failed or short write reports failure.
void TestDiagnostics::reportSaveFailures()
{
    LogCapture log;
    const QString previous = QDir::currentPath();
    // A working directory that has been removed: the file cannot be created.
    QTemporaryDir gone;
    QVERIFY(QDir::setCurrent(gone.path()));
    QVERIFY(QDir().rmdir(gone.path()));
    bool ok = true;
    QString message = saveAndWait(&ok);
    QDir::setCurrent(previous);
    QVERIFY(!ok);
    QCOMPARE(message, QStringLiteral("Could not save Test Report\nERROR: No such file or directory"));
    QVERIFY(log.contains(QtCriticalMsg, QStringLiteral("[Diagnostics] ERROR: Could not save file : No such file or directory")));

    // Opens fine but no byte fits: /dev/full behind the report's name, for
    // this minute and the next.
    const QDateTime now = QDateTime::currentDateTime();
    for (const QDateTime& at : {now, now.addSecs(60)})
        QVERIFY(QFile::link("/dev/full", m_dir->filePath("TestReport_" + at.toString("yyyyMMdd_hhmm") + ".txt")));
    QVERIFY(QDir::setCurrent(m_dir->path()));
    ok = true;
    message = saveAndWait(&ok);
    QDir::setCurrent(previous);
    QVERIFY(!ok);
    QCOMPARE(message, QStringLiteral("Could not save Test Report\nERROR: No space left on device"));
}

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "tst_Diagnostics.moc"
