#include "MqttPeer.h"
#include "TestBroker.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Ui = QStringLiteral("kivo/ui");

} // namespace

// The real program against a real broker, as the device runs it.
class TestQuillon : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ownTopics();
    void configurationSetRewritesTheFile();
    void validatorDrivesTheScreen();

private:
    bool waitForLog(const QString& text, int millis = 5000);
    bool request(const QString& suffix, const QByteArray& payload, const QString& answer);
    QVariant stored(const QString& key) const;

    TestBroker* m_broker = nullptr;
    QTemporaryDir* m_dir = nullptr;
    MqttPeer* m_peer = nullptr;
    QProcess* m_app = nullptr;
    QString m_log;
};

void TestQuillon::init()
{
    m_broker = new TestBroker;
    QVERIFY(m_broker->start());
    m_dir = new QTemporaryDir;
    QFile serial(m_dir->filePath(QStringLiteral("serialnumber")));
    QVERIFY(serial.open(QIODevice::WriteOnly));
    serial.write("SN-1001\n");
    serial.close();
    {
        QSettings conf(m_dir->filePath(QStringLiteral("gui.conf")), QSettings::IniFormat);
        conf.setValue(QStringLiteral("mqtt/host"), m_broker->host());
        conf.setValue(QStringLiteral("mqtt/port"), m_broker->port());
        conf.setValue(QStringLiteral("gui/deviceId"), serial.fileName());
        conf.setValue(QStringLiteral("log/syslog"), false);
    }
    m_peer = new MqttPeer(m_broker->port());
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(QStringLiteral("#")));

    const QString program = qEnvironmentVariable("QUILLON_BIN");
    QVERIFY2(QFile::exists(program), "QUILLON_BIN must name the program");
    m_app = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLON_EVENTS_FILE"), m_dir->filePath(QStringLiteral("events.ini")));
    m_app->setProcessEnvironment(env);
    m_app->setWorkingDirectory(m_dir->path());
    m_app->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_app, &QProcess::readyRead, this,
            [this] { m_log += QString::fromUtf8(m_app->readAll()); });
    m_app->start(program, {QStringLiteral("-f"), QStringLiteral("gui.conf")});
    QVERIFY(m_app->waitForStarted());
    QVERIFY(m_peer->waitFor(Ui + QStringLiteral("/config"), 15000));
}

void TestQuillon::cleanup()
{
    if (m_app->state() != QProcess::NotRunning) {
        m_app->kill();
        m_app->waitForFinished();
    }
    delete m_app;
    delete m_peer;
    delete m_dir;
    delete m_broker;
}

bool TestQuillon::waitForLog(const QString& text, int millis)
{
    return QTest::qWaitFor([&] { return m_log.contains(text); }, millis);
}

bool TestQuillon::request(const QString& suffix, const QByteArray& payload, const QString& answer)
{
    const int from = m_peer->size();
    m_peer->publish(Ui + suffix, payload);
    return m_peer->waitFor(Ui + answer, 5000, from);
}

QVariant TestQuillon::stored(const QString& key) const
{
    QSettings conf(m_dir->filePath(QStringLiteral("gui.conf")), QSettings::IniFormat);
    return conf.value(key);
}

void TestQuillon::ownTopics()
{
    // What the first connection publishes.
    QCOMPARE(m_peer->lastJson(Ui + "/info"), QJsonObject({{"version", "1.0.21"}}));
    QCOMPARE(m_peer->lastJson(Ui + "/status"), QJsonObject({{"technician", false}, {"service", true}}));
    QCOMPARE(m_peer->lastJson(Ui + "/config").value("mqtt").toObject().value("base").toString(), Ui);

    m_peer->clear();
    QVERIFY(request("/status/get", "", "/status"));
    QVERIFY(request("/info/get", "{}", "/info"));
    QVERIFY(request("/config/get", "not json", "/config"));
    QCOMPARE(m_peer->count(Ui + "/status"), 1);
    QCOMPARE(m_peer->count(Ui + "/info"), 1);
    QCOMPARE(m_peer->count(Ui + "/config"), 1);
    QCOMPARE(m_peer->lastJson(Ui + "/config").value("gui").toObject().value("deviceId").toString(),
             m_dir->filePath(QStringLiteral("serialnumber")));
    // Answers are indented JSON.
    QVERIFY(m_peer->last(Ui + "/info").contains("\n    \"version\""));

    // A topic outside the base is not ours, whatever its ending.
    m_peer->publish(QStringLiteral("other/ui/info/get"), QByteArray());
    QVERIFY(request("/info/get", "", "/info"));
    QCOMPARE(m_peer->count(Ui + "/info"), 2);

    // The start was recorded in the event log.
    QSettings events(m_dir->filePath(QStringLiteral("events.ini")), QSettings::IniFormat);
    QCOMPARE(events.beginReadArray(QStringLiteral("events")), 1);
    events.setArrayIndex(0);
    QCOMPARE(events.value(QStringLiteral("name")).toString(), QStringLiteral("Application started"));
    events.endArray();

    // The broker announces the loss of the program with the will.
    m_peer->clear();
    m_app->kill();
    QVERIFY(m_peer->waitFor(Ui + "/status"));
    QCOMPARE(m_peer->lastJson(Ui + "/status"), QJsonObject({{"service", false}}));
    m_peer->publish(Ui + "/status", QByteArray(), true);
}

void TestQuillon::configurationSetRewritesTheFile()
{
    m_peer->clear();
    QVERIFY(request("/config/set", R"({"gui": {"displayOffMin": 7}})", "/config"));
    QCOMPARE(m_peer->lastJson(Ui + "/config").value("gui").toObject().value("displayOffMin").toInt(), 7);
    QCOMPARE(stored("gui/displayOffMin").toInt(), 7);
    QVERIFY(waitForLog("[GUIManager] Display OFF interval changed : 7 min(s)"));

    // Both keys of one change set are applied, and the configuration goes out once.
    m_peer->clear();
    QVERIFY(request("/config/set", R"({"gui": {"locale": "en_IE", "showCursor": false}})", "/config"));
    QVERIFY(waitForLog("[GUIManager] Cursor changed : hidden"));
    QVERIFY(waitForLog("[GUIManager] Language changed : en_IE"));
    QCOMPARE(stored("gui/locale").toString(), QStringLiteral("en_IE"));
    QCOMPARE(stored("gui/showCursor").toBool(), false);
    QVERIFY(request("/info/get", "", "/info"));
    QCOMPARE(m_peer->count(Ui + "/config"), 1);
}

void TestQuillon::validatorDrivesTheScreen()
{
    QVERIFY(waitForLog("[GUIManager] Setting screen : Busy (timeout=10000 msec)"));
    const QJsonObject state{{"hasRfid", true}, {"hasRoute", true}, {"hasQr", true}, {"hasObu", true}};
    m_peer->publish(QStringLiteral("kivo/blm/status"), QJsonObject{{"service", true}, {"state", state}});
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/enable")));
    QVERIFY(waitForLog("[GUIManager] Setting screen : ScanScreens"));

    const QJsonObject transaction{{"result", true}, {"type", 1}};
    m_peer->publish(QStringLiteral("kivo/blm/rfid/scanned"), QJsonObject{{"transaction", transaction}});
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/inspector/audio/play")));
    QCOMPARE(m_peer->lastJson(QStringLiteral("kivo/inspector/audio/play")).value("filepath").toString(),
             QStringLiteral("/opt/kivo/quillon/Valid.wav"));
    QVERIFY(waitForLog("[GUIManager] Setting screen : Valid (timeout=3000 msec)"));
    QVERIFY(waitForLog("[GUIManager] Screen timeout : Valid", 6000));
}

QTEST_GUILESS_MAIN(TestQuillon)
#include "tst_Quillon.moc"
