#include "DeviceUnderTest.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

// Pages slide in, lists drop down and the keyboard loads its layouts: a touch
// waits for them, several times longer in the sanitized build.
void settle(int millis)
{
    QTest::qWait(qEnvironmentVariableIsSet("QUILLON_SANITIZED") ? 3 * millis : millis);
}

// Keys of the on-screen keyboard in window coordinates: digits and the dot on
// its numeric layout, which fields that take digits open.
bool typeOnKeyboard(DeviceUnderTest& device, const QString& text)
{
    for (const QChar c : text) {
        static const int columns[] = {158, 213, 267};
        static const int rows[] = {690, 636, 581};
        const int digit = c.digitValue();
        const QPoint key = c == QLatin1Char('.') ? QPoint(267, 745)
                           : digit == 0          ? QPoint(213, 745)
                                                 : QPoint(columns[(digit - 1) % 3], rows[(digit - 1) / 3]);
        if (!device.tapAt(key.x(), key.y()))
            return false;
    }
    return true;
}

// Keys of the serial-number page's key pad in window coordinates.
bool typeOnKeyPad(DeviceUnderTest& device, const QString& text)
{
    for (const QChar c : text) {
        const int digit = c.digitValue();
        const QPoint key = c == QLatin1Char('C') ? QPoint(119, 568)
                           : c == QLatin1Char('K') ? QPoint(359, 568)
                           : digit == 0            ? QPoint(239, 568)
                                                   : QPoint(119 + 120 * ((digit - 1) % 3), 376 + 64 * ((digit - 1) / 3));
        if (!device.tapAt(key.x(), key.y()))
            return false;
    }
    return true;
}

bool isTopic(const MqttPeer::Message& message, const char* topic)
{
    return message.topic == QLatin1String(topic);
}

} // namespace

// One validator through its life, on the real application and the device
// simulator over a private broker: commissioned on the keyboard, validating,
// its settings changed by touch, switched off and on, serviced by a
// technician with a configuration barcode. The roads run in order on the
// same device; a peer sees every message and the application's log shows
// its screens.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase() { m_device.reset(); }
    void firstStartOnTheKeyPad();
    void validationRoad();
    void pinPageLeftAloneWhileOutOfOrder();
    void settingsPagesByTouch();
    void ignitionOffEndsInAShutdownRequest();
    void maintenanceRoad();

private:
    bool ensureRunning();

    std::unique_ptr<DeviceUnderTest> m_device;
    MqttPeer* m_peer = nullptr;
};

void TestEndToEnd::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed to press the screen");
    m_device = std::make_unique<DeviceUnderTest>();
    QVERIFY(m_device->startServices());
    m_peer = &m_device->peer();
}

// Roads run alone start the application themselves.
bool TestEndToEnd::ensureRunning()
{
    return m_device->application().state() != QProcess::NotRunning
           || (m_device->startApplication() && m_device->findWindow());
}

void TestEndToEnd::cleanup()
{
    if (QTest::currentTestFailed())
        m_device->printLogs();
}

// A device without a serial number is commissioned on its key pad. Run as
// root, its root is read-only and only the serial-number file is bound
// writable over it, as on the device: the number is written in place. It is
// read back after a restart.
void TestEndToEnd::firstStartOnTheKeyPad()
{
    const QString serial = m_device->filePath(QStringLiteral("serialnumber"));
    QFile empty(serial);
    QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    QStringList wrapper;
    if (geteuid() == 0) {
        wrapper = QStringList{QStringLiteral("unshare"), QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                              QStringLiteral("mount --bind \"$1\" \"$1\" && mount --rbind \"$0\" \"$0\" "
                                             "&& mount -o remount,bind,ro \"$0\" && shift && exec \"$@\""),
                              m_device->filePath(QString()), serial};
    }
    QVERIFY(m_device->launchApplication(wrapper));
    QVERIFY(m_device->waitLog("Setting screen : InitPage", 0, 20000));
    QVERIFY(m_device->findWindow());
    settle(500);
    QVERIFY(typeOnKeyPad(*m_device, QStringLiteral("K12345678")));
    // SAVE asks for confirmation; "Yes" stores the number.
    QVERIFY(m_device->tapAt(239, 705));
    settle(500);
    QVERIFY(m_device->tapAt(160, 463));
    QVERIFY(m_device->waitForPassengerScreen());
    QVERIFY(!m_device->log().contains("Could not save device S/N"));
    QFile saved(serial);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("K12345678"));

    m_device->killApplication();
    const int mark = m_device->logMark();
    QVERIFY(m_device->launchApplication());
    QVERIFY(m_device->waitLog("Loading device id from", mark));
    QVERIFY(m_device->waitForPassengerScreen(mark));
    QVERIFY(m_device->findWindow());
}

// Each result shows at once, over the one before it, with its sound; in the
// end the passenger screen comes back. Run alone (as the arm64 road runs it)
// it starts the application itself.
void TestEndToEnd::validationRoad()
{
    if (m_device->application().state() == QProcess::NotRunning)
        QVERIFY(m_device->startApplication());
    // A card tapped before the reader is enabled is not read; the reader's
    // state on its status says when it is.
    const auto readerState = [this] {
        const QJsonObject status = m_peer->lastJson(QStringLiteral("kivo/blm/status"));
        return status.value("device").toObject().value("rfid").toObject().value("state").toInt();
    };
    QTRY_COMPARE_WITH_TIMEOUT(readerState(), 2, 30000);
    const char* const taps[][3] = {
        {"tap valid", "Setting screen : Valid (", "/opt/kivo/quillon/Valid.wav"},
        {"tap already", "Setting screen : AlreadyValid (", "/opt/kivo/quillon/Invalid.wav"},
        {"tap deny 205", "Setting screen : Invalid (", "/opt/kivo/quillon/Invalid.wav"},
    };
    int mark = 0;
    for (const auto& tap : taps) {
        mark = m_device->logMark();
        const int from = m_peer->size();
        m_device->command(QLatin1String(tap[0]));
        QVERIFY2(m_device->waitLog(tap[1], mark), tap[0]);
        QCOMPARE(m_peer->waitJson(QStringLiteral("kivo/inspector/audio/play"), from, 30000)["filepath"].toString(),
                 QLatin1String(tap[2]));
    }
    QVERIFY(m_device->waitLog("Setting screen : ScanScreens", mark));
}

// Out of order, the PIN page opened by a hold on the clock and left alone
// gives the passengers' screen back to the out-of-order page by itself.
void TestEndToEnd::pinPageLeftAloneWhileOutOfOrder()
{
    QVERIFY(ensureRunning());
    int mark = m_device->logMark();
    m_device->command(QStringLiteral("service validation offline"));
    QVERIFY(m_device->waitLog("Setting screen : OutOfOrder", mark));
    mark = m_device->logMark();
    QVERIFY(m_device->openPinPage());
    const int login = m_device->log().indexOf("Setting screen : Login", mark);
    QVERIFY(m_device->waitLog("Setting screen : OutOfOrder", login, 20000));
    mark = m_device->logMark();
    m_device->command(QStringLiteral("service validation online"));
    QVERIFY(m_device->waitForPassengerScreen(mark));
}

// By touch: the Ethernet tab and a manual address that reaches the network
// service; the self-test report whose code a phone reads off the screen.
void TestEndToEnd::settingsPagesByTouch()
{
    QVERIFY(m_device->loginFromTheClock());
    // Network, its Ethernet tab, Configure, the mode list, "manual", the address field.
    const int steps[][3] = {{240, 570, 500}, {360, 95, 1000}, {240, 508, 1000},
                            {330, 113, 500}, {330, 155, 500},  {330, 180, 1500}};
    for (const auto& step : steps) {
        QVERIFY(m_device->tapAt(step[0], step[1]));
        settle(step[2]);
    }
    QVERIFY(typeOnKeyboard(*m_device, QStringLiteral("10.1.2.3")));
    QVERIFY(m_device->tapAt(330, 244));
    QVERIFY(typeOnKeyboard(*m_device, QStringLiteral("255.0.0.0")));
    // Enter.
    QVERIFY(m_device->tapAt(322, 745));
    const int from = m_peer->size();
    QVERIFY(m_device->tapAt(340, 521));
    const QJsonObject set = m_peer->waitJson(QStringLiteral("kivo/network/ethernet/config/set"), from, 30000);
    QCOMPARE(set["method"].toString(), QStringLiteral("manual"));
    QCOMPARE(set["address"].toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(set["netmask"].toString(), QStringLiteral("255.0.0.0"));
    QVERIFY(!m_device->log().contains("QMetaProperty"));

    // Back, Diagnostics, FINISH: the report popup and its code.
    QVERIFY(m_device->tapAt(30, 33));
    settle(500);
    QVERIFY(m_device->tapAt(240, 205));
    settle(1000);
    const int mark = m_device->logMark();
    QVERIFY(m_device->tapAt(396, 730));
    QVERIFY(m_device->waitLog("Saving Diagnostics report to", mark));
    settle(1000);
    const QString screen = m_device->filePath(QStringLiteral("screen.png"));
    QCOMPARE(QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), screen}), 0);
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), screen});
    QVERIFY(zbar.waitForFinished(30000));
    const QList<QByteArray> fields = zbar.readAllStandardOutput().trimmed().split(';');
    QCOMPARE(fields.size(), 35);
    QCOMPARE(fields.first(), QByteArray("K12345678"));
    // The simulator plays a healthy device: no check fails.
    QVERIFY2(!fields.contains("ERROR"), fields.join(';').constData());
}

// From the technician's report popup: the session ends with the ignition.
void TestEndToEnd::ignitionOffEndsInAShutdownRequest()
{
    const int mark = m_device->logMark();
    const int from = m_peer->size();
    m_device->command(QStringLiteral("ignition off"));
    QVERIFY(m_device->waitLog("Setting screen : ScreenSaver", mark));
    // The board keeps power a minute longer than the application waits.
    QTRY_COMPARE_WITH_TIMEOUT(
        m_peer->lastJson(QStringLiteral("kivo/board/config"))["device"].toObject()["delayShutdownFor"].toInt(), 61,
        30000);
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/inspector/power/shutdown/request/1"), 30000, from));
    m_device->command(QStringLiteral("ignition on"));
    QVERIFY(m_device->waitLog("Setting screen : ScanScreens", mark));
}

void TestEndToEnd::maintenanceRoad()
{
    QVERIFY(m_device->loginFromTheClock());
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->lastJson(QStringLiteral("kivo/ui/status"))["technician"].toBool(), 30000);

    // During the session a validation neither plays a sound nor leaves the
    // menu. The barcode after it is handled in order, so what the validation
    // caused comes before it on the bus and in the log.
    int mark = m_device->logMark();
    const int from = m_peer->size();
    m_device->command(QStringLiteral("tap valid"));
    QVERIFY(m_device->waitLog("Validator card detected : uid=", mark));
    m_device->command(QStringLiteral("barcode"));
    QVERIFY(m_device->waitLog("Applying Validator configuration", mark));
    QVERIFY(!m_device->log().mid(mark).contains("Setting screen : Valid"));
    QVERIFY(!m_device->log().mid(mark).contains("Maintenance session is not active"));
    const QList<MqttPeer::Message> seen = m_peer->messages().mid(from);
    const auto barcode = std::find_if(seen.begin(), seen.end(), [](const MqttPeer::Message& m) {
        return isTopic(m, "kivo/blm/barcode/maintenance/scanned");
    });
    QVERIFY(std::none_of(seen.begin(), barcode,
                         [](const MqttPeer::Message& m) { return isTopic(m, "kivo/inspector/audio/play"); }));
    // A tap outside closes the "CONFIGURATION APPLIED" popup.
    settle(500);
    QVERIFY(m_device->tapAt(240, 750));
    settle(500);

    // Logout from the options menu returns the passenger screen. The menu
    // opens with an animation; on a loaded machine a tap can land before it is there.
    mark = m_device->logMark();
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_device->tapAt(450, 35) && (QTest::qWait(500), m_device->tapAt(380, 294))
                && m_device->waitLog("Setting screen : ScanScreens", mark, 3000);
        },
        30000));
    QTRY_VERIFY_WITH_TIMEOUT(!m_peer->lastJson(QStringLiteral("kivo/ui/status"))["technician"].toBool(), 30000);
    QFile events(m_device->filePath(QStringLiteral("events.ini")));
    QVERIFY(events.open(QIODevice::ReadOnly));
    const QByteArray stored = events.readAll();
    QVERIFY(stored.contains("Maintenance login") && stored.contains("Maintenance logout"));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_EndToEnd.moc"
