#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QSignalSpy>
#include <QTest>

using manager::Ethernet;
using manager::Network;

namespace {

const QString State = QStringLiteral("kivo/network/ethernet/state");
const QString Config = QStringLiteral("kivo/network/ethernet/config");
const QString ConfigSet = QStringLiteral("kivo/network/ethernet/config/set");

QJsonObject state(const QString& interface, const QString& mac)
{
    return QJsonObject{{"interface", interface}, {"typeStr", "Ethernet"}, {"stateStr", "Activated"},
                       {"reasonStr", "None"}, {"mac", mac},
                       {"ipv4", QJsonObject{{"address", "10.1.0.7"}, {"netmask", "255.255.0.0"},
                                            {"gateway", "10.1.0.1"}, {"dns0", "10.1.0.2"}, {"dns1", ""}}}};
}

QJsonObject config(const QString& interface, const QString& method)
{
    return QJsonObject{{"interface", interface}, {"method", method}, {"address", "192.168.1.50"},
                       {"netmask", "255.255.255.0"}, {"gateway", "192.168.1.1"}, {"dns0", "192.168.1.2"},
                       {"dns1", ""}};
}

} // namespace

class TestEthernet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void stateAndUsb0();
    void configMessages();
    void saveSendsFiveMembersOnlyWhenManual();

private:
    QJsonObject saved();

    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Network> m_network;
    Ethernet* m_ethernet = nullptr;
};

void TestEthernet::init()
{
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_network = std::make_unique<Network>(m_session->client(), QStringLiteral("kivo/network"));
    m_ethernet = m_network->ethernet();
    QVERIFY(m_session->connect(QStringLiteral("kivo/network/#")));
}

void TestEthernet::cleanup()
{
    m_network.reset();
    m_session.reset();
}

QJsonObject TestEthernet::saved()
{
    const int from = m_session->peer().size();
    m_ethernet->save();
    if (!m_session->peer().waitFor(ConfigSet, 5000, from))
        return QJsonObject{{"nothing", "published"}};
    return m_session->peer().lastJson(ConfigSet);
}

void TestEthernet::stateAndUsb0()
{
    QSignalSpy macSpy(m_ethernet, &Ethernet::macChanged);
    QSignalSpy ipv4Spy(m_ethernet, &Ethernet::ipv4Changed);
    m_session->peer().publish(State, state("eth0", "00:11:22:33:44:55"));
    m_session->peer().publish(State, state("eth0", "00:11:22:33:44:55"));
    QVERIFY(m_session->settle());
    QCOMPARE(macSpy.count(), 1);
    QCOMPARE(ipv4Spy.count(), 1);
    QCOMPARE(m_ethernet->interface(), QStringLiteral("eth0"));
    QCOMPARE(m_ethernet->type(), QStringLiteral("Ethernet"));
    QCOMPARE(m_ethernet->state(), QStringLiteral("Activated"));
    QCOMPARE(m_ethernet->reason(), QStringLiteral("None"));
    QCOMPARE(m_ethernet->ipv4()->address(), QStringLiteral("10.1.0.7"));

    // The USB link is not ours: nothing changes, on either topic.
    QSignalSpy interfaceSpy(m_ethernet, &Ethernet::interfaceChanged);
    QSignalSpy methodSpy(m_ethernet, &Ethernet::methodChanged);
    QSignalSpy configSpy(m_ethernet, &Ethernet::configChanged);
    m_session->peer().publish(State, state("usb0", "aa:bb:cc:dd:ee:ff"));
    m_session->peer().publish(Config, config("usb0", "manual"));
    QVERIFY(m_session->settle());
    QCOMPARE(interfaceSpy.count() + methodSpy.count() + configSpy.count(), 0);
    QCOMPARE(macSpy.count(), 1);
    QCOMPARE(ipv4Spy.count(), 1);
    QCOMPARE(m_ethernet->mac(), QStringLiteral("00:11:22:33:44:55"));

    // Without "ipv4" the live settings empty out.
    QJsonObject bare = state("eth0", "00:11:22:33:44:55");
    bare.remove("ipv4");
    m_session->peer().publish(State, bare);
    QVERIFY(m_session->settle());
    QCOMPARE(ipv4Spy.count(), 2);
    QVERIFY(m_ethernet->ipv4()->address().isEmpty());
}

void TestEthernet::configMessages()
{
    QSignalSpy methodSpy(m_ethernet, &Ethernet::methodChanged);
    QSignalSpy configSpy(m_ethernet, &Ethernet::configChanged);
    QSignalSpy addressSpy(m_ethernet->config(), &IPv4::addressChanged);
    m_session->peer().publish(Config, config("eth0", "manual"));
    QVERIFY(m_session->settle());
    QCOMPARE(m_ethernet->method(), QStringLiteral("manual"));
    QCOMPARE(m_ethernet->config()->address(), QStringLiteral("192.168.1.50"));
    QCOMPARE(m_ethernet->config()->mask(), QStringLiteral("255.255.255.0"));
    QVERIFY(m_ethernet->interface().isEmpty());

    // A repeat still announces the configuration, but no field moves.
    m_session->peer().publish(Config, config("eth0", "manual"));
    QVERIFY(m_session->settle());
    QCOMPARE(configSpy.count(), 2);
    QCOMPARE(methodSpy.count(), 1);
    QCOMPARE(addressSpy.count(), 1);

    // Local edits publish nothing until save().
    m_ethernet->setMethod(QStringLiteral("auto"));
    m_ethernet->config()->setAddress(QStringLiteral("192.168.1.60"));
    QVERIFY(m_session->settle());
    QCOMPARE(m_session->peer().count(ConfigSet), 0);

    m_ethernet->reset();
    QVERIFY(m_session->peer().waitFor(QStringLiteral("kivo/network/ethernet/config/get")));
    QCOMPARE(m_session->peer().last(QStringLiteral("kivo/network/ethernet/state/get")), QByteArray("{}"));
    QCOMPARE(m_session->peer().last(QStringLiteral("kivo/network/ethernet/config/get")), QByteArray("{}"));
}

void TestEthernet::saveSendsFiveMembersOnlyWhenManual()
{
    LogCapture log;
    IPv4* edit = m_ethernet->config();
    edit->fromMap({{"address", "192.168.7.20"}, {"netmask", "255.255.255.0"}, {"gateway", "192.168.7.1"},
                   {"dns0", "1.1.1.1"}, {"dns1", "8.8.8.8"}});

    // Before any state message the interface is unknown.
    m_ethernet->setMethod(QStringLiteral("manual"));
    QCOMPARE(saved(), (QJsonObject{{"interface", ""}, {"method", "manual"}, {"address", "192.168.7.20"},
                                   {"netmask", "255.255.255.0"}, {"gateway", "192.168.7.1"},
                                   {"dns0", "1.1.1.1"}, {"dns1", "8.8.8.8"}}));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network][Ethernet] Method  : manual")));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Network][Ethernet] DNS     : 1.1.1.1, 8.8.8.8")));

    m_session->peer().publish(State, state("eth0", "00:11:22:33:44:55"));
    QVERIFY(m_session->settle());
    for (const char* method : {"Manual", "auto", ""}) {
        m_ethernet->setMethod(QLatin1String(method));
        QCOMPARE(saved(), (QJsonObject{{"interface", "eth0"}, {"method", QLatin1String(method)},
                                       {"address", ""}, {"netmask", ""}, {"gateway", ""},
                                       {"dns0", ""}, {"dns1", ""}}));
    }
    QCOMPARE(edit->address(), QStringLiteral("192.168.7.20"));
}

QTEST_GUILESS_MAIN(TestEthernet)
#include "tst_Ethernet.moc"
