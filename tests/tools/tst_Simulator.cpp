#include "Common/MqttClient.h"
#include "Diagnostics.h"
#include "Peripheral/Board.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include "DeviceUnderTest.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

// The simulator binary on a private broker, watched by a peer subscribed to
// everything. The end-to-end tests drive it through the application.
class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void announcesAnswersAndObeys();
    void healthyDeviceReadsHealthyInTheManagers();

private:
    std::unique_ptr<DeviceUnderTest> m_device;
    MqttPeer* m_peer = nullptr;
};

void TestSimulator::init()
{
    m_device = std::make_unique<DeviceUnderTest>();
    QVERIFY(m_device->startServices());
    m_peer = &m_device->peer();
}

void TestSimulator::cleanup()
{
    m_device.reset();
}

// Every service announces itself healthy, answers a request, and a console
// command changes what it reports.
void TestSimulator::announcesAnswersAndObeys()
{
    const QJsonObject blm = m_peer->lastJson(QStringLiteral("kivo/blm/status"));
    QCOMPARE(blm.value("service").toBool(), true);
    for (const char* flag : {"hasRfid", "hasNtp", "hasRoute", "hasQr", "hasObu"})
        QVERIFY2(blm.value("state").toObject().value(QLatin1String(flag)).toBool(), flag);
    for (const char* topic : {"kivo/board/status", "kivo/inspector/status"})
        QCOMPARE(m_peer->lastJson(QLatin1String(topic)).value("service").toBool(), true);

    int from = m_peer->size();
    QVERIFY(m_peer->publish(QStringLiteral("kivo/board/audio/get"), QByteArray("{}")));
    QVERIFY(m_peer->waitJson(QStringLiteral("kivo/board/audio"), from).contains("mute"));

    from = m_peer->size();
    m_device->command(QStringLiteral("network down"));
    QCOMPARE(m_peer->waitJson(QStringLiteral("kivo/network/status"), from).value("stateStr").toString(),
             QStringLiteral("Disconnected"));
}

// What the managers make of the simulator is what the settings pages show:
// no ERROR among the diagnostics, every state in the colour of health.
void TestSimulator::healthyDeviceReadsHealthyInTheManagers()
{
    manager::MqttClient client;
    client.setHostname(m_device->broker().host());
    client.setPort(m_device->broker().port());
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

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_Simulator.moc"
