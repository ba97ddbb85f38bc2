#include "Common/MqttClient.h"

#include "LogCapture.h"
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
    // Two abandoned attempts end the run; the limit only stops a hung one.
    int errors = 0;
    QObject::connect(&client, &MqttClient::error, [&] {
        if (++errors == 2)
            QCoreApplication::quit();
    });

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
    QTimer::singleShot(15000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    printf("still=%lld queries=%d errors=%d\n", longestStill, queries, errors);
    return 0;
}

} // namespace

class TestMqttClient : public QObject
{
    Q_OBJECT

private slots:
    void everyFailedAttemptIsReported_data();
    void everyFailedAttemptIsReported();
    void nameLookupLeavesTheEventLoopRunning();
    void listensBeforeItTellsOfTheConnection();
};

void TestMqttClient::everyFailedAttemptIsReported_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("warning");
    QTest::newRow("broker down") << "down" << "[MqttClient] Transport invalid: ";
    QTest::newRow("wrong password") << "password" << "[MqttClient] ";
    QTest::newRow("silent peer") << "silent" << "[MqttClient] Transport invalid: ";
}

// Attempts follow one another at the interval, never sooner, however busy
// the machine; each failure gives one warning and one error, the same failure
// again included; a silent peer is abandoned; a broker that comes up is reached.
void TestMqttClient::everyFailedAttemptIsReported()
{
    QFETCH(QString, fault);
    QFETCH(QString, warning);
    TestBroker broker;
    QTcpServer silent;
    QList<QTcpSocket*> accepted;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] { accepted.append(silent.nextPendingConnection()); });
    quint16 port = broker.port();
    if (fault == QLatin1String("password")) {
        broker.addUser(QStringLiteral("tech"), QStringLiteral("right"));
        QVERIFY(broker.start());
    } else if (fault == QLatin1String("silent")) {
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        port = silent.serverPort();
    }

    LogCapture log;
    MqttClient client;
    configure(client, port, 1000);
    // A name is looked up: "localhost" has an IPv6 address too, the servers here only IPv4.
    client.setHostname(QStringLiteral("localhost"));
    client.setUsername(QStringLiteral("tech"));
    client.setPassword(Secret);
    QSignalSpy connected(&client, &MqttClient::connected);
    QSignalSpy errors(&client, &MqttClient::error);
    client.connect();
    const QString attempt = QStringLiteral("[MqttClient] Connecting to host");
    const auto reported = [&] {
        int warnings = 0;
        for (const LogCapture::Line& line : log.lines())
            warnings += line.type == QtWarningMsg && line.text.startsWith(warning);
        return log.count(attempt) >= 3 && errors.count() == log.count(attempt) && warnings == errors.count();
    };
    QTRY_VERIFY_WITH_TIMEOUT(reported(), 20000);
    QCOMPARE(errors.first().at(0).toString(), QStringLiteral("Mqtt client error"));
    qint64 last = -1;
    for (const LogCapture::Line& line : log.lines()) {
        QVERIFY2(!line.text.contains(Secret), qPrintable(line.text));
        if (!line.text.contains(attempt))
            continue;
        // The interval, less the 5 % a coarse timer may fire early.
        QVERIFY2(last < 0 || line.millis - last >= 950, qPrintable(QString::number(line.millis - last)));
        last = line.millis;
    }
    if (!accepted.isEmpty())
        QTRY_COMPARE(accepted.first()->state(), QAbstractSocket::UnconnectedState);
    if (fault == QLatin1String("down")) {
        QVERIFY(broker.start());
        QVERIFY(connected.wait(15000));
    }
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
    QVERIFY(child.waitForFinished(30000));
    const QString output = QString::fromLatin1(child.readAllStandardOutput());
    if (child.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("No private name server here: ") + child.readAllStandardError()));
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("still=(\\d+) queries=(\\d+) errors=(\\d+)")).match(output);
    QVERIFY2(m.hasMatch(), qPrintable(output));
    // A blocking lookup would stand still for the name server's 2 s.
    QVERIFY2(m.captured(1).toInt() < 1000, qPrintable(output));
    QVERIFY2(m.captured(2).toInt() >= 1, qPrintable(output));
    QVERIFY2(m.captured(3).toInt() >= 2, qPrintable(output));
}

// Whoever hears of the connection may publish at once, and an answer must
// find the subscriptions in place. The broker handles a connection's packets
// in order: the client's own message on a topic it listens to comes back only
// if the subscription went out first.
void TestMqttClient::listensBeforeItTellsOfTheConnection()
{
    TestBroker broker;
    QVERIFY(broker.start());
    MqttClient client;
    configure(client, broker.port());
    client.subscribe(QStringLiteral("quillon/here"));
    QObject::connect(&client, &MqttClient::connected, &client,
                     [&client] { client.publish(QByteArrayLiteral("{}"), QStringLiteral("quillon/here")); });
    QSignalSpy received(&client, &MqttClient::received);
    client.connect();
    QVERIFY(received.wait(15000));
    QCOMPARE(received.first().at(1).toByteArray(), QByteArray("quillon/here"));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args.at(1) == QLatin1String("--lookup-child"))
        return runLookupChild();
    TestMqttClient test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MqttClient.moc"
