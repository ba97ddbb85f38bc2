#include "Peripheral/Inspector.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using manager::Inspector;

class TestInspector : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void receivedTopics();
    void requests();
    void powerRequestsAreCommitted();
    void scheduledShutdown();

private:
    bool settle() { return m_session->settle(); }
    void publish(const QString& suffix, const QJsonObject& message)
    {
        m_session->peer().publish(m_base + suffix, message);
    }

    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Inspector> m_inspector;
    MqttPeer* m_peer = nullptr;
    const QString m_base = QStringLiteral("kivo/inspector");
};

void TestInspector::init()
{
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_inspector = std::make_unique<Inspector>(m_session->client(), m_base);
    QVERIFY(m_session->connect(m_base + "/#"));
    m_peer = &m_session->peer();
}

void TestInspector::cleanup()
{
    m_inspector.reset();
    m_session.reset();
}

void TestInspector::receivedTopics()
{
    QSignalSpy infoSpy(m_inspector.get(), &Inspector::infoChanged);
    QSignalSpy statusSpy(m_inspector.get(), &Inspector::statusChanged);
    QSignalSpy volumeSpy(m_inspector.get(), &Inspector::audioVolumeChanged);
    QSignalSpy memorySpy(m_inspector.get(), &Inspector::memoryChanged);

    // Info is announced every time, even without a version.
    publish("/info", {{"service", QJsonObject{{"version", "3.1.0"}}}});
    QVERIFY(settle());
    QCOMPARE(m_inspector->info(), (QVariantMap{{"version", "3.1.0"}}));
    publish("/info", {});
    publish("/status", {{"service", false}});
    publish("/status", {{"service", false}});
    publish("/audio",
            {{"internal", QJsonObject{{"volume", 40}}}, {"hdmi", QJsonObject{{"volume", 90}}}});
    publish("/audio", {{"internal", QJsonObject{{"volume", 40}}}});
    QVERIFY(settle());
    QCOMPARE(infoSpy.count(), 2);
    QCOMPARE(m_inspector->info(), (QVariantMap{{"version", ""}}));
    QCOMPARE(statusSpy.count(), 1);
    QCOMPARE(m_inspector->status(), QStringLiteral("offline"));
    QCOMPARE(volumeSpy.count(), 1);
    QCOMPARE(m_inspector->audioVolume(), 40);

    // No device object is needed for "online"; no "internal" card reads as 0.
    publish("/status", {{"service", true}});
    publish("/audio", {{"hdmi", QJsonObject{{"volume", 90}}}});
    // Statistics are accepted and dropped, whatever they carry.
    publish("/stats/memory", {{"total", 512}, {"service", false}});
    publish("/stats/disk", {{"internal", QJsonObject{{"volume", 7}}}});
    QVERIFY(settle());
    QCOMPARE(m_inspector->status(), QStringLiteral("online"));
    QCOMPARE(m_inspector->audioVolume(), 0);
    QCOMPARE(volumeSpy.count(), 2);
    QCOMPARE(memorySpy.count(), 0);
    QVERIFY(m_inspector->memory().isEmpty() && m_inspector->disks().isEmpty());
}

void TestInspector::requests()
{
    m_inspector->refresh();
    QVERIFY(m_peer->waitFor(m_base + "/stats/cpu/get"));
    QStringList gets;
    for (const MqttPeer::Message& m : m_peer->messages())
        gets.append(m.topic.mid(m_base.size()) + " " + m.payload);
    QCOMPARE(gets, (QStringList{"/audio/get {}", "/stats/memory/get {}", "/stats/disk/get {}",
                                "/stats/cpu/get {}"}));

    // Asked for even when unchanged; the volume follows only the service.
    m_inspector->setAudioVolume(55);
    m_inspector->setAudioVolume(55);
    const QString file = QStringLiteral("/opt/kivo/quillon/No such file.wav");
    m_inspector->audioPlay(file);
    QVERIFY(m_peer->waitFor(m_base + "/audio/play"));
    QCOMPARE(m_peer->count(m_base + "/audio/set"), 2);
    QCOMPARE(m_peer->lastJson(m_base + "/audio/set"),
             (QJsonObject{{"internal", QJsonObject{{"volume", 55}}}}));
    QCOMPARE(m_peer->lastJson(m_base + "/audio/play"),
             (QJsonObject{{"device", "internal"}, {"filepath", file}}));
    QCOMPARE(m_inspector->audioVolume(), 0);
}

void TestInspector::powerRequestsAreCommitted()
{
    QSignalSpy rebootSpy(m_inspector.get(), &Inspector::systemRebootStarted);
    QSignalSpy shutdownSpy(m_inspector.get(), &Inspector::systemShutdownStarted);
    const QString reboot = m_base + "/power/reboot/request/1";
    const QString shutdown = m_base + "/power/shutdown/request/1";
    QElapsedTimer clock;
    clock.start();

    // Started at once, requested after the delay; twice asked, twice sent.
    m_inspector->systemReboot();
    m_inspector->systemReboot();
    m_inspector->systemShutdown();
    QCOMPARE(rebootSpy.count(), 2);
    QCOMPARE(shutdownSpy.count(), 1);
    QVERIFY(settle());
    QCOMPARE(m_peer->count(reboot) + m_peer->count(shutdown), 0);
    m_inspector->abortShutdown();
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->count(reboot), 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->count(shutdown), 1, 5000);
    // Two seconds, less the 5 % a coarse timer may fire early.
    QVERIFY(clock.elapsed() >= 1900);
    QCOMPARE(m_peer->last(reboot), QByteArray());
    QCOMPARE(m_peer->last(shutdown), QByteArray());
}

void TestInspector::scheduledShutdown()
{
    LogCapture log;
    QSignalSpy shutdownSpy(m_inspector.get(), &Inspector::systemShutdownStarted);

    // Nothing armed: abort does nothing. Armed: abort disarms, so the next is taken.
    m_inspector->abortShutdown();
    QCOMPARE(log.count("Aborting"), 0);
    m_inspector->scheduleShutdown(1);
    m_inspector->abortShutdown();
    QCOMPARE(log.count("[Inspector] Aborting System shutdown"), 1);

    // The first schedule stands: the second would have fired after one second.
    QElapsedTimer clock;
    clock.start();
    m_inspector->scheduleShutdown(2);
    m_inspector->scheduleShutdown(1);
    QCOMPARE(log.count("Scheduling System shutdown"), 2);
    QVERIFY(log.contains(QtInfoMsg, "[Inspector] Scheduling System shutdown in : 2 sec(s)"));
    QVERIFY(shutdownSpy.wait(5000));
    QVERIFY(clock.elapsed() >= 1500);

    // Expired: abort no longer stops the request that follows.
    m_inspector->abortShutdown();
    QCOMPARE(log.count("Aborting"), 1);
    QVERIFY(m_peer->waitFor(m_base + "/power/shutdown/request/1"));
    QVERIFY(clock.elapsed() >= 3800);
    QCOMPARE(shutdownSpy.count(), 1);
}

QTEST_GUILESS_MAIN(TestInspector)
#include "tst_Inspector.moc"
