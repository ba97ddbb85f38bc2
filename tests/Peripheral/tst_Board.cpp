#include "Peripheral/Board.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using manager::Board;

namespace {

QJsonObject status(bool ignition, double temperature, int uptime, bool rtcFailed)
{
    const QJsonObject device{{"active", true},
                             {"ignition", ignition},
                             {"poleId", "P-17"},
                             {"temperature", temperature},
                             {"voltage", 24.2},
                             {"uptime", uptime},
                             {"hardwareStatus", QJsonObject{{"rtcFailed", rtcFailed}}}};
    return QJsonObject{{"service", true}, {"device", device}};
}

QJsonObject leds(int repeat, const QList<QList<int>>& steps)
{
    QJsonArray array;
    for (const QList<int>& s : steps) {
        const QJsonObject color{{"r", s[0]}, {"g", s[1]}, {"b", s[2]}};
        array.append(QJsonObject{{"color", color}, {"duration", s[3]}});
    }
    return QJsonObject{{"repeat", repeat}, {"steps", array}};
}

} // namespace

class TestBoard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusAndIgnition();
    void infoConfigDisplayAndAudio();
    void powerAndPeripherals();
    void requests();

private:
    bool settle() { return m_session->settle(); }
    void publish(const QString& suffix, const QJsonObject& message)
    {
        m_session->peer().publish(m_base + suffix, message);
    }

    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Board> m_board;
    MqttPeer* m_peer = nullptr;
    const QString m_base = QStringLiteral("kivo/board");
};

void TestBoard::init()
{
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_board = std::make_unique<Board>(m_session->client(), m_base);
    QVERIFY(m_session->connect(m_base + "/#"));
    m_peer = &m_session->peer();
}

void TestBoard::cleanup()
{
    m_board.reset();
    m_session.reset();
}

void TestBoard::statusAndIgnition()
{
    LogCapture log;
    QSignalSpy ignitionSpy(m_board.get(), &Board::ignitionChanged);
    QSignalSpy temperatureSpy(m_board.get(), &Board::temperatureChanged);
    QSignalSpy rtcSpy(m_board.get(), &Board::rtcFailedChanged);
    QVERIFY(m_board->ignition());

    publish("/status", status(false, 41.5, 3600000, true));
    publish("/status", status(false, 41.5, 3600000, true));
    QVERIFY(settle());
    QCOMPARE(m_board->status(), QStringLiteral("online"));
    QCOMPARE(m_board->poleId(), QStringLiteral("P-17"));
    QCOMPARE(m_board->voltage(), 24.2);
    QCOMPARE(m_board->uptime(), 3600000);
    QVERIFY(m_board->rtcFailed());
    QVERIFY(!m_board->ignition());
    QCOMPARE(ignitionSpy.count(), 1);
    QCOMPARE(temperatureSpy.count(), 1);
    QVERIFY(log.contains(QtDebugMsg, "[Board] Ignition changed : false"));
    QVERIFY(log.contains(QtDebugMsg, "[Board] Uptime changed : 3600000"));
    QVERIFY(log.contains(QtDebugMsg, "[Board] RTC Status changed : FAIL"));

    // Inactive device, then service gone: the readings keep their last values.
    publish("/status", {{"service", true}, {"device", QJsonObject{{"temperature", 9}}}});
    QVERIFY(settle());
    QCOMPARE(m_board->status(), QStringLiteral("error"));
    publish("/status", {{"service", false}});
    QVERIFY(settle());
    QCOMPARE(m_board->status(), QStringLiteral("offline"));
    QCOMPARE(m_board->temperature(), 41.5);
    QCOMPARE(rtcSpy.count(), 1);

    // The event of an edge the status already reported is no second change.
    publish("/event", {{"name", "IgnitionChanged"}, {"data", "0"}});
    QVERIFY(settle());
    QCOMPARE(ignitionSpy.count(), 1);
    QVERIFY(log.contains(QtInfoMsg,
                         "[Board] Event received : IgnitionChanged [QVariant(QString, \"0\")]"));
    publish("/event", {{"name", "IgnitionChanged"}, {"data", 1}});
    publish("/event", {{"name", "ignitionchanged"}, {"data", 0}});
    QVERIFY(settle());
    QCOMPARE(ignitionSpy.count(), 2);
    QVERIFY(m_board->ignition());
}

void TestBoard::infoConfigDisplayAndAudio()
{
    QSignalSpy infoSpy(m_board.get(), &Board::infoChanged);
    const QJsonObject device{
        {"firmwareVersion", "2.4.1"}, {"hardwareId", "H9"}, {"hardwareVersion", "C"}};
    const QJsonObject info{{"device", device}, {"service", QJsonObject{{"version", "1.8"}}}};
    publish("/info", info);
    publish("/info", info);
    QSignalSpy delaySpy(m_board.get(), &Board::delayShutdownForChanged);
    publish("/config", {{"device", QJsonObject{{"delayShutdownFor", 120}}}});
    publish("/config", {{"device", QJsonObject{{"delayShutdownFor", 120}}}});
    QSignalSpy brightnessSpy(m_board.get(), &Board::displayBrightnessChanged);
    QSignalSpy modeSpy(m_board.get(), &Board::displayBrightnessModeChanged);
    publish("/display", {{"brightness", 80}, {"sensor", 312}, {"mode", "auto"}});
    publish("/display", {{"brightness", 60}, {"sensor", 312}, {"mode", "auto"}});
    QSignalSpy audioSpy(m_board.get(), &Board::audioEnabledChanged);
    QVERIFY(m_board->audioEnabled());
    publish("/audio", {{"mute", false}});
    publish("/audio", {{"mute", true}});
    QVERIFY(settle());

    QCOMPARE(infoSpy.count(), 2);
    QCOMPARE(m_board->info(), (QVariantMap{{"firmware", "2.4.1"}, {"hardwareId", "H9"},
                                           {"hardware", "C"}, {"version", "1.8"}}));
    QCOMPARE(delaySpy.count(), 1);
    QCOMPARE(m_board->delayShutdownFor(), 120);
    QCOMPARE(brightnessSpy.count(), 2);
    QCOMPARE(modeSpy.count(), 1);
    QCOMPARE(m_board->displayBrightness(), 60);
    QCOMPARE(m_board->ambientLightSensor(), 312);
    QCOMPARE(m_board->displayBrightnessMode(), QStringLiteral("auto"));
    QCOMPARE(audioSpy.count(), 1);
    QVERIFY(!m_board->audioEnabled());
}

void TestBoard::powerAndPeripherals()
{
    QSignalSpy powerSpy(m_board.get(), &Board::peripheralPowerChanged);
    QSignalSpy listSpy(m_board.get(), &Board::peripheralsChanged);

    publish("/power", {{"touch", QJsonValue::Null}, {"display", true}});
    QVERIFY(settle());
    QCOMPARE(powerSpy.count(), 1);
    QCOMPARE(powerSpy.at(0), (QVariantList{"display", true}));
    QCOMPARE(listSpy.count(), 1);

    // Several changes give one list signal; a first "false" is a change too.
    publish("/power", {{"display", true}, {"usbHost1", false}, {"mPCIe2", true}, {"heater", true}});
    publish("/power", {{"display", true}, {"usbHost1", false}});
    QVERIFY(settle());
    QCOMPARE(powerSpy.count(), 4);
    QCOMPARE(listSpy.count(), 2);
    const auto entry = [](const char* item, const char* descr, bool value) {
        return QVariantMap{{"item", item}, {"descr", descr}, {"value", value}};
    };
    QCOMPARE(m_board->peripherals(),
             (QVariantList{entry("display", "Display", true), entry("heater", "", true),
                           entry("mPCIe2", "mPCIe #2", true),
                           entry("usbHost1", "USB Host", false)}));
    QVERIFY(m_board->peripheralPower("mPCIe2"));
    QVERIFY(!m_board->peripheralPower("touch"));
    QCOMPARE(m_board->peripherals().size(), 4);
}

void TestBoard::requests()
{
    m_board->refresh();
    QVERIFY(m_peer->waitFor(m_base + "/audio/get"));
    QStringList gets;
    for (const MqttPeer::Message& m : m_peer->messages())
        gets.append(m.topic.mid(m_base.size()) + " " + m.payload);
    QCOMPARE(gets,
             (QStringList{"/status/get {}", "/display/get {}", "/power/get {}", "/audio/get {}"}));

    const QJsonObject green = leds(3, {{0, 255, 0, 100}, {0, 0, 0, 50}});
    const QJsonObject red = leds(3, {{255, 0, 0, 100}, {0, 0, 0, 50}});
    const QJsonObject test =
        leds(30, {{255, 0, 0, 1000}, {0, 0, 0, 200}, {0, 255, 0, 1000}, {0, 0, 0, 200}});
    const QList<std::tuple<std::function<void()>, QString, QJsonObject>> rows{
        {[&] { m_board->setLedValid(); }, "/led/play/request/1", green},
        {[&] { m_board->setLedInvalid(); }, "/led/play/request/1", red},
        {[&] { m_board->setLedTestPattern(); }, "/led/play/request/1", test},
        {[&] { m_board->playBuzzer(200, 100); }, "/buzzer/play/request/1",
         {{"onMsec", 200}, {"offMsec", 100}, {"repeat", 0}}},
        {[&] { m_board->setPeripheralPower("rfidReader", false); }, "/power/set",
         {{"rfidReader", false}}},
        {[&] { m_board->setDisplayBrightness(130); }, "/display/set", {{"brightness", 130}}},
        {[&] { m_board->setDisplayBrightnessMode("manual"); }, "/display/set",
         {{"mode", "manual"}}},
        {[&] { m_board->setAudioEnabled(false); }, "/audio/set", {{"mute", true}}},
        // The held delay (0 before any report) is not sent again.
        {[&] { m_board->setDelayShutdownFor(0); m_board->setDelayShutdownFor(120); }, "/config/set",
         {{"device", QJsonObject{{"delayShutdownFor", 120}}}}},
    };
    for (const auto& [call, suffix, payload] : rows) {
        m_peer->clear();
        call();
        QVERIFY2(m_peer->waitFor(m_base + suffix), qPrintable(suffix));
        QCOMPARE(m_peer->count(), 1);
        QCOMPARE(m_peer->lastJson(m_base + suffix), payload);
    }
    // Nothing changes before the service reports.
    QCOMPARE(m_board->delayShutdownFor(), 0);
    QCOMPARE(m_board->displayBrightness(), 0);
    QVERIFY(m_board->audioEnabled());

    // Held delay and the read-only list send nothing; LED off sends an empty payload.
    publish("/config", {{"device", QJsonObject{{"delayShutdownFor", 120}}}});
    QVERIFY(settle());
    m_peer->clear();
    m_board->setDelayShutdownFor(120);
    m_board->setPeripherals({QVariantMap{{"item", "touch"}}});
    m_board->setLedOff();
    QVERIFY(m_peer->waitFor(m_base + "/led/off/request/1"));
    QCOMPARE(m_peer->count(), 1);
    QCOMPARE(m_peer->last(m_base + "/led/off/request/1"), QByteArray());
}

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_Board.moc"
