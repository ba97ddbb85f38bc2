#include "MqttPeer.h"
#include "TestBroker.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
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
    void ignitionOffEndsInAShutdownRequest();
    void recoversFromABrokerRestart();
    void killedApplicationLeavesItsWill();

private:
    bool startApplication();
    void command(const QString& line);
    bool waitLog(const QByteArray& text, int from, int millis = 10000);
    int logMark() const;
    QJsonObject waitJson(const QString& topic, int from, int millis = 10000);

    QTemporaryDir* m_dir = nullptr;
    TestBroker* m_broker = nullptr;
    MqttPeer* m_peer = nullptr;
    QProcess* m_sim = nullptr;
    QProcess* m_app = nullptr;
    QByteArray m_appLog;
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
    return waitLog("Setting screen : ScanScreens", 0, 20000);
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
}

void TestEndToEnd::command(const QString& line)
{
    QVERIFY(m_peer->publish(QStringLiteral("kivo/simulator/command"), line.toUtf8()));
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
