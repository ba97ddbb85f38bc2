#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"

#include "BrokerSession.h"

#include <QSignalSpy>
#include <QTest>

using manager::Connection;
using manager::Network;

namespace {

const QString Status = QStringLiteral("kivo/network/status");

QJsonObject status(const QString& state, const QJsonObject& ipv4)
{
    return QJsonObject{{"stateStr", state}, {"connectivityStr", "Full"}, {"hostname", "validator-17"},
                       {"primaryConnection", QJsonObject{{"interface", "eth0"}, {"stateStr", "Activated"},
                                                         {"typeStr", "Ethernet"}, {"ipv4", ipv4}}}};
}

// All five members, one of them empty as the service sends an unset DNS.
QJsonObject ipv4(const QString& address)
{
    return QJsonObject{{"address", address}, {"netmask", "255.255.255.0"}, {"gateway", "10.0.0.1"},
                       {"dns0", "10.0.0.2"}, {"dns1", ""}};
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

private:
    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Network> m_network;
};

void TestNetwork::init()
{
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_network = std::make_unique<Network>(m_session->client(), QStringLiteral("kivo/network"));
    QVERIFY(m_session->connect(QStringLiteral("kivo/network/#")));
}

void TestNetwork::cleanup()
{
    m_network.reset();
    m_session.reset();
}

void TestNetwork::statusFillsStateAndPrimaryConnection()
{
    QSignalSpy stateSpy(m_network.get(), &Network::connectionStateChanged);
    QSignalSpy primarySpy(m_network.get(), &Network::primaryConnectionChanged);
    Connection* primary = m_network->primaryConnection();

    m_session->peer().publish(Status, status("Disconnected", ipv4("10.0.0.5")));
    m_session->peer().publish(Status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_session->settle());
    QCOMPARE(stateSpy.count(), 2);
    QCOMPARE(primarySpy.count(), 2);
    QCOMPARE(m_network->connectionState(), QStringLiteral("Connected"));
    QCOMPARE(m_network->connectivity(), QStringLiteral("Full"));
    QCOMPARE(m_network->hostname(), QStringLiteral("validator-17"));
    QCOMPARE(primary->interface(), QStringLiteral("eth0"));
    QCOMPARE(primary->state(), QStringLiteral("Activated"));
    QCOMPARE(primary->type(), QStringLiteral("Ethernet"));
    QCOMPARE(primary->ipv4()->address(), QStringLiteral("10.0.0.5"));
    QCOMPARE(primary->ipv4()->gateway(), QStringLiteral("10.0.0.1"));

    // An empty message is an empty object and clears everything; so does a
    // primary connection that is not an object.
    m_session->peer().publish(Status, QByteArray());
    QVERIFY(m_session->settle());
    QVERIFY(m_network->connectionState().isEmpty());
    QVERIFY(m_network->hostname().isEmpty());
    QVERIFY(primary->interface().isEmpty());
    QVERIFY(primary->ipv4()->address().isEmpty());
    m_session->peer().publish(Status, status("Connected", ipv4("10.0.0.5")));
    m_session->peer().publish(Status, QJsonObject{{"primaryConnection", "eth0"}});
    QVERIFY(m_session->settle());
    QVERIFY(primary->interface().isEmpty());
    QCOMPARE(m_network->ethernet()->parent(), m_network.get());
}

void TestNetwork::ipv4ComparedAsWholeMap()
{
    Connection* primary = m_network->primaryConnection();
    m_session->peer().publish(Status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_session->settle());
    QSignalSpy primarySpy(m_network.get(), &Network::primaryConnectionChanged);
    QSignalSpy ipv4Spy(primary, &Connection::ipv4Changed);
    QSignalSpy addressSpy(primary->ipv4(), &IPv4::addressChanged);

    m_session->peer().publish(Status, status("Connected", ipv4("10.0.0.5")));
    QVERIFY(m_session->settle());
    QCOMPARE(primarySpy.count(), 1);
    QCOMPARE(ipv4Spy.count(), 0);

    // A member beyond the five makes every message differ, with no field change.
    QJsonObject extra = ipv4("10.0.0.5");
    extra.insert("method", "auto");
    m_session->peer().publish(Status, status("Connected", extra));
    m_session->peer().publish(Status, status("Connected", extra));
    QVERIFY(m_session->settle());
    QCOMPARE(ipv4Spy.count(), 2);
    QCOMPARE(addressSpy.count(), 0);
}

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_Network.moc"
