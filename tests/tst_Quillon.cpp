#include "DeviceUnderTest.h"

#include <QJsonDocument>
#include <QSettings>
#include <QTest>

#include <memory>

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
    bool waitForLog(const QByteArray& text, int millis = 5000);
    bool request(const QString& suffix, const QByteArray& payload, const QString& answer);
    QVariant stored(const QString& key) const;

    std::unique_ptr<DeviceUnderTest> m_device;
    MqttPeer* m_peer = nullptr;
};

void TestQuillon::init()
{
    m_device = std::make_unique<DeviceUnderTest>("SN-1001");
    QVERIFY(m_device->startBroker());
    m_peer = &m_device->peer();
    QVERIFY2(m_device->launchApplication(), "QUILLON_BIN must name the program");
    QVERIFY(m_peer->waitFor(Ui + QStringLiteral("/config"), 15000));
}

void TestQuillon::cleanup()
{
    if (QTest::currentTestFailed())
        m_device->printLogs();
    m_device.reset();
}

bool TestQuillon::waitForLog(const QByteArray& text, int millis)
{
    return m_device->waitLog(text, 0, millis);
}

bool TestQuillon::request(const QString& suffix, const QByteArray& payload, const QString& answer)
{
    const int from = m_peer->size();
    m_peer->publish(Ui + suffix, payload);
    return m_peer->waitFor(Ui + answer, 5000, from);
}

QVariant TestQuillon::stored(const QString& key) const
{
    QSettings conf(m_device->filePath(QStringLiteral("gui.conf")), QSettings::IniFormat);
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
             m_device->filePath(QStringLiteral("serialnumber")));
    // Answers are indented JSON.
    QVERIFY(m_peer->last(Ui + "/info").contains("\n    \"version\""));

    // A topic outside the base is not ours, whatever its ending.
    m_peer->publish(QStringLiteral("other/ui/info/get"), QByteArray());
    QVERIFY(request("/info/get", "", "/info"));
    QCOMPARE(m_peer->count(Ui + "/info"), 2);

    // The start was recorded in the event log.
    QSettings events(m_device->filePath(QStringLiteral("events.ini")), QSettings::IniFormat);
    QCOMPARE(events.beginReadArray(QStringLiteral("events")), 1);
    events.setArrayIndex(0);
    QCOMPARE(events.value(QStringLiteral("name")).toString(), QStringLiteral("Application started"));
    events.endArray();

    // The broker announces the loss of the program with the will.
    m_peer->clear();
    m_device->killApplication();
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

    // One change set across the groups: each group is applied and stored,
    // and the program comes back on the bus after the new connection.
    const int mark = m_device->logMark();
    m_peer->publish(Ui + "/config/set", QByteArray(R"({"log": {"level": 3}, "mqtt": {"username": "driver"},
                                                      "gui": {"animSwitchSec": 4}})"));
    QVERIFY(m_device->waitLog("[GUIManager] GIFs animation changed : 4", mark));
    QVERIFY(m_device->waitLog("[GUIManager] Log configuration changed. Applying.", mark));
    QVERIFY(m_device->waitLog("[GUIManager] MQTT configuration changed. Applying.", mark));
    QCOMPARE(stored("log/level").toInt(), 3);
    QCOMPARE(stored("mqtt/username").toString(), QStringLiteral("driver"));
    QCOMPARE(stored("gui/animSwitchSec").toInt(), 4);
    QVERIFY(QTest::qWaitFor([this] { return request("/info/get", "", "/info"); }, 15000));
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
