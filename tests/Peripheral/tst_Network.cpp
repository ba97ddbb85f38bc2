#include "Common/MqttClient.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"

#include "LogCapture.h"
#include "MqttPeer.h"
#include "RoundTrip.h"
#include "TestBroker.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using manager::Connection;
using manager::MqttClient;
using manager::Network;

namespace {

QJsonObject ipv4(const QString& address)
{
    return QJsonObject{{"address", address}, {"netmask", "255.255.255.0"}, {"gateway", "10.0.0.1"},
                       {"dns0", "10.0.0.2"}, {"dns1", ""}};
}

QJsonObject status(const QString& state, const QJsonObject& address)
{
    return QJsonObject{{"stateStr", state},
                       {"connectivityStr", "Full"},
                       {"hostname", "validator-17"},
                       {"primaryConnection", QJsonObject{{"interface", "eth0"},
                                                         {"stateStr", "Activated"},
                                                         {"typeStr", "Ethernet"},
                                                         {"ipv4", address}}}};
}

} // namespace

class TestNetwork : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusFillsStateAndPrimaryConnection();
    void ipv4ComparedAsWholeMap();
    void emptyStatusClearsEverything();
    void receptionFilters();
    void ownsEthernetAndPublishesNothing();

private:
    TestBroker* m_broker = nullptr;
    MqttClient* m_mqtt = nullptr;
    Network* m_network = nullptr;
    MqttPeer* m_peer = nullptr;
    RoundTrip* m_roundTrip = nullptr;
    const QString m_base = QStringLiteral("kivo/network");
    const QString m_status = QStringLiteral("kivo/network/status");
};

void TestNetwork::init()
{
    m_broker = new TestBroker;
    QVERIFY(m_broker->start());
    m_mqtt = new MqttClient;
    m_mqtt->setHostname(m_broker->host());
    m_mqtt->setPort(m_broker->port());
    m_network = new Network(*m_mqtt, m_base);
    QSignalSpy connected(m_mqtt, &MqttClient::connected);
    m_mqtt->connect();
    QVERIFY(connected.wait(5000));
    m_peer = new MqttPeer(m_broker->port());
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(m_base + QStringLiteral("/#")));
    m_roundTrip = new RoundTrip(*m_mqtt, *m_peer);
    QVERIFY(m_roundTrip->settle());
    m_peer->clear();
}

void TestNetwork::cleanup()
{
    delete m_roundTrip;
    delete m_peer;
    delete m_network;
    delete m_mqtt;
    delete m_broker;
}

void TestNetwork::statusFillsStateAndPrimaryConnection()
{
    LogCapture log;
    QSignalSpy stateSpy(m_network, &Network::connectionStateChanged);
    QSignalSpy primarySpy(m_network, &Network::primaryConnectionChanged);
    Connection* primary = m_network->primaryConnection();

    m_peer->publish(m_status, status("Disconnected", ipv4("10.0.0.5")));
    m_peer->publish(m_status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(stateSpy.count(), 2);
    QCOMPARE(primarySpy.count(), 2);
    QCOMPARE(m_network->connectionState(), QStringLiteral("Connected"));
    QCOMPARE(m_network->connectivity(), QStringLiteral("Full"));
    QCOMPARE(m_network->hostname(), QStringLiteral("validator-17"));
    QCOMPARE(primary->interface(), QStringLiteral("eth0"));
    QCOMPARE(primary->state(), QStringLiteral("Activated"));
    QCOMPARE(primary->type(), QStringLiteral("Ethernet"));
    QCOMPARE(primary->ipv4()->address(), QStringLiteral("10.0.0.5"));
    QCOMPARE(primary->ipv4()->mask(), QStringLiteral("255.255.255.0"));
    QCOMPARE(primary->ipv4()->gateway(), QStringLiteral("10.0.0.1"));
    QCOMPARE(primary->ipv4()->dns0(), QStringLiteral("10.0.0.2"));
    QVERIFY(!m_network->isConnected());
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network] Processing status topic kivo/network/status")));

    m_peer->publish(m_base + QStringLiteral("/info"), QJsonObject{{"service", QJsonObject{{"version", "2.1"}}}});
    QVERIFY(m_roundTrip->settle());
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network] Processing info topic kivo/network/info")));
    QCOMPARE(primarySpy.count(), 2);
}

void TestNetwork::ipv4ComparedAsWholeMap()
{
    Connection* primary = m_network->primaryConnection();
    m_peer->publish(m_status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_roundTrip->settle());

    QSignalSpy primarySpy(m_network, &Network::primaryConnectionChanged);
    QSignalSpy ipv4Spy(primary, &Connection::ipv4Changed);
    QSignalSpy addressSpy(primary->ipv4(), &IPv4::addressChanged);
    QSignalSpy interfaceSpy(primary, &Connection::interfaceChanged);

    // The same five members again, one of them empty: nothing but the
    // unconditional notice.
    m_peer->publish(m_status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(primarySpy.count(), 1);
    QCOMPARE(ipv4Spy.count(), 0);
    QCOMPARE(interfaceSpy.count(), 0);

    // An extra member makes every message differ, without any field change.
    QJsonObject extra = ipv4("10.0.0.5");
    extra.insert("method", "auto");
    m_peer->publish(m_status, status("Connected", extra));
    m_peer->publish(m_status, status("Connected", extra));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(primarySpy.count(), 3);
    QCOMPARE(ipv4Spy.count(), 2);
    QCOMPARE(addressSpy.count(), 0);

    m_peer->publish(m_status, status("Connected", ipv4("10.0.0.9")));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(ipv4Spy.count(), 3);
    QCOMPARE(addressSpy.count(), 1);
    QCOMPARE(primary->ipv4()->address(), QStringLiteral("10.0.0.9"));
}

void TestNetwork::emptyStatusClearsEverything()
{
    Connection* primary = m_network->primaryConnection();
    m_peer->publish(m_status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_roundTrip->settle());
    QSignalSpy hostSpy(m_network, &Network::hostnameChanged);
    QSignalSpy interfaceSpy(primary, &Connection::interfaceChanged);

    m_peer->publish(m_status, QByteArray());
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(hostSpy.count(), 1);
    QCOMPARE(interfaceSpy.count(), 1);
    QVERIFY(m_network->connectionState().isEmpty());
    QVERIFY(m_network->connectivity().isEmpty());
    QVERIFY(m_network->hostname().isEmpty());
    QVERIFY(primary->interface().isEmpty());
    QVERIFY(primary->ipv4()->address().isEmpty());

    // A non-object primary connection reads as an empty one.
    m_peer->publish(m_status, status("Connected", ipv4("10.0.0.5")));
    m_peer->publish(m_status, QJsonObject{{"primaryConnection", "eth0"}});
    QVERIFY(m_roundTrip->settle());
    QVERIFY(primary->interface().isEmpty());
}

void TestNetwork::receptionFilters()
{
    LogCapture log;
    QSignalSpy primarySpy(m_network, &Network::primaryConnectionChanged);
    m_mqtt->subscribe(QStringLiteral("elsewhere/status"));
    m_mqtt->subscribe(QStringLiteral("kivo/networkx/status"));
    QVERIFY(m_roundTrip->settle());

    // Outside the base: not even parsed.
    m_peer->publish(QStringLiteral("elsewhere/status"), QByteArray("not json"));
    // Contains the base but is not one of its topics: parsed, then dropped.
    m_peer->publish(QStringLiteral("kivo/networkx/status"), status("Connected", ipv4("1.2.3.4")));
    m_peer->publish(m_status, QByteArray("{\"stateStr\": "));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(primarySpy.count(), 0);
    QCOMPARE(log.count(QStringLiteral("Failed to parse JSON message: ")), 1);
    const auto lines = log.lines();
    QVERIFY(std::any_of(lines.begin(), lines.end(), [](const LogCapture::Line& line) {
        return line.type == QtCriticalMsg
               && line.text.startsWith(QStringLiteral("[Network] Failed to parse JSON message: "));
    }));
}

void TestNetwork::ownsEthernetAndPublishesNothing()
{
    LogCapture log;
    manager::Ethernet* ethernet = m_network->ethernet();
    QCOMPARE(ethernet->parent(), m_network);
    QCOMPARE(ethernet->baseTopic(), QStringLiteral("kivo/network/ethernet"));

    m_network->monitor(200);
    QTRY_VERIFY(log.count(QStringLiteral("[Network] Refreshing data")) >= 3);
    m_network->monitor(0);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network] Monitor stopped")));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(m_peer->size(), 0);
}

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_Network.moc"
