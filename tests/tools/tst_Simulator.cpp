#include "Common/MqttClient.h"
#include "Diagnostics.h"
#include "Peripheral/Board.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include "MqttPeer.h"
#include "TestBroker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

// The simulator binary on a private broker, watched by a peer subscribed to
// everything.
class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void announcesEveryServiceOnConnect();
    void healthyDeviceReadsHealthyInTheManagers();
    void answersGetRequests_data();
    void answersGetRequests();
    void cardsAreReadOnlyWhileTheReaderIsEnabled();
    void ticketsAndConfigurationBarcodes();
    void healthCommandsChangeTheStatus();
    void offlineServiceAnswersNothing();
    void requestsChangeTheReportedState();
    void updateReportsProgressThenTheNewVersion();
    void crashPublishesTheWills();
    void badCommandsAreRejected();

private:
    void command(const QString& line);
    void typed(const QString& line);
    bool settle();
    const QJsonObject waitJson(const QString& topic, int from);
    const QJsonObject lastJson(const QString& topic) const;

    TestBroker* m_broker = nullptr;
    MqttPeer* m_peer = nullptr;
    QProcess* m_sim = nullptr;
    QByteArray m_output;
};

void TestSimulator::init()
{
    m_broker = new TestBroker;
    QVERIFY(m_broker->start());
    m_peer = new MqttPeer(m_broker->port());
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(QStringLiteral("#")));
    m_output.clear();
    m_sim = new QProcess;
    connect(m_sim, &QProcess::readyReadStandardOutput, this,
            [this] { m_output += m_sim->readAllStandardOutput(); });
    m_sim->setProcessChannelMode(QProcess::MergedChannels);
    m_sim->start(QStringLiteral(QUILLON_BINARY_DIR "/tools/simulator/quillon-simulator"),
                 {QStringLiteral("-H"), m_broker->host(), QStringLiteral("-P"),
                  QString::number(m_broker->port())});
    QVERIFY(m_sim->waitForStarted(5000));
    // The update agent comes up last; the control connection may be slower.
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/device/status")));
    QVERIFY(QTest::qWaitFor([this] { return settle(); }, 5000));
}

void TestSimulator::cleanup()
{
    if (m_sim->state() != QProcess::NotRunning) {
        m_sim->kill();
        m_sim->waitForFinished(5000);
    }
    delete m_sim;
    delete m_peer;
    delete m_broker;
}

void TestSimulator::command(const QString& line)
{
    QVERIFY(m_peer->publish(QStringLiteral("kivo/simulator/command"), line.toUtf8()));
}

void TestSimulator::typed(const QString& line)
{
    m_sim->write(line.toUtf8() + '\n');
}

// Commands run in order, so once the retry they are followed by is out,
// everything before it has been done.
bool TestSimulator::settle()
{
    const int from = m_peer->size();
    command(QStringLiteral("retry"));
    return m_peer->waitFor(QStringLiteral("kivo/blm/rfid/retry"), 1000, from);
}

const QJsonObject TestSimulator::waitJson(const QString& topic, int from)
{
    return m_peer->waitJson(topic, from);
}

const QJsonObject TestSimulator::lastJson(const QString& topic) const
{
    return m_peer->lastJson(topic);
}

void TestSimulator::announcesEveryServiceOnConnect()
{
    const QJsonObject blm = lastJson(QStringLiteral("kivo/blm/status"));
    QCOMPARE(blm.value("service").toBool(), true);
    const QJsonObject state = blm.value("state").toObject();
    for (const char* flag : {"hasRfid", "hasNtp", "hasRoute", "hasQr", "hasObu"})
        QVERIFY2(state.value(QLatin1String(flag)).toBool(), flag);
    QCOMPARE(state.value("init").toBool(), false);
    // Readers start disabled: the application enables them.
    QCOMPARE(qAsConst(blm)["device"]["rfid"]["state"].toInt(), 1);

    const QJsonObject board = lastJson(QStringLiteral("kivo/board/status"));
    QCOMPARE(qAsConst(board)["device"]["active"].toBool(), true);
    QCOMPARE(qAsConst(board)["device"]["ignition"].toBool(), true);
    QCOMPARE(lastJson(QStringLiteral("kivo/inspector/status")).value("service").toBool(), true);
    QCOMPARE(lastJson(QStringLiteral("kivo/network/status")).value("stateStr").toString(),
             QStringLiteral("Connected"));
    QCOMPARE(lastJson(QStringLiteral("kivo/network/ethernet/state")).value("interface").toString(),
             QStringLiteral("eth0"));
    QCOMPARE(lastJson(QStringLiteral("kivo/device/clock/ntp/status")).value("synced").toBool(), true);
    QVERIFY(!lastJson(QStringLiteral("kivo/device/status"))["update"]["software"]["current"]
                 .toString()
                 .isEmpty());
}

// What the managers make of the simulator is what the settings pages show:
// no ERROR among the diagnostics, every state in the colour of health.
void TestSimulator::healthyDeviceReadsHealthyInTheManagers()
{
    manager::MqttClient client;
    client.setHostname(m_broker->host());
    client.setPort(m_broker->port());
    manager::Board board(client, QStringLiteral("kivo/board"));
    manager::Network network(client, QStringLiteral("kivo/network"));
    manager::Validator validator(client, QStringLiteral("kivo/blm"));
    const QString deviceId = QStringLiteral("QV-TEST-0001");
    Diagnostics diagnostics(deviceId, board, network, validator);
    // Subscribed last: once a marker comes back, every subscription is active
    // and the services can be asked to repeat what they said at start.
    const QString marker = QStringLiteral("quillon-test/marker");
    client.subscribe(marker);
    QSignalSpy received(&client, &manager::MqttClient::received);
    const auto markerBack = [&] {
        return std::any_of(received.begin(), received.end(),
                           [&](const QList<QVariant>& args) { return args.at(1).toByteArray() == marker.toUtf8(); });
    };
    client.connect();
    bool subscribed = false;
    for (int attempt = 0; attempt < 20 && !subscribed; ++attempt) {
        m_peer->publish(marker, QByteArray("1"));
        subscribed = QTest::qWaitFor(markerBack, 300);
    }
    QVERIFY(subscribed);
    for (const char* request : {"kivo/blm/status/get", "kivo/board/status/get", "kivo/network/status/get",
                                "kivo/network/ethernet/state/get"})
        QVERIFY(m_peer->publish(QLatin1String(request), QByteArray("{}")));

    QTRY_COMPARE(validator.status(), QStringLiteral("online"));
    QTRY_COMPARE(network.ethernet()->state(), QStringLiteral("Connected"));
    QCOMPARE(network.connectionState(), QStringLiteral("Connected"));
    QCOMPARE(network.connectivity(), QStringLiteral("Full"));
    QCOMPARE(network.primaryConnection()->state(), QStringLiteral("Connected"));
    for (const char* result : {"rtc", "ethernet", "ignition", "temperature", "voltage", "sam", "rfidService",
                               "barcodeService", "boardService", "poleId"}) {
        QTRY_VERIFY2(diagnostics.property(result).toString() == QLatin1String("OK"), result);
    }
}

void TestSimulator::answersGetRequests_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("member");

    QTest::newRow("validator config") << "kivo/blm/config/get" << QByteArray("{ }") << "kivo/blm/config" << "blm";
    QTest::newRow("validator status") << "kivo/blm/status/get" << QByteArray("{}") << "kivo/blm/status" << "state";
    QTest::newRow("board status") << "kivo/board/status/get" << QByteArray("{}") << "kivo/board/status" << "device";
    QTest::newRow("board display") << "kivo/board/display/get" << QByteArray("{}") << "kivo/board/display" << "brightness";
    QTest::newRow("board power") << "kivo/board/power/get" << QByteArray("{}") << "kivo/board/power" << "rfidReader";
    QTest::newRow("board audio") << "kivo/board/audio/get" << QByteArray("{}") << "kivo/board/audio" << "mute";
    QTest::newRow("inspector audio") << "kivo/inspector/audio/get" << QByteArray("{}") << "kivo/inspector/audio" << "internal";
    QTest::newRow("inspector memory") << "kivo/inspector/stats/memory/get" << QByteArray("{}")
                                      << "kivo/inspector/stats/memory" << "total";
    QTest::newRow("ethernet state") << "kivo/network/ethernet/state/get" << QByteArray("{}")
                                    << "kivo/network/ethernet/state" << "mac";
    QTest::newRow("ethernet config") << "kivo/network/ethernet/config/get" << QByteArray("{}")
                                     << "kivo/network/ethernet/config" << "method";
    QTest::newRow("ntp status, empty") << "kivo/device/clock/ntp/status/get" << QByteArray()
                                       << "kivo/device/clock/ntp/status" << "enabled";
    QTest::newRow("ntp config, empty") << "kivo/device/clock/ntp/config/get" << QByteArray()
                                       << "kivo/device/clock/ntp/config" << "server";
    QTest::newRow("update status, empty") << "kivo/device/status/get" << QByteArray() << "kivo/device/status"
                                          << "update";
}

void TestSimulator::answersGetRequests()
{
    QFETCH(QString, request);
    QFETCH(QByteArray, payload);
    QFETCH(QString, answer);
    QFETCH(QString, member);
    const int from = m_peer->size();
    QVERIFY(m_peer->publish(request, payload));
    QVERIFY(waitJson(answer, from).contains(member));
}

void TestSimulator::cardsAreReadOnlyWhileTheReaderIsEnabled()
{
    command(QStringLiteral("tap valid"));
    QVERIFY(settle());
    QCOMPARE(m_peer->count(QStringLiteral("kivo/blm/rfid/scanned")), 0);

    int from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/rfid/enable"), QByteArray("{\n    \"autoread\": true\n}\n")));
    QCOMPARE(waitJson(QStringLiteral("kivo/blm/status"), from)["device"]["rfid"]["state"].toInt(), 2);

    from = m_peer->size();
    command(QStringLiteral("tap valid 2"));
    const QJsonObject found = waitJson(QStringLiteral("kivo/rfid/card/found"), from);
    QVERIFY(!found.value("uid").toString().isEmpty());
    QCOMPARE(found.value("type").toInt(), 4);
    QJsonObject t = waitJson(QStringLiteral("kivo/blm/rfid/scanned"), from).value("transaction").toObject();
    QCOMPARE(t.value("result").toBool(), true);
    QCOMPARE(t.value("type").toInt(), 2);
    QVERIFY(qAsConst(t)["card"]["balanceBefore"].toInt() > qAsConst(t)["card"]["balanceAfter"].toInt());
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/rfid/card/removed"), 5000, from));
    QVERIFY(m_peer->last(QStringLiteral("kivo/rfid/card/removed")).isEmpty());

    from = m_peer->size();
    typed(QStringLiteral("tap already"));
    t = waitJson(QStringLiteral("kivo/blm/rfid/scanned"), from).value("transaction").toObject();
    QCOMPARE(t.value("result").toBool(), false);
    QCOMPARE(qAsConst(t)["denyReason"]["id"].toInt(), 207);

    from = m_peer->size();
    command(QStringLiteral("tap deny 251"));
    t = waitJson(QStringLiteral("kivo/blm/rfid/scanned"), from).value("transaction").toObject();
    QCOMPARE(qAsConst(t)["denyReason"]["id"].toInt(), 251);

    from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/rfid/disable"), QByteArray()));
    QCOMPARE(waitJson(QStringLiteral("kivo/blm/status"), from)["device"]["rfid"]["state"].toInt(), 1);
}

void TestSimulator::ticketsAndConfigurationBarcodes()
{
    int from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/barcode/enable"), QByteArray()));
    QCOMPARE(waitJson(QStringLiteral("kivo/blm/status"), from)["device"]["barcode"]["enabled"].toBool(), true);

    from = m_peer->size();
    command(QStringLiteral("scan already"));
    const QJsonObject t = waitJson(QStringLiteral("kivo/blm/barcode/scanned"), from).value("transaction").toObject();
    QCOMPARE(t.value("type").toInt(), 0);
    QCOMPARE(qAsConst(t)["denyReason"]["id"].toInt(), 103);
    QVERIFY(!qAsConst(t)["barcode"]["fromStopGroupName"].toString().isEmpty());

    from = m_peer->size();
    command(QStringLiteral("barcode"));
    QJsonObject code = waitJson(QStringLiteral("kivo/blm/barcode/maintenance/scanned"), from);
    QVERIFY(qAsConst(code)["validator"]["obc"].toString().startsWith(QStringLiteral("mqtt://")));
    QCOMPARE(qAsConst(code)["network"]["eth0"]["method"].toString(), QStringLiteral("manual"));

    from = m_peer->size();
    command(QStringLiteral("barcode {\"validator\": {\"obc\": \"mqtt://Other Host:1\"}}"));
    code = waitJson(QStringLiteral("kivo/blm/barcode/maintenance/scanned"), from);
    QCOMPARE(qAsConst(code)["validator"]["obc"].toString(), QStringLiteral("mqtt://Other Host:1"));
    QVERIFY(!code.contains("network"));
}

void TestSimulator::healthCommandsChangeTheStatus()
{
    int from = m_peer->size();
    command(QStringLiteral("validator degraded both"));
    QJsonObject state = waitJson(QStringLiteral("kivo/blm/status"), from).value("state").toObject();
    QCOMPARE(state.value("hasObu").toBool(), false);
    QCOMPARE(state.value("hasQr").toBool(), false);
    QCOMPARE(state.value("hasRoute").toBool(), true);

    from = m_peer->size();
    command(QStringLiteral("validator rfid-update"));
    const QJsonObject status = waitJson(QStringLiteral("kivo/blm/status"), from);
    QCOMPARE(qAsConst(status)["state"]["hasRfid"].toBool(), false);
    QCOMPARE(qAsConst(status)["device"]["rfid"]["state"].toInt(), 4);

    from = m_peer->size();
    command(QStringLiteral("ntp unsynced"));
    QCOMPARE(waitJson(QStringLiteral("kivo/device/clock/ntp/status"), from).value("synced").toBool(), false);
    QCOMPARE(waitJson(QStringLiteral("kivo/blm/status"), from)["state"]["hasNtp"].toBool(), false);

    // Without NTP the validator stops reporting the flag at all.
    from = m_peer->size();
    command(QStringLiteral("ntp off"));
    QCOMPARE(waitJson(QStringLiteral("kivo/device/clock/ntp/config"), from).value("enabled").toBool(), false);
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/blm/status"), 5000, from));
    QVERIFY(!lastJson(QStringLiteral("kivo/blm/status"))["state"].toObject().contains("hasNtp"));

    from = m_peer->size();
    command(QStringLiteral("ignition off"));
    QCOMPARE(waitJson(QStringLiteral("kivo/board/event"), from),
             (QJsonObject{{"name", "IgnitionChanged"}, {"data", "0"}}));
    QCOMPARE(waitJson(QStringLiteral("kivo/board/status"), from)["device"]["ignition"].toBool(), false);

    from = m_peer->size();
    command(QStringLiteral("network down"));
    QCOMPARE(waitJson(QStringLiteral("kivo/network/status"), from).value("stateStr").toString(),
             QStringLiteral("Disconnected"));
}

void TestSimulator::offlineServiceAnswersNothing()
{
    int from = m_peer->size();
    command(QStringLiteral("service board offline"));
    QCOMPARE(waitJson(QStringLiteral("kivo/board/status"), from), (QJsonObject{{"service", false}}));

    from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/board/status/get"), QByteArray("{}")));
    QVERIFY(m_peer->publish(QStringLiteral("kivo/inspector/audio/get"), QByteArray("{}")));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/inspector/audio"), 5000, from));
    QVERIFY(settle());
    QCOMPARE(m_peer->count(QStringLiteral("kivo/board/status")), 2);

    from = m_peer->size();
    command(QStringLiteral("service board online"));
    QCOMPARE(waitJson(QStringLiteral("kivo/board/status"), from).value("service").toBool(), true);
}

void TestSimulator::requestsChangeTheReportedState()
{
    int from = m_peer->size();
    const QJsonObject eth{{"interface", "eth0"}, {"method", "manual"},     {"address", "10.0.0.7"},
                          {"netmask", "255.0.0.0"}, {"gateway", "10.0.0.1"}, {"dns0", "10.0.0.2"},
                          {"dns1", ""}};
    QVERIFY(m_peer->publish(QStringLiteral("kivo/network/ethernet/config/set"), eth));
    QCOMPARE(waitJson(QStringLiteral("kivo/network/ethernet/config"), from), eth);
    QCOMPARE(waitJson(QStringLiteral("kivo/network/status"), from)["primaryConnection"]["ipv4"]["address"]
                 .toString(),
             QStringLiteral("10.0.0.7"));

    from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/blm/config/set"),
                            QJsonObject{{"blm", QJsonObject{{"obu_host", "obu2"}, {"obu_port", -1}}},
                                        {"validator", QJsonObject{{"passbackTime", 30}, {"qr_passback", false}}}}));
    const QJsonObject config = waitJson(QStringLiteral("kivo/blm/config"), from);
    QCOMPARE(qAsConst(config)["blm"]["obu_host"].toString(), QStringLiteral("obu2"));
    QCOMPARE(qAsConst(config)["blm"]["obu_port"].toString(), QString());
    QCOMPARE(qAsConst(config)["validator"]["passbackTime"].toString(), QStringLiteral("30"));
    QCOMPARE(qAsConst(config)["validator"]["qr_passback"].toString(), QStringLiteral("false"));

    from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/board/config/set"),
                            QJsonObject{{"device", QJsonObject{{"delayShutdownFor", 90}}}}));
    QCOMPARE(waitJson(QStringLiteral("kivo/board/config"), from)["device"]["delayShutdownFor"].toInt(), 90);

    from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/inspector/audio/set"),
                            QJsonObject{{"internal", QJsonObject{{"volume", 40}}}}));
    QCOMPARE(waitJson(QStringLiteral("kivo/inspector/audio"), from)["internal"]["volume"].toInt(), 40);

    // Sounds and power requests only show in the log.
    QVERIFY(m_peer->publish(QStringLiteral("kivo/inspector/audio/play"),
                            QJsonObject{{"device", "internal"}, {"filepath", "/opt/kivo/quillon/Valid.wav"}}));
    QVERIFY(QTest::qWaitFor([this] { return m_output.contains("Playing sound '/opt/kivo/quillon/Valid.wav'"); },
                            5000));
}

void TestSimulator::updateReportsProgressThenTheNewVersion()
{
    int from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/device/software/check"), QByteArray()));
    QCOMPARE(waitJson(QStringLiteral("kivo/device/update/software/status"), from).value("pending").toString(),
             QString());

    command(QStringLiteral("update available 2.0.0"));
    from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/device/update/software/install"), QByteArray()));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return lastJson(QStringLiteral("kivo/device/status"))["update"]["software"]["current"]
                       .toString()
                == QLatin1String("2.0.0");
        },
        15000));
    QStringList messages;
    for (const MqttPeer::Message& m : m_peer->messages(QStringLiteral("kivo/device/update/software/progress"))) {
        const QJsonObject p = QJsonDocument::fromJson(m.payload).object();
        QCOMPARE(p.value("version").toString(), QStringLiteral("2.0.0"));
        messages << p.value("message").toString();
    }
    QVERIFY(!messages.isEmpty());
    QVERIFY(messages.first().contains('/'));
    QVERIFY(!messages.last().contains('/'));
    QCOMPARE(lastJson(QStringLiteral("kivo/device/status"))["update"]["software"]["pending"].toString(),
             QString());
}

void TestSimulator::crashPublishesTheWills()
{
    const int from = m_peer->size();
    m_sim->kill();
    QVERIFY(m_sim->waitForFinished(5000));
    for (const char* topic : {"kivo/blm/status", "kivo/board/status", "kivo/inspector/status"})
        QCOMPARE(waitJson(QLatin1String(topic), from), (QJsonObject{{"service", false}}));
}

void TestSimulator::badCommandsAreRejected()
{
    const int from = m_peer->size();
    for (const char* line : {"fly away", "tap deny", "tap deny x", "ignition maybe", "barcode [1]", "service x offline"})
        command(QLatin1String(line));
    QVERIFY(settle());
    QVERIFY(m_sim->state() == QProcess::Running);
    int published = 0;
    for (const MqttPeer::Message& m : m_peer->messages().mid(from))
        published += m.topic.startsWith(QLatin1String("kivo/simulator/")) ? 0 : 1;
    QCOMPARE(published, 1);
    QVERIFY(m_output.contains("Unknown command 'fly'"));
    QVERIFY(m_output.contains("Usage: ignition on|off"));
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_Simulator.moc"
