#include "Peripheral/Update.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QSignalSpy>
#include <QTest>

using manager::Update;

namespace {

const QString Status = QStringLiteral("kivo/device/status");
const QString SoftwareStatus = QStringLiteral("kivo/device/update/software/status");
const QString Progress = QStringLiteral("kivo/device/update/software/progress");

QJsonObject deviceStatus(const QJsonValue& software)
{
    return QJsonObject{{"update", QJsonObject{{"software", software}}}};
}

QJsonObject progress(const QString& message, int percent)
{
    return QJsonObject{{"message", message}, {"progress", percent}, {"version", "2.0.0"}};
}

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusMessagesSetVersions();
    void progressOnBothTopics();
    void checkEndsOnProgressOrTimer();
    void installNeedsPendingVersion();
    void brokerLossAndReconnection();

private:
    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Update> m_update;
};

void TestUpdate::init()
{
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_update = std::make_unique<Update>(m_session->client(), QStringLiteral("kivo/device"));
    QCOMPARE(m_update->status(), QStringLiteral("Disconnected"));
    QVERIFY(m_session->connect(QStringLiteral("kivo/device/#")));
}

void TestUpdate::cleanup()
{
    m_update.reset();
    m_session.reset();
}

void TestUpdate::statusMessagesSetVersions()
{
    MqttPeer& peer = m_session->peer();
    peer.publish(Status, deviceStatus(QJsonObject{{"current", "1.4.0"}, {"pending", "1.5.0"}}));
    QVERIFY(m_session->settle());
    QCOMPARE(m_update->current(), QStringLiteral("1.4.0"));
    QCOMPARE(m_update->pending(), QStringLiteral("1.5.0"));
    QCOMPARE(m_update->status(), QStringLiteral("Ready to install"));
    QCOMPARE(m_update->progressMessage(), QStringLiteral("Idle"));

    // A plain string is only the installed version; the known pending one stays.
    peer.publish(Status, deviceStatus(QStringLiteral("1.4.1")));
    QVERIFY(m_session->settle());
    QCOMPARE(m_update->current(), QStringLiteral("1.4.1"));
    QCOMPARE(m_update->status(), QStringLiteral("Ready to install"));

    // The agent's own status moves the versions, never the state; an empty
    // message there is an empty object, and a broken one changes nothing.
    peer.publish(SoftwareStatus, QJsonObject{{"current", "1.5.0"}});
    peer.publish(SoftwareStatus, QByteArray("{\"current\": "));
    QVERIFY(m_session->settle());
    QCOMPARE(m_update->current(), QStringLiteral("1.5.0"));
    QVERIFY(m_update->pending().isEmpty());
    QCOMPARE(m_update->status(), QStringLiteral("Ready to install"));
    peer.publish(SoftwareStatus, QByteArray());
    peer.publish(Status, deviceStatus(QJsonValue()));
    QVERIFY(m_session->settle());
    QVERIFY(m_update->current().isEmpty());
    QCOMPARE(m_update->status(), QStringLiteral("No pending updates"));
}

void TestUpdate::progressOnBothTopics()
{
    for (const QString& topic : {Progress, QStringLiteral("kivo/device/update/software/progess")}) {
        m_session->peer().publish(topic, progress("12/40 MB", 30));
        QVERIFY(m_session->settle());
        QCOMPARE(m_update->status(), QStringLiteral("Downloading"));
        QCOMPARE(m_update->progressMessage(), QStringLiteral("12/40 MB"));
        QCOMPARE(m_update->progressPercent(), 30);
        QCOMPARE(m_update->pending(), QStringLiteral("2.0.0"));

        m_session->peer().publish(topic, progress("Writing image", 80));
        QVERIFY(m_session->settle());
        QCOMPARE(m_update->status(), QStringLiteral("Installing"));
        QCOMPARE(m_update->progressPercent(), 80);
    }
}

void TestUpdate::checkEndsOnProgressOrTimer()
{
    const QString check = QStringLiteral("kivo/device/software/check");
    m_update->check();
    QCOMPARE(m_update->status(), QStringLiteral("Checking for updates"));
    QVERIFY(m_session->peer().waitFor(check));
    QCOMPARE(m_session->peer().last(check), QByteArray());

    // Progress ends the check: past its interval the download is still shown.
    m_session->peer().publish(Progress, progress("1/9 MB", 5));
    QVERIFY(m_session->settle());
    QTest::qWait(5500);
    QCOMPARE(m_update->status(), QStringLiteral("Downloading"));

    LogCapture log;
    m_update->check();
    QTRY_COMPARE_WITH_TIMEOUT(m_update->status(), QStringLiteral("Ready to install"), 8000);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Update] No pedning updates")));
}

void TestUpdate::installNeedsPendingVersion()
{
    const QString install = QStringLiteral("kivo/device/update/software/install");
    LogCapture log;
    m_update->install();
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[Update] WARN: Cannot install. There are no pending versions")));

    m_session->peer().publish(SoftwareStatus, QJsonObject{{"current", "1.0"}, {"pending", "1.1"}});
    QVERIFY(m_session->settle());
    m_update->install();
    QVERIFY(m_session->peer().waitFor(install));
    QCOMPARE(m_session->peer().count(install), 1);
    QCOMPARE(m_session->peer().last(install), QByteArray());
}

void TestUpdate::brokerLossAndReconnection()
{
    m_session->peer().publish(Status, deviceStatus(QStringLiteral("1.0")));
    QVERIFY(m_session->settle());
    QCOMPARE(m_update->status(), QStringLiteral("No pending updates"));

    LogCapture log;
    QVERIFY(m_session->broker().restart());
    QTRY_COMPARE(m_update->status(), QStringLiteral("Disconnected"));
    // Back on the broker, the state is asked for again with an empty request.
    QTRY_VERIFY_WITH_TIMEOUT(
        log.contains(QtDebugMsg, QStringLiteral("[MqttClient] Publishing to topic 'kivo/device/status/get' "
                                                "with Qos = 0 and Retain = false:\n")),
        8000);
}

QTEST_GUILESS_MAIN(TestUpdate)
#include "tst_Update.moc"
