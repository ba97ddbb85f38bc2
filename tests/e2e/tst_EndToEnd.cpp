#include "MqttPeer.h"
#include "TestBroker.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPoint>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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
    void ignitionOffEndsInAShutdownRequest();
    void recoversFromABrokerRestart();
    void killedApplicationLeavesItsWill();

private:
    bool startApplication();
    void command(const QString& line);
    bool findWindow();
    bool pointer(const QStringList& actions);
    bool tapAt(int x, int y);
    bool loginFromTheClock();
    bool waitLog(const QByteArray& text, int from, int millis = 10000);
    int logMark() const;
    QJsonObject waitJson(const QString& topic, int from, int millis = 10000);

    QTemporaryDir* m_dir = nullptr;
    TestBroker* m_broker = nullptr;
    MqttPeer* m_peer = nullptr;
    QProcess* m_sim = nullptr;
    QProcess* m_app = nullptr;
    QByteArray m_appLog;
    QString m_window;
};

void TestEndToEnd::init()
{
    // A failed init gets no cleanup from the test runner; child processes
    // left behind would keep the runner's output open.
    auto onFailure = qScopeGuard([this] { cleanup(); });
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_broker = new TestBroker;
    QVERIFY(m_broker->start());
    m_peer = new MqttPeer(m_broker->port());
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(QStringLiteral("#")));

    m_sim = new QProcess;
    m_sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sim->setStandardOutputFile(m_dir->filePath(QStringLiteral("simulator.log")));
    m_sim->start(QStringLiteral(QUILLON_BINARY_DIR "/tools/simulator/quillon-simulator"),
                 {QStringLiteral("-H"), m_broker->host(), QStringLiteral("-P"), QString::number(m_broker->port())});
    QVERIFY(m_sim->waitForStarted(5000));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/device/status")));
    // Once a retry command comes back the simulator hears the application.
    QVERIFY(QTest::qWaitFor(
        [this] {
            const int from = m_peer->size();
            command(QStringLiteral("retry"));
            return m_peer->waitFor(QStringLiteral("kivo/blm/rfid/retry"), 1000, from);
        },
        10000));
    QVERIFY(startApplication());
    onFailure.dismiss();
}

bool TestEndToEnd::startApplication()
{
    QFile serial(m_dir->filePath(QStringLiteral("serialnumber")));
    QFile conf(m_dir->filePath(QStringLiteral("gui.conf")));
    if (!serial.open(QIODevice::WriteOnly) || !conf.open(QIODevice::WriteOnly))
        return false;
    serial.write("E2E-0001\n");
    conf.write("[gui]\ndeviceId=" + serial.fileName().toUtf8()
               + "\nlocale=en_GB\nshutdownDelaySec=1\n\n[log]\nsyslog=false\n");
    serial.close();
    conf.close();

    if (!QFile::exists(qEnvironmentVariable("QUILLON_BIN")))
        return false;
    m_app = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLON_EVENTS_FILE"), m_dir->filePath(QStringLiteral("events.ini")));
    m_app->setProcessEnvironment(env);
    m_app->setWorkingDirectory(m_dir->path());
    m_app->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_app, &QProcess::readyReadStandardOutput, this, [this] { m_appLog += m_app->readAllStandardOutput(); });
    m_app->start(qEnvironmentVariable("QUILLON_BIN"),
                 {QStringLiteral("-f"), conf.fileName(), QStringLiteral("-e"), QStringLiteral("-H"), m_broker->host(),
                  QStringLiteral("-P"), QString::number(m_broker->port())});
    if (!m_app->waitForStarted(5000))
        return false;
    // The passenger screen needs the validation service's state, which the
    // simulator sends again as soon as the application announces itself.
    // Under emulation (the arm64 road) loading the pages can outlast the
    // broker's keep-alive, and the application first reconnects.
    return waitLog("Setting screen : ScanScreens", 0, 60000);
}

void TestEndToEnd::cleanup()
{
    for (QProcess* p : {m_app, m_sim}) {
        if (p && p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    if (QTest::currentTestFailed()) {
        qWarning().noquote() << "Application log:\n" << m_appLog.right(6000);
        QFile sim(m_dir->filePath(QStringLiteral("simulator.log")));
        if (sim.open(QIODevice::ReadOnly))
            qWarning().noquote() << "Simulator log:\n" << sim.readAll().right(6000);
    }
    delete m_app;
    delete m_sim;
    delete m_peer;
    delete m_broker;
    delete m_dir;
    m_app = m_sim = nullptr;
    m_peer = nullptr;
    m_broker = nullptr;
    m_dir = nullptr;
    m_appLog.clear();
    m_window.clear();
}

void TestEndToEnd::command(const QString& line)
{
    QVERIFY(m_peer->publish(QStringLiteral("kivo/simulator/command"), line.toUtf8()));
}

bool TestEndToEnd::findWindow()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                             QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                             QString::number(m_app->processId())});
    if (!search.waitForFinished(10000) || search.exitCode() != 0)
        return false;
    m_window = QString::fromUtf8(search.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    return !m_window.isEmpty();
}

// Real pointer input through the X server, in the application window's own
// coordinates (480 x 800, the page layout the technician sees).
bool TestEndToEnd::pointer(const QStringList& actions)
{
    QProcess xdo;
    xdo.start(QStringLiteral("xdotool"), actions);
    return xdo.waitForFinished(10000) && xdo.exitCode() == 0;
}

bool TestEndToEnd::tapAt(int x, int y)
{
    if (!pointer({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window, QString::number(x),
                    QString::number(y), QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"),
                    QStringLiteral("0.1"), QStringLiteral("mouseup"), QStringLiteral("1")})) {
        return false;
    }
    QTest::qWait(150);
    return true;
}

int TestEndToEnd::logMark() const
{
    return m_appLog.size();
}

bool TestEndToEnd::waitLog(const QByteArray& text, int from, int millis)
{
    return QTest::qWaitFor([&] { return m_appLog.indexOf(text, from) >= 0; }, millis);
}

QJsonObject TestEndToEnd::waitJson(const QString& topic, int from, int millis)
{
    if (!m_peer->waitFor(topic, millis, from))
        return {};
    const QList<MqttPeer::Message> all = m_peer->messages();
    for (int i = from; i < all.size(); ++i) {
        if (all.at(i).topic == topic)
            return QJsonDocument::fromJson(all.at(i).payload).object();
    }
    return {};
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
        QCOMPARE(waitJson(QStringLiteral("kivo/inspector/audio/play"), from).value("filepath").toString(),
                 QLatin1String(c.sound));
        QVERIFY2(waitLog(c.screen, mark), c.command);
        const int shown = m_appLog.indexOf(c.screen, mark);
        QVERIFY2(waitLog("Setting screen : ScanScreens", shown), c.command);
    }
}

// Press and hold the header clock, then the built-in PIN 7315 and LOGIN.
bool TestEndToEnd::loginFromTheClock()
{
    const int mark = logMark();
    if (!pointer({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window, QStringLiteral("355"),
                  QStringLiteral("60"), QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"),
                  QStringLiteral("1.5"), QStringLiteral("mouseup"), QStringLiteral("1")})
        || !waitLog("Setting screen : Login", mark)) {
        return false;
    }
    const QPoint keys[] = {{116, 499}, {364, 345}, {116, 345}, {240, 422}, {240, 651}};
    for (const QPoint& key : keys) {
        if (!tapAt(key.x(), key.y()))
            return false;
    }
    return waitLog("Setting screen : Settings", mark);
}

void TestEndToEnd::maintenanceRoad()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed to press the screen");
    QVERIFY(findWindow());
    QVERIFY(loginFromTheClock());
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->lastJson(QStringLiteral("kivo/ui/status"))["technician"].toBool(), 10000);

    // During the session a validation neither plays a sound nor leaves the menu.
    int mark = logMark();
    const int from = m_peer->size();
    command(QStringLiteral("tap valid"));
    QVERIFY(waitLog("Validator card detected : uid=", mark));
    QTest::qWait(1000);
    QVERIFY(!m_appLog.mid(mark).contains("Setting screen : Valid"));
    QVERIFY(!m_peer->waitFor(QStringLiteral("kivo/inspector/audio/play"), 100, from));

    mark = logMark();
    command(QStringLiteral("barcode"));
    QVERIFY(waitLog("Maintenance Barcode scanned", mark));
    QTest::qWait(500);
    QVERIFY(!m_appLog.mid(mark).contains("Maintenance session is not active"));
    QVERIFY(m_appLog.indexOf("Applying Validator configuration", mark) >= 0);
    // A tap outside closes the "CONFIGURATION APPLIED" popup.
    QVERIFY(tapAt(240, 750));
    QTest::qWait(500);

    // Logout from the options menu returns the passenger screen.
    mark = logMark();
    // The menu opens with an animation; on a loaded machine a tap can land
    // before it is there.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return tapAt(450, 35) && (QTest::qWait(500), tapAt(380, 294))
                && waitLog("Setting screen : ScanScreens", mark, 3000);
        },
        12000));
    QTRY_VERIFY_WITH_TIMEOUT(!m_peer->lastJson(QStringLiteral("kivo/ui/status"))["technician"].toBool(), 10000);

    QFile events(m_dir->filePath(QStringLiteral("events.ini")));
    QVERIFY(events.open(QIODevice::ReadOnly));
    const QByteArray stored = events.readAll();
    QVERIFY(stored.contains("Maintenance login"));
    QVERIFY(stored.contains("Maintenance logout"));
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
    QVERIFY(m_broker->restart());
    QVERIFY(waitLog("WARN: Disconnected from MQTT broker", mark));
    QVERIFY(waitLog("Connected to MQTT broker", m_appLog.indexOf("WARN: Disconnected from MQTT broker", mark), 15000));
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
    m_app->kill();
    QVERIFY(m_app->waitForFinished(5000));
    QCOMPARE(waitJson(QStringLiteral("kivo/ui/status"), from), (QJsonObject{{"service", false}}));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_EndToEnd.moc"
