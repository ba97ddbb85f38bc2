#include "Common/MqttClient.h"
#include "Diagnostics.h"
#include "Peripheral/Board.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include "DeviceUnderTest.h"

#include <QSignalSpy>
#include <QTest>

// The simulator binary on a private broker; the end-to-end tests drive it
// through the application.
class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void healthyDeviceReadsHealthy();
};

// What the managers make of the simulator is what the settings pages show:
// no ERROR among the diagnostics, every state in the colour of health.
void TestSimulator::healthyDeviceReadsHealthy()
{
    DeviceUnderTest device;
    QVERIFY(device.startServices());
    MqttPeer& peer = device.peer();
    manager::MqttClient client;
    client.setHostname(device.broker().host());
    client.setPort(device.broker().port());
    manager::Board board(client, QStringLiteral("kivo/board"));
    manager::Network network(client, QStringLiteral("kivo/network"));
    manager::Validator validator(client, QStringLiteral("kivo/blm"));
    Diagnostics diagnostics(QStringLiteral("QV-TEST-0001"), board, network, validator);
    // Subscribed last: once a marker comes back, every subscription is active
    // and the services can be asked to repeat what they said at start.
    const QString marker = QStringLiteral("quillon-test/marker");
    client.subscribe(marker);
    QSignalSpy received(&client, &manager::MqttClient::received);
    client.connect();
    QVERIFY(QTest::qWaitFor(
        [&] {
            peer.publish(marker, QByteArray("1"));
            return received.wait(300) && received.last().at(1).toByteArray() == marker.toUtf8();
        },
        6000));
    for (const char* request : {"kivo/blm/status/get", "kivo/board/status/get", "kivo/network/status/get",
                                "kivo/network/ethernet/state/get"})
        QVERIFY(peer.publish(QLatin1String(request), QByteArray("{}")));

    // What the services said at start may come before the answers: every state is waited for.
    QTRY_COMPARE(validator.status(), QStringLiteral("online"));
    QTRY_COMPARE(network.ethernet()->state(), QStringLiteral("Connected"));
    QTRY_COMPARE(network.connectionState(), QStringLiteral("Connected"));
    QTRY_COMPARE(network.connectivity(), QStringLiteral("Full"));
    QTRY_COMPARE(network.primaryConnection()->state(), QStringLiteral("Connected"));
    for (const char* result : {"rtc", "ethernet", "ignition", "temperature", "voltage", "sam", "rfidService",
                               "barcodeService", "boardService", "poleId"}) {
        QTRY_VERIFY2(diagnostics.property(result).toString() == QLatin1String("OK"), result);
    }
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_Simulator.moc"
