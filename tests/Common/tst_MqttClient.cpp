#include "Common/MqttClient.h"

#include "LogCapture.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <unistd.h>

using manager::MqttClient;

namespace {

const QString Secret = QStringLiteral("s3cr3t-pa55");

void configure(MqttClient& client, quint16 port, int retryMillis = 3000)
{
    client.setHostname(QStringLiteral("127.0.0.1"));
    client.setPort(port);
    client.setRetryMillis(retryMillis);
}

// Child mode: connect with a last will and wait to be killed.
int runWillChild(quint16 port, const QString& topic)
{
    MqttClient client;
    configure(client, port);
    client.setClientId(QStringLiteral("will-child"));
    client.setWillTopic(topic);
    client.setWillMessage("{\"service\": false}");
    QObject::connect(&client, &MqttClient::connected, [] {
        fprintf(stdout, "connected\n");
        fflush(stdout);
    });
    client.connect();
    return QCoreApplication::exec();
}

// Child mode, in a mount namespace whose resolver asks a name server here
// that never answers: how long the event loop stood still while the client
// kept trying a host name, how many queries reached the name server and how
// many attempts failed.
const char* const SilentNameServer = "127.0.0.153";

int runLookupChild()
{
    QUdpSocket nameServer;
    if (!nameServer.bind(QHostAddress(QString::fromLatin1(SilentNameServer)), 53))
        return 2;
    int queries = 0;
    QObject::connect(&nameServer, &QUdpSocket::readyRead, [&] {
        while (nameServer.hasPendingDatagrams()) {
            nameServer.receiveDatagram();
            ++queries;
        }
    });
    MqttClient client;
    client.setHostname(QStringLiteral("broker.quillon.test"));
    client.setPort(TestBroker::freePort());
    client.setRetryMillis(500);
    int errors = 0;
    QObject::connect(&client, &MqttClient::error, [&] { ++errors; });

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestStill = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestStill = qMax(longestStill, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(20);
    clock.start();
    QTimer::singleShot(0, &client, &MqttClient::connect);
    QTimer::singleShot(3000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    printf("still=%lld queries=%d errors=%d\n", longestStill, queries, errors);
    return 0;
}

} // namespace

class TestMqttClient : public QObject
{
    Q_OBJECT

private slots:
    void publishBeforeConnectFailsSilently();
    void retriesEveryIntervalWhileBrokerIsDown();
    void subscriptionsFollowConnectedAndSurviveRestart();
    void messagesArriveWithTopic();
    void hangingPeerIsAbandoned();
    void refusedLoginWarnsAndEmitsError();
    void everyFailedAttemptIsReported_data();
    void everyFailedAttemptIsReported();
    void encryptionRequestWarnsAndConnectsPlain();
    void nameLookupLeavesTheEventLoopRunning();
    void willIsRetainedWhenProcessIsKilled();
};

void TestMqttClient::publishBeforeConnectFailsSilently()
{
    LogCapture log;
    MqttClient client;
    QSignalSpy errors(&client, &MqttClient::error);
    QVERIFY(!client.publish("{}", QStringLiteral("a/b")));
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(errors.count(), 0);
    client.subscribe(QStringLiteral("a/#"));
    QVERIFY(!log.contains(QStringLiteral("Subscribing")));
}

void TestMqttClient::retriesEveryIntervalWhileBrokerIsDown()
{
    LogCapture log;
    TestBroker broker;
    MqttClient client;
    configure(client, broker.port());
    QSignalSpy connected(&client, &MqttClient::connected);
    QSignalSpy disconnected(&client, &MqttClient::disconnected);
    QSignalSpy errors(&client, &MqttClient::error);

    QList<qint64> attempts;
    QElapsedTimer clock;
    clock.start();
    int seen = 0;
    client.connect();
    while (clock.elapsed() < 7500) {
        QTest::qWait(50);
        const int now = log.count(QStringLiteral("[MqttClient] Connecting to host"));
        for (; seen < now; ++seen)
            attempts.append(clock.elapsed());
    }
    QCOMPARE(attempts.size(), 3);
    for (int i = 1; i < attempts.size(); ++i) {
        const qint64 gap = attempts.at(i) - attempts.at(i - 1);
        QVERIFY2(gap >= 2950 && gap <= 3600, qPrintable(QString::number(gap)));
    }
    // Each refused attempt is reported, not only the first.
    QCOMPARE(errors.count(), attempts.size());
    QCOMPARE(log.count(QStringLiteral("[MqttClient] Transport invalid: ")), attempts.size());

    QVERIFY(broker.start());
    QVERIFY(connected.wait(5000));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[MqttClient] Connected to broker 127.0.0.1")));
}

void TestMqttClient::subscriptionsFollowConnectedAndSurviveRestart()
{
    LogCapture log;
    TestBroker broker;
    QVERIFY(broker.start());
    MqttClient client;
    configure(client, broker.port(), 500);
    // A name is looked up; the log keeps the name.
    client.setHostname(QStringLiteral("localhost"));
    client.subscribe(QStringLiteral("svc/#"));
    client.subscribe(QStringLiteral("svc/#"));

    // Whatever listens to connected() runs before the subscriptions renew.
    int subscribeLinesAtConnected = -1;
    QObject::connect(&client, &MqttClient::connected, [&] {
        subscribeLinesAtConnected = log.count(QStringLiteral("Subscribing to 'svc/#'"));
    });
    QSignalSpy connected(&client, &MqttClient::connected);
    QSignalSpy received(&client, &MqttClient::received);
    client.connect();
    QVERIFY(connected.wait(5000));
    QCOMPARE(subscribeLinesAtConnected, 0);
    QCOMPARE(log.count(QStringLiteral("[MqttClient] Subscribing to 'svc/#' with QoS = 0")), 2);

    MqttPeer peer(broker.port());
    QVERIFY(peer.connectAndWait());
    QVERIFY(peer.publish(QStringLiteral("svc/a"), QByteArray("1")));
    QTRY_VERIFY(received.count() >= 1);

    QVERIFY(broker.restart());
    QVERIFY(connected.wait(5000));
    QCOMPARE(log.count(QStringLiteral("Subscribing to 'svc/#'")), 4);
    QVERIFY(log.contains(QStringLiteral("[MqttClient] Disconnected from broker localhost")));

    MqttPeer peer2(broker.port());
    QVERIFY(peer2.connectAndWait());
    received.clear();
    QVERIFY(peer2.publish(QStringLiteral("svc/b"), QByteArray("2")));
    QTRY_VERIFY(received.count() >= 1);
    QCOMPARE(received.first().at(1).toByteArray(), QByteArray("svc/b"));
}

void TestMqttClient::messagesArriveWithTopic()
{
    LogCapture log;
    TestBroker broker;
    QVERIFY(broker.start());
    MqttClient client;
    configure(client, broker.port());
    QSignalSpy connected(&client, &MqttClient::connected);
    client.connect();
    QVERIFY(connected.wait(5000));

    MqttPeer peer(broker.port());
    QVERIFY(peer.connectAndWait());
    QVERIFY(peer.subscribeAndWait(QStringLiteral("out/#")));
    QVERIFY(client.publish("{\"a\": 1}", QStringLiteral("out/x")));
    QVERIFY(peer.waitFor(QStringLiteral("out/x")));
    QCOMPARE(peer.last(QStringLiteral("out/x")), QByteArray("{\"a\": 1}"));
    QVERIFY(log.contains(QtDebugMsg, QStringLiteral("[MqttClient] Publishing to topic 'out/x' with "
                                                    "Qos = 0 and Retain = false:\n{\"a\": 1}")));

    QSignalSpy received(&client, &MqttClient::received);
    client.subscribe(QStringLiteral("in/π"));
    QTest::qWait(200);
    QVERIFY(peer.publish(QStringLiteral("in/π"), QByteArray()));
    QVERIFY(received.wait(3000));
    QCOMPARE(received.first().at(0).toByteArray(), QByteArray());
    QCOMPARE(received.first().at(1).toByteArray(), QStringLiteral("in/π").toUtf8());

    // An invalid topic is refused by the client.
    QSignalSpy errors(&client, &MqttClient::error);
    QVERIFY(!client.publish("x", QStringLiteral("bad/#")));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(0).toString(), QStringLiteral("Publish to bad/# failed."));
    client.subscribe(QStringLiteral("bad/#/x"));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.last().at(0).toString(), QStringLiteral("Subscription to bad/#/x failed."));
}

void TestMqttClient::hangingPeerIsAbandoned()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QList<QTcpSocket*> accepted;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (server.hasPendingConnections())
            accepted.append(server.nextPendingConnection());
    });

    LogCapture log;
    MqttClient client;
    configure(client, server.serverPort(), 400);
    QSignalSpy disconnected(&client, &MqttClient::disconnected);
    client.connect();
    QTRY_COMPARE(accepted.size(), 1);
    QVERIFY(disconnected.wait(2000));
    QTRY_COMPARE_WITH_TIMEOUT(accepted.first()->state(), QAbstractSocket::UnconnectedState, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(accepted.size() >= 2, 3000);
    QVERIFY(log.count(QStringLiteral("[MqttClient] Connecting to host")) >= 2);
    qDeleteAll(accepted);
}

void TestMqttClient::refusedLoginWarnsAndEmitsError()
{
    LogCapture log;
    TestBroker broker;
    broker.addUser(QStringLiteral("tech"), QStringLiteral("right"));
    QVERIFY(broker.start());
    MqttClient client;
    configure(client, broker.port());
    client.setUsername(QStringLiteral("tech"));
    client.setPassword(Secret);
    QSignalSpy errors(&client, &MqttClient::error);
    client.connect();
    QVERIFY(errors.wait(5000));
    QCOMPARE(errors.first().at(0).toString(), QStringLiteral("Mqtt client error"));
    const bool badLogin = log.contains(
        QtWarningMsg, QStringLiteral("[MqttClient] Bad username or password. The data in the "
                                     "username or password is malformed."));
    const bool notAuthorized = log.count(QStringLiteral("[MqttClient] Not authorized: ")) > 0;
    QVERIFY(badLogin || notAuthorized);
    for (const QString& line : log.texts())
        QVERIFY2(!line.contains(Secret), qPrintable(line));
}

void TestMqttClient::everyFailedAttemptIsReported_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("warning");
    QTest::newRow("wrong password") << "password" << "[MqttClient] ";
    QTest::newRow("silent peer") << "silent" << "[MqttClient] Transport invalid: ";
}

// One warning and one error per failed attempt, the same failure included
// (the broker being down is covered above).
void TestMqttClient::everyFailedAttemptIsReported()
{
    QFETCH(QString, fault);
    QFETCH(QString, warning);
    TestBroker broker;
    QTcpServer silent;
    quint16 port = broker.port();
    if (fault == QLatin1String("password")) {
        broker.addUser(QStringLiteral("tech"), QStringLiteral("right"));
        QVERIFY(broker.start());
    } else {
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        port = silent.serverPort();
    }

    LogCapture log;
    MqttClient client;
    configure(client, port, 300);
    client.setUsername(QStringLiteral("tech"));
    client.setPassword(Secret);
    QSignalSpy disconnected(&client, &MqttClient::disconnected);
    QSignalSpy errors(&client, &MqttClient::error);
    client.connect();
    QTRY_VERIFY_WITH_TIMEOUT(disconnected.count() >= 3, 10000);
    QCOMPARE(errors.count(), disconnected.count());
    int warnings = 0;
    for (const LogCapture::Line& line : log.lines())
        warnings += line.type == QtWarningMsg && line.text.startsWith(warning);
    QCOMPARE(warnings, errors.count());
}

void TestMqttClient::encryptionRequestWarnsAndConnectsPlain()
{
    LogCapture log;
    TestBroker broker;
    QVERIFY(broker.start());
    MqttClient client;
    configure(client, broker.port());
    client.setEncrypted(true);
    QSignalSpy connected(&client, &MqttClient::connected);
    client.connect();
    QVERIFY(connected.wait(5000));
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[MqttClient] Encryption not yet supported")));
}

// A name server that never answers must not freeze the event loop: the
// lookup runs beside it and the guard timer abandons each attempt.
void TestMqttClient::nameLookupLeavesTheEventLoopRunning()
{
    if (geteuid() != 0)
        QSKIP("A silent name server needs root: a private mount namespace and port 53");
    QTemporaryDir dir;
    QFile resolvConf(dir.filePath(QStringLiteral("resolv.conf")));
    QVERIFY(resolvConf.open(QIODevice::WriteOnly));
    resolvConf.write(QByteArray("nameserver ") + SilentNameServer + "\noptions timeout:2 attempts:1\n");
    resolvConf.close();

    QProcess child;
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mount --bind \"$0\" /etc/resolv.conf && exec \"$@\""), resolvConf.fileName(),
                 QCoreApplication::applicationFilePath(), QStringLiteral("--lookup-child")});
    QVERIFY(child.waitForFinished(20000));
    const QString output = QString::fromLatin1(child.readAllStandardOutput());
    if (child.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("No private name server here: ") + child.readAllStandardError()));
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("still=(\\d+) queries=(\\d+) errors=(\\d+)")).match(output);
    QVERIFY2(m.hasMatch(), qPrintable(output));
    QVERIFY2(m.captured(1).toInt() < 500, qPrintable(output));
    QVERIFY2(m.captured(2).toInt() >= 1, qPrintable(output));
    QVERIFY2(m.captured(3).toInt() >= 2, qPrintable(output));
}

void TestMqttClient::willIsRetainedWhenProcessIsKilled()
{
    TestBroker broker;
    QVERIFY(broker.start());
    const QString topic = QStringLiteral("app/status");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--will-child"), QString::number(broker.port()), topic});
    QVERIFY(child.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += child.readAllStandardOutput()).contains("connected"), 5000);
    child.kill();
    child.waitForFinished();

    // Subscribing only now still sees the will: it was retained.
    QTest::qWait(300);
    MqttPeer peer(broker.port());
    QVERIFY(peer.connectAndWait());
    QVERIFY(peer.client().subscribe(topic, 0));
    QVERIFY(peer.waitFor(topic));
    QCOMPARE(peer.last(topic), QByteArray("{\"service\": false}"));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--will-child"))
        return runWillChild(args.at(2).toUShort(), args.at(3));
    if (args.size() == 2 && args.at(1) == QLatin1String("--lookup-child"))
        return runLookupChild();
    TestMqttClient test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MqttClient.moc"
