#include "Common/QrCodeGenerator.h"
#include "Diagnostics.h"
#include "Peripheral/Board.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include "InProcessBus.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString BoardBase = QStringLiteral("kivo/board");
const QString BlmBase = QStringLiteral("kivo/blm");

// A pseudo-terminal whose far side echoes (a loopback plug, "PIPE") or talks
// on its own (a command).
class Pty
{
public:
    bool start(const QString& link, const QString& farSide)
    {
        m_socat.start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,link=") + link, farSide});
        return m_socat.waitForStarted(3000) && QTest::qWaitFor([&] { return QFile::exists(link); }, 3000);
    }
    ~Pty()
    {
        m_socat.terminate();
        m_socat.waitForFinished(3000);
    }

private:
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
    writeFile(dir + QStringLiteral("/idVendor"), vendor);
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
    void serialLoopback_data();
    void serialLoopback();
    void rules_data();
    void rules();
    void reportFileAndQr();

private:
    void publish(const QString& topic, const QJsonObject& payload);
    QString saveAndWait(bool* ok);
    QString usbRoot() const { return m_dir->filePath(QStringLiteral("usb")); }

    struct Bus {
        InProcessBus mqtt;
        manager::Board board{mqtt, BoardBase};
        manager::Network network{mqtt, QStringLiteral("kivo/network")};
        manager::Validator validator{mqtt, BlmBase};
    };
    std::unique_ptr<Bus> m_bus;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Diagnostics> m_diag;
    const QString m_deviceId = QStringLiteral("0123456789ABCDEF");
};

void TestDiagnostics::init()
{
    m_bus = std::make_unique<Bus>();
    m_bus->mqtt.connect();
    QVERIFY(m_bus->mqtt.waitConnected());
    m_dir = std::make_unique<QTemporaryDir>();
    m_diag = std::make_unique<Diagnostics>(m_deviceId, m_bus->board, m_bus->network, m_bus->validator);
    m_diag->setSysfsRoot(usbRoot());
    m_diag->setSdCardPath(m_dir->filePath(QStringLiteral("mmcblk1p1")));
}

void TestDiagnostics::cleanup()
{
    m_diag.reset();
    m_bus.reset();
    m_dir.reset();
}

void TestDiagnostics::publish(const QString& topic, const QJsonObject& payload)
{
    QVERIFY(m_bus->mqtt.deliver(topic, payload));
}

void TestDiagnostics::serialLoopback_data()
{
    QTest::addColumn<QString>("farSide");
    QTest::addColumn<QString>("expected");
    QTest::newRow("loopback plug") << "PIPE" << "OK";
    // Bytes keep coming, never the echo: the read window still ends.
    QTest::newRow("chatter") << "EXEC:yes B" << "ERROR";
}

void TestDiagnostics::serialLoopback()
{
    QFETCH(QString, farSide);
    QFETCH(QString, expected);
    Pty pty;
    const QString port = m_dir->filePath(QStringLiteral("tty"));
    QVERIFY(pty.start(port, farSide));
    m_diag->setSerialPort(port);
    // The echo has 50 ms to come back; a loaded machine gets a few tries.
    for (int attempt = 0; attempt < 3 && (attempt == 0 || m_diag->serialPortTest() != expected); ++attempt) {
        m_diag->start();
        m_diag->stop();
    }
    QCOMPARE(m_diag->serialPortTest(), expected);
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
    board("temperature at high bound", "temperature", 70.0, "ERROR");
    board("voltage at low bound", "voltage", 9.0, "ERROR");
    board("pole id of sixteen zeros", "poleId", QString(16, '0'), "ERROR");
    const QJsonObject good{{"slot", 0}, {"uid", "SAM-0042"}, {"atr", "3B8F8001"}};
    const auto blm = [](const char* name, bool active, const QJsonArray& sams, const char* property,
                        const char* expected) {
        QTest::newRow(name) << BlmBase + "/status" << blmStatus(active, sams) << property << expected;
    };
    blm("sam present", true, {good}, "sam", "OK");
    blm("sam without answer to reset", true, {QJsonObject{{"uid", "SAM-0043"}, {"atr", ""}}}, "sam", "ERROR");
    blm("no sam", true, {}, "sam", "MISSING");
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
    // The kernel's files end in a newline.
    addUsb(usbRoot(), QStringLiteral("1-1"), "0451\n", "2077\n");
    addUsb(usbRoot(), QStringLiteral("1-1.3"), "0ab1", "0009");
    addUsb(usbRoot(), QStringLiteral("1-1.4"), "1d6b", "0002");
    // The checks run again on a timer: a card put in later is found.
    m_diag->start();
    QCOMPARE(m_diag->sdCard(), QStringLiteral("MISSING"));
    writeFile(m_dir->filePath(QStringLiteral("mmcblk1p1")), "");
    QTRY_COMPARE(m_diag->sdCard(), QStringLiteral("OK"));
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
    const QString name = message.section('\n', 1);
    const QDateTime at = QDateTime::fromString(name.mid(13, 13), QStringLiteral("yyyyMMdd_hhmm"));
    QVERIFY(at.isValid());
    const QString fields = "0123456789ABCDEF;" + at.toString("yyyy-MM-dd hh:mm")
        + ";SAM-0042;Q-1.1;R-7.0;B-2.4.1;1.0.21;;;OK;ERROR;OK;MISSING;ERROR;MISSING;MISSING;OK;MISSING;OK"
          ";buzzer;leds;OK;ERROR;OK;OK;speaker;barcodeScan;cardScan;OK;OK;OK;lightSensor;rgbTest;OK;MISSING";
    QCOMPARE(qr, "data:image/svg," + QrCodeGenerator().generateSvgQr(fields, 1, qrcodegen::QrCode::Ecc::MEDIUM));

    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Labels on the left, values from column 18, between rules of dashes.
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    QStringList values;
    for (const QString& line : lines.mid(3)) {
        if (!line.startsWith('-') && !line.isEmpty())
            values << line.mid(18).trimmed();
    }
    QCOMPARE(values.join(';'), "0123456789ABCDEF;" + at.toString("yyyy-MM-dd hh:mm")
                                   + ";SAM-0042;Q-1.1;R-7.0;B-2.4.1;1.0.21;<null>;<null>"
                                   + ";OK;ERROR;OK;OK;MISSING;MISSING;MISSING;OK;OK;ERROR;OK;ERROR;MISSING;OK;buzzer"
                                     ";leds;barcodeScan;cardScan;OK;OK;OK;lightSensor;rgbTest");
}

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "tst_Diagnostics.moc"
