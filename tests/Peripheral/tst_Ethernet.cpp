#include "Common/MqttClient.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"

#include "LogCapture.h"
#include "MqttPeer.h"
#include "RoundTrip.h"
#include "TestBroker.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using manager::Ethernet;
using manager::MqttClient;
using manager::Network;

namespace {

QJsonObject state(const QString& interface, const QString& address)
{
    return QJsonObject{{"interface", interface},
                       {"typeStr", "Ethernet"},
                       {"stateStr", "Activated"},
                       {"reasonStr", "None"},
                       {"mac", "00:11:22:33:44:55"},
                       {"ipv4", QJsonObject{{"address", address}, {"netmask", "255.255.0.0"},
                                            {"gateway", "10.1.0.1"}, {"dns0", "10.1.0.2"},
                                            {"dns1", "10.1.0.3"}}}};
}

QJsonObject config(const QString& interface, const QString& method, const QString& address)
{
    return QJsonObject{{"interface", interface}, {"method", method},   {"address", address},
                       {"netmask", "255.255.255.0"}, {"gateway", "192.168.1.1"},
                       {"dns0", "192.168.1.2"},  {"dns1", ""}};
}

} // namespace

class TestEthernet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void stateMessages();
    void usb0ChangesNothing();
    void configMessages();
    void saveSendsFiveMembersOnlyWhenManual();
    void resetAsksForStateAndConfig();

private:
    QJsonObject saved();

    TestBroker* m_broker = nullptr;
    MqttClient* m_mqtt = nullptr;
    Network* m_network = nullptr;
    Ethernet* m_ethernet = nullptr;
    MqttPeer* m_peer = nullptr;
    RoundTrip* m_roundTrip = nullptr;
    const QString m_state = QStringLiteral("kivo/network/ethernet/state");
    const QString m_config = QStringLiteral("kivo/network/ethernet/config");
    const QString m_set = QStringLiteral("kivo/network/ethernet/config/set");
};

void TestEthernet::init()
{
    m_broker = new TestBroker;
    QVERIFY(m_broker->start());
    m_mqtt = new MqttClient;
    m_mqtt->setHostname(m_broker->host());
    m_mqtt->setPort(m_broker->port());
    m_network = new Network(*m_mqtt, QStringLiteral("kivo/network"));
    m_ethernet = m_network->ethernet();
    QSignalSpy connected(m_mqtt, &MqttClient::connected);
    m_mqtt->connect();
    QVERIFY(connected.wait(5000));
    m_peer = new MqttPeer(m_broker->port());
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(QStringLiteral("kivo/network/#")));
    m_roundTrip = new RoundTrip(*m_mqtt, *m_peer);
    QVERIFY(m_roundTrip->settle());
    m_peer->clear();
}

void TestEthernet::cleanup()
{
    delete m_roundTrip;
    delete m_peer;
    delete m_network;
    delete m_mqtt;
    delete m_broker;
}

QJsonObject TestEthernet::saved()
{
    const int from = m_peer->size();
    m_ethernet->save();
    if (!m_peer->waitFor(m_set, 5000, from))
        return QJsonObject{{"nothing", "published"}};
    return m_peer->lastJson(m_set);
}

void TestEthernet::stateMessages()
{
    LogCapture log;
    QSignalSpy interfaceSpy(m_ethernet, &Ethernet::interfaceChanged);
    QSignalSpy stateSpy(m_ethernet, &Ethernet::stateChanged);
    QSignalSpy ipv4Spy(m_ethernet, &Ethernet::ipv4Changed);

    m_peer->publish(m_state, state("eth0", "10.1.0.7"));
    m_peer->publish(m_state, state("eth0", "10.1.0.7"));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(interfaceSpy.count(), 1);
    QCOMPARE(stateSpy.count(), 1);
    QCOMPARE(ipv4Spy.count(), 1);
    QCOMPARE(m_ethernet->interface(), QStringLiteral("eth0"));
    QCOMPARE(m_ethernet->type(), QStringLiteral("Ethernet"));
    QCOMPARE(m_ethernet->state(), QStringLiteral("Activated"));
    QCOMPARE(m_ethernet->reason(), QStringLiteral("None"));
    QCOMPARE(m_ethernet->mac(), QStringLiteral("00:11:22:33:44:55"));
    QCOMPARE(m_ethernet->ipv4()->address(), QStringLiteral("10.1.0.7"));
    QCOMPARE(m_ethernet->ipv4()->dns1(), QStringLiteral("10.1.0.3"));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network][Ethernet] Processing state topic ") + m_state));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network][Ethernet] MAC changed : 00:11:22:33:44:55")));

    // Without "ipv4" the live settings empty out.
    QSignalSpy addressSpy(m_ethernet->ipv4(), &IPv4::addressChanged);
    QJsonObject bare = state("eth0", "");
    bare.remove("ipv4");
    m_peer->publish(m_state, bare);
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(ipv4Spy.count(), 2);
    QCOMPARE(addressSpy.count(), 1);
    QVERIFY(m_ethernet->ipv4()->address().isEmpty());
    QCOMPARE(m_ethernet->mac(), QStringLiteral("00:11:22:33:44:55"));
}

void TestEthernet::usb0ChangesNothing()
{
    m_peer->publish(m_state, state("eth0", "10.1.0.7"));
    m_peer->publish(m_config, config("eth0", "manual", "192.168.1.50"));
    QVERIFY(m_roundTrip->settle());
    QSignalSpy anyState(m_ethernet, &Ethernet::interfaceChanged);
    QSignalSpy ipv4Spy(m_ethernet, &Ethernet::ipv4Changed);
    QSignalSpy methodSpy(m_ethernet, &Ethernet::methodChanged);
    QSignalSpy configSpy(m_ethernet, &Ethernet::configChanged);

    QJsonObject usbState = state("usb0", "169.254.0.1");
    usbState.insert("mac", "aa:bb:cc:dd:ee:ff");
    m_peer->publish(m_state, usbState);
    m_peer->publish(m_config, config("usb0", "auto", "169.254.0.1"));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(anyState.count() + ipv4Spy.count() + methodSpy.count() + configSpy.count(), 0);
    QCOMPARE(m_ethernet->interface(), QStringLiteral("eth0"));
    QCOMPARE(m_ethernet->mac(), QStringLiteral("00:11:22:33:44:55"));
    QCOMPARE(m_ethernet->ipv4()->address(), QStringLiteral("10.1.0.7"));
    QCOMPARE(m_ethernet->method(), QStringLiteral("manual"));
    QCOMPARE(m_ethernet->config()->address(), QStringLiteral("192.168.1.50"));
}

void TestEthernet::configMessages()
{
    QSignalSpy methodSpy(m_ethernet, &Ethernet::methodChanged);
    QSignalSpy configSpy(m_ethernet, &Ethernet::configChanged);
    QSignalSpy addressSpy(m_ethernet->config(), &IPv4::addressChanged);

    m_peer->publish(m_config, config("eth0", "manual", "192.168.1.50"));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(methodSpy.count(), 1);
    QCOMPARE(configSpy.count(), 1);
    QCOMPARE(m_ethernet->method(), QStringLiteral("manual"));
    QCOMPARE(m_ethernet->config()->address(), QStringLiteral("192.168.1.50"));
    QCOMPARE(m_ethernet->config()->mask(), QStringLiteral("255.255.255.0"));
    QCOMPARE(m_ethernet->config()->gateway(), QStringLiteral("192.168.1.1"));
    // The interface of a configuration is never stored.
    QVERIFY(m_ethernet->interface().isEmpty());

    // The same again: the record always differs from a full message, but no field moves.
    m_peer->publish(m_config, config("eth0", "manual", "192.168.1.50"));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(configSpy.count(), 2);
    QCOMPARE(methodSpy.count(), 1);
    QCOMPARE(addressSpy.count(), 1);

    // A local edit only changes the buffer; nothing is sent until save().
    m_ethernet->setMethod(QStringLiteral("auto"));
    m_ethernet->config()->setAddress(QStringLiteral("192.168.1.60"));
    QCOMPARE(methodSpy.count(), 2);
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(m_peer->count(m_set), 0);

    m_peer->publish(m_config, QByteArray("{\"method\": "));
    QVERIFY(m_roundTrip->settle());
    QCOMPARE(m_ethernet->method(), QStringLiteral("auto"));
}

void TestEthernet::saveSendsFiveMembersOnlyWhenManual()
{
    LogCapture log;
    IPv4* edit = m_ethernet->config();
    edit->setAddress(QStringLiteral("192.168.7.20"));
    edit->setMask(QStringLiteral("255.255.255.0"));
    edit->setGateway(QStringLiteral("192.168.7.1"));
    edit->setDns0(QStringLiteral("1.1.1.1"));
    edit->setDns1(QStringLiteral("8.8.8.8"));

    // Before any state message the interface is unknown.
    m_ethernet->setMethod(QStringLiteral("manual"));
    QCOMPARE(saved(), (QJsonObject{{"interface", ""}, {"method", "manual"}, {"address", "192.168.7.20"},
                                   {"netmask", "255.255.255.0"}, {"gateway", "192.168.7.1"},
                                   {"dns0", "1.1.1.1"}, {"dns1", "8.8.8.8"}}));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network][Ethernet] Method  : manual")));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network][Ethernet] DNS     : 1.1.1.1, 8.8.8.8")));
    QCOMPARE(log.count(QStringLiteral("[Network][Ethernet] -------------------------")), 2);

    m_peer->publish(m_state, state("eth0", "10.1.0.7"));
    QVERIFY(m_roundTrip->settle());
    const QJsonObject cleared{{"interface", "eth0"}, {"address", ""}, {"netmask", ""},
                              {"gateway", ""}, {"dns0", ""}, {"dns1", ""}};
    for (const char* method : {"Manual", "auto", ""}) {
        m_ethernet->setMethod(QLatin1String(method));
        QJsonObject expected = cleared;
        expected.insert("method", QLatin1String(method));
        QCOMPARE(saved(), expected);
    }
    // Saving changes nothing locally.
    QCOMPARE(edit->address(), QStringLiteral("192.168.7.20"));
}

void TestEthernet::resetAsksForStateAndConfig()
{
    m_ethernet->reset();
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/network/ethernet/config/get")));
    const auto messages = m_peer->messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).topic, QStringLiteral("kivo/network/ethernet/state/get"));
    QCOMPARE(messages.at(0).payload, QByteArray("{}"));
    QCOMPARE(messages.at(1).payload, QByteArray("{}"));
}

QTEST_GUILESS_MAIN(TestEthernet)
#include "tst_Ethernet.moc"
