#include "DeviceUnderTest.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QJsonObject>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

namespace {

// Pages slide in, lists drop down and the keyboard loads its layouts: a touch
// waits for them, several times longer in the sanitized build.
void settle(int millis)
{
    QTest::qWait(qEnvironmentVariableIsSet("QUILLON_SANITIZED") ? 3 * millis : millis);
}

} // namespace

// The real application and the device simulator on a private broker, with a
// peer that sees every message; the application's log shows its screens.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void validationRoad();
    void maintenanceRoad();
    void firstStartOnTheKeyboard();
    void settingsPagesByTouch();
    void ignitionOffEndsInAShutdownRequest();
    void recoversFromABrokerRestart();
    void killedApplicationLeavesItsWill();

private:
    void command(const QString& line);
    bool waitLog(const QByteArray& text, int from, int millis = 10000);
    int logMark() const;
    bool typeOnKeyboard(const QString& text, bool onDigits = false);
    QString grabScreen();

    DeviceUnderTest* m_device = nullptr;
    MqttPeer* m_peer = nullptr;
};

void TestEndToEnd::init()
{
    // A failed init gets no cleanup from the test runner; child processes
    // left behind would keep the runner's output open.
    auto onFailure = qScopeGuard([this] { cleanup(); });
    m_device = new DeviceUnderTest;
    QVERIFY(m_device->startServices());
    m_peer = &m_device->peer();
    QVERIFY(m_device->startApplication());
    onFailure.dismiss();
}

void TestEndToEnd::cleanup()
{
    if (m_device && QTest::currentTestFailed())
        m_device->printLogs();
    delete m_device;
    m_device = nullptr;
    m_peer = nullptr;
}

void TestEndToEnd::command(const QString& line)
{
    m_device->command(line);
}

int TestEndToEnd::logMark() const
{
    return m_device->logMark();
}

bool TestEndToEnd::waitLog(const QByteArray& text, int from, int millis)
{
    return m_device->waitLog(text, from, millis);
}

void TestEndToEnd::validationRoad()
{
    struct Case {
        const char* command;
        const char* screen;
        const char* sound;
    };
    const Case cases[] = {
        {"tap valid", "Setting screen : Valid (", "/opt/kivo/quillon/Valid.wav"},
        {"tap already", "Setting screen : AlreadyValid (", "/opt/kivo/quillon/Invalid.wav"},
        {"tap deny 205", "Setting screen : Invalid (", "/opt/kivo/quillon/Invalid.wav"},
    };
    for (const Case& c : cases) {
        const int mark = logMark();
        const int from = m_peer->size();
        command(QLatin1String(c.command));
        QVERIFY2(waitLog("Validator card detected : uid=", mark), c.command);
        QCOMPARE(m_peer->waitJson(QStringLiteral("kivo/inspector/audio/play"), from, 10000).value("filepath").toString(),
                 QLatin1String(c.sound));
        QVERIFY2(waitLog(c.screen, mark), c.command);
        const int shown = m_device->log().indexOf(c.screen, mark);
        QVERIFY2(waitLog("Setting screen : ScanScreens", shown), c.command);
    }
}

void TestEndToEnd::maintenanceRoad()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed to press the screen");
    QVERIFY(m_device->findWindow());
    QVERIFY(m_device->loginFromTheClock());
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->lastJson(QStringLiteral("kivo/ui/status"))["technician"].toBool(), 10000);

    // During the session a validation neither plays a sound nor leaves the menu.
    int mark = logMark();
    const int from = m_peer->size();
    command(QStringLiteral("tap valid"));
    QVERIFY(waitLog("Validator card detected : uid=", mark));
    QTest::qWait(1000);
    QVERIFY(!m_device->log().mid(mark).contains("Setting screen : Valid"));
    QVERIFY(!m_peer->waitFor(QStringLiteral("kivo/inspector/audio/play"), 100, from));

    mark = logMark();
    command(QStringLiteral("barcode"));
    QVERIFY(waitLog("Maintenance Barcode scanned", mark));
    QTest::qWait(500);
    QVERIFY(!m_device->log().mid(mark).contains("Maintenance session is not active"));
    QVERIFY(m_device->log().indexOf("Applying Validator configuration", mark) >= 0);
    // A tap outside closes the "CONFIGURATION APPLIED" popup.
    QVERIFY(m_device->tapAt(240, 750));
    QTest::qWait(500);

    // Logout from the options menu returns the passenger screen.
    mark = logMark();
    // The menu opens with an animation; on a loaded machine a tap can land
    // before it is there.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_device->tapAt(450, 35) && (QTest::qWait(500), m_device->tapAt(380, 294))
                && waitLog("Setting screen : ScanScreens", mark, 3000);
        },
        12000));
    QTRY_VERIFY_WITH_TIMEOUT(!m_peer->lastJson(QStringLiteral("kivo/ui/status"))["technician"].toBool(), 10000);

    QFile events(m_device->filePath(QStringLiteral("events.ini")));
    QVERIFY(events.open(QIODevice::ReadOnly));
    const QByteArray stored = events.readAll();
    QVERIFY(stored.contains("Maintenance login"));
    QVERIFY(stored.contains("Maintenance logout"));
}

// Keys of the on-screen keyboard in window coordinates: letters on the first
// layer, digits and the dot on the second, which "&123" and "ABC" switch between.
// Fields that prefer numbers open on the second.
bool TestEndToEnd::typeOnKeyboard(const QString& text, bool onDigits)
{
    static const QHash<QChar, QPoint> letters{{QLatin1Char('k'), {335, 700}}};
    static const QPoint layerSwitch{63, 767};
    bool digits = onDigits;
    for (const QChar c : text) {
        const bool digit = c.isDigit() || c == QLatin1Char('.');
        if (digit != digits && !m_device->tapAt(layerSwitch.x(), layerSwitch.y()))
            return false;
        digits = digit;
        const QPoint key = c == QLatin1Char('.') ? QPoint(320, 767)
                           : digit              ? QPoint(41 + 40 * ((c.digitValue() + 9) % 10), 667)
                                                : letters.value(c.toLower());
        if (key.isNull() || !m_device->tapAt(key.x(), key.y()))
            return false;
    }
    return true;
}

QString TestEndToEnd::grabScreen()
{
    const QString file = m_device->filePath(QStringLiteral("screen.png"));
    QProcess grab;
    grab.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), file});
    return grab.waitForFinished(10000) && grab.exitCode() == 0 ? file : QString();
}

// A device without a serial number is commissioned on the on-screen keyboard.
void TestEndToEnd::firstStartOnTheKeyboard()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed to press the screen");
    m_device->killApplication();
    QVERIFY(QFile::remove(m_device->filePath(QStringLiteral("serialnumber"))));
    const int start = logMark();
    QVERIFY(m_device->launchApplication());
    QVERIFY(waitLog("Setting screen : InitPage", start, 20000));
    QVERIFY(m_device->findWindow());
    QVERIFY(m_device->tapAt(240, 266));
    settle(1500);
    QVERIFY(typeOnKeyboard(QStringLiteral("k12345678")));
    // Enter hides the keyboard and asks for confirmation; "Yes" stores the number.
    QVERIFY(m_device->tapAt(427, 700));
    settle(500);
    QVERIFY(m_device->tapAt(160, 463));
    QVERIFY(waitLog("Setting screen : ScanScreens", start));
    QFile serial(m_device->filePath(QStringLiteral("serialnumber")));
    QVERIFY(serial.open(QIODevice::ReadOnly));
    QCOMPARE(serial.readAll().trimmed(), QByteArray("K12345678"));
}

// By touch: the Ethernet tab and a manual address that reaches the network
// service; the self-test report whose code a phone reads off the screen.
void TestEndToEnd::settingsPagesByTouch()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed to press the screen");
    QVERIFY(m_device->findWindow());
    QVERIFY(m_device->loginFromTheClock());
    // Network, its Ethernet tab, Configure, the mode list, "manual", the address field.
    const int steps[][3] = {{240, 570, 500}, {360, 95, 1000}, {240, 508, 1000},
                            {330, 113, 500}, {330, 155, 500},  {330, 180, 1500}};
    for (const auto& step : steps) {
        QVERIFY(m_device->tapAt(step[0], step[1]));
        settle(step[2]);
    }
    QVERIFY(typeOnKeyboard(QStringLiteral("10.1.2.3"), true));
    QVERIFY(m_device->tapAt(330, 244));
    QVERIFY(typeOnKeyboard(QStringLiteral("255.255.255.0"), true));
    QVERIFY(m_device->tapAt(427, 700));
    const int from = m_peer->size();
    QVERIFY(m_device->tapAt(340, 521));
    const QJsonObject set = m_peer->waitJson(QStringLiteral("kivo/network/ethernet/config/set"), from, 10000);
    QCOMPARE(set.value("method").toString(), QStringLiteral("manual"));
    QCOMPARE(set.value("address").toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(set.value("netmask").toString(), QStringLiteral("255.255.255.0"));
    QVERIFY(!m_device->log().contains("QMetaProperty"));

    QVERIFY(m_device->tapAt(30, 33));
    settle(500);
    QVERIFY(m_device->tapAt(240, 205));
    settle(1000);
    const int mark = logMark();
    QVERIFY(m_device->tapAt(396, 758));
    QVERIFY(waitLog("Saving Diagnostics report to", mark));
    settle(1000);
    const QString screen = grabScreen();
    QVERIFY(!screen.isEmpty());
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), screen});
    QVERIFY(zbar.waitForFinished(10000));
    const QList<QByteArray> fields = zbar.readAllStandardOutput().trimmed().split(';');
    QCOMPARE(fields.size(), 35);
    QCOMPARE(fields.first(), QByteArray("E2E-0001"));
}

void TestEndToEnd::ignitionOffEndsInAShutdownRequest()
{
    const int mark = logMark();
    const int from = m_peer->size();
    command(QStringLiteral("ignition off"));
    QVERIFY(waitLog("Setting screen : ScreenSaver", mark));
    // The board keeps power a minute longer than the application waits.
    QTRY_COMPARE_WITH_TIMEOUT(
        m_peer->lastJson(QStringLiteral("kivo/board/config"))["device"].toObject()["delayShutdownFor"].toInt(), 61,
        10000);
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/inspector/power/shutdown/request/1"), 10000, from));
}

void TestEndToEnd::recoversFromABrokerRestart()
{
    const int mark = logMark();
    QVERIFY(m_device->broker().restart());
    QVERIFY(waitLog("WARN: Disconnected from MQTT broker", mark));
    QVERIFY(waitLog("Connected to MQTT broker", m_device->log().indexOf("WARN: Disconnected from MQTT broker", mark), 15000));
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(QStringLiteral("#")));
    const int back = logMark();
    QVERIFY(waitLog("Setting screen : ScanScreens", mark, 15000));

    // Commands can be lost while the simulator reconnects; retry until one lands.
    QVERIFY(QTest::qWaitFor(
        [&] {
            command(QStringLiteral("tap valid"));
            return waitLog("Setting screen : Valid (", back, 1000);
        },
        15000));
}

void TestEndToEnd::killedApplicationLeavesItsWill()
{
    const int from = m_peer->size();
    m_device->killApplication();
    QCOMPARE(m_peer->waitJson(QStringLiteral("kivo/ui/status"), from, 10000), (QJsonObject{{"service", false}}));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_EndToEnd.moc"
