#include "Peripheral/Clock.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using manager::Clock;

namespace {

const QString Base = QStringLiteral("kivo/device/clock/ntp");

} // namespace

class TestClock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void timeZonesFromTheSystem();
    void hangingCommandGivesWhatItPrinted();
    void requests();
    void statusAndConfigMessages();

private:
    bool connectBus();
    QList<QStringList> calls() const;
    void write(const QString& name, const QByteArray& content);

    QTemporaryDir m_state;
    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Clock> m_clock;
};

void TestClock::initTestCase()
{
    // The demo's stand-in for timedatectl, keeping its zone and calls here.
    QVERIFY(m_state.isValid());
    qputenv("TIMEDATECTL_DIR", QFile::encodeName(m_state.path()));
    qputenv("PATH", QUILLON_SOURCE_DIR "/tools/timedatectl:" + qgetenv("PATH"));
}

void TestClock::init()
{
    write(QStringLiteral("zone"), "Europe/Athens");
    QFile::remove(m_state.filePath(QStringLiteral("hang")));
    QFile::remove(m_state.filePath(QStringLiteral("calls")));
    m_session = std::make_unique<BrokerSession>();
    m_clock = std::make_unique<Clock>(m_session->client(), QStringLiteral("kivo/device"));
}

// Only the cases about messages need the bus.
bool TestClock::connectBus()
{
    return m_session->start() && m_session->connect(Base + QStringLiteral("/#"));
}

void TestClock::cleanup()
{
    m_clock.reset();
    m_session.reset();
}

QList<QStringList> TestClock::calls() const
{
    QFile file(m_state.filePath(QStringLiteral("calls")));
    QList<QStringList> result;
    if (!file.open(QIODevice::ReadOnly))
        return result;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result.append(line.split(QLatin1Char('\t')).mid(1));
    return result;
}

void TestClock::write(const QString& name, const QByteArray& content)
{
    QFile file(m_state.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

void TestClock::timeZonesFromTheSystem()
{
    // Read once at construction, in the command's order, trailing line kept.
    QCOMPARE(m_clock->timezones(), (QStringList{"Africa/Abidjan", "Europe/Athens", "UTC", ""}));
    QCOMPARE(m_clock->timezone(), QStringLiteral("Europe/Athens"));
    QCOMPARE(calls(), (QList<QStringList>{{"--no-pager", "list-timezones"}, {"status"}}));

    // The zone in force: only the status is asked for.
    QSignalSpy zoneSpy(m_clock.get(), &Clock::timezoneChanged);
    m_clock->setTimezone(QStringLiteral("Europe/Athens"));
    QCOMPARE(zoneSpy.count(), 0);
    QCOMPARE(calls().size(), 3);

    // Blanks and shell characters stay inside the one argument.
    const QString hostile = QStringLiteral("Europe/Bad Zone; touch pwned $(id) --help");
    m_clock->setTimezone(hostile);
    QCOMPARE(zoneSpy.count(), 1);
    QCOMPARE(calls().last(), (QStringList{"set-timezone", hostile}));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    QCOMPARE(m_clock->timezone(), hostile);
}

// The stalled command is killed, not left to the process object to end.
void TestClock::hangingCommandGivesWhatItPrinted()
{
    write(QStringLiteral("hang"), QByteArray());
    LogCapture log;
    QCOMPARE(m_clock->timezone(), QStringLiteral("Europe/Athens"));
    QCOMPARE(log.count(QStringLiteral("Destroyed while process")), 0);
}

void TestClock::requests()
{
    QVERIFY(connectBus());
    MqttPeer& peer = m_session->peer();
    const QString set = Base + QStringLiteral("/config/set");
    const QString sync = Base + QStringLiteral("/sync");

    m_clock->refresh();
    QVERIFY(peer.waitFor(Base + QStringLiteral("/config/get")));
    QCOMPARE(peer.messages().size(), 2);
    QCOMPARE(peer.messages().at(0).topic, Base + QStringLiteral("/status/get"));
    QCOMPARE(peer.messages().at(0).payload, QByteArray());
    QCOMPARE(peer.messages().at(1).payload, QByteArray());

    peer.publish(Base + QStringLiteral("/config"), QJsonObject{{"enabled", true}, {"server", "a.ntp"}});
    QVERIFY(m_session->settle());
    m_clock->setNtpServer(QStringLiteral("a.ntp"));
    m_clock->setNtpEnabled(true);
    m_clock->setNtpServer(QStringLiteral("b.ntp"));
    m_clock->setNtpEnabled(false);
    QTRY_COMPARE(peer.count(set), 2);
    QCOMPARE(peer.messages(set).at(0).payload, Clock::toPayload({{"enabled", true}, {"server", "b.ntp"}}));
    QCOMPARE(peer.lastJson(set), (QJsonObject{{"enabled", false}, {"server", "a.ntp"}}));
    // The properties follow the service, not the request.
    QCOMPARE(m_clock->ntpServer(), QStringLiteral("a.ntp"));
    QVERIFY(m_clock->ntpEnabled());

    // A sync request is announced even when the clock already reads unsynced.
    QSignalSpy syncedSpy(m_clock.get(), &Clock::ntpSyncedChanged);
    m_clock->ntpSync();
    m_clock->ntpSync();
    QCOMPARE(syncedSpy.count(), 2);
    QTRY_COMPARE(peer.count(sync), 2);
    QCOMPARE(peer.last(sync), QByteArray());
}

void TestClock::statusAndConfigMessages()
{
    QVERIFY(connectBus());
    LogCapture log;
    MqttPeer& peer = m_session->peer();
    QSignalSpy syncedSpy(m_clock.get(), &Clock::ntpSyncedChanged);
    peer.publish(Base + QStringLiteral("/status"), QJsonObject{{"enabled", true}, {"synced", true}});
    peer.publish(Base + QStringLiteral("/config"), QJsonObject{{"enabled", true}, {"server", "pool.ntp"}});
    QVERIFY(m_session->settle());
    QVERIFY(m_clock->ntpEnabled());
    QVERIFY(m_clock->ntpSynced());
    QCOMPARE(m_clock->ntpServer(), QStringLiteral("pool.ntp"));

    // Without "synced" the clock reads unsynced; an empty payload is an error here.
    peer.publish(Base + QStringLiteral("/status"), QJsonObject{{"enabled", true}});
    peer.publish(Base + QStringLiteral("/config"), QByteArray());
    peer.publish(Base + QStringLiteral("/status"), QByteArray("{\"enabled\": tru"));
    QVERIFY(m_session->settle());
    QVERIFY(!m_clock->ntpSynced());
    QCOMPARE(syncedSpy.count(), 2);
    QCOMPARE(m_clock->ntpServer(), QStringLiteral("pool.ntp"));
    QVERIFY(log.contains(QtCriticalMsg, QStringLiteral("[Clock] Failed to parse JSON message: ")));
    QVERIFY(log.contains(QtCriticalMsg, QStringLiteral("[Clock] Failed to parse JSON message: {\"enabled\": tru")));

    // Dispatch goes by what the topic contains.
    m_session->client().subscribe(Base + QStringLiteral("/status/extra"));
    m_session->client().subscribe(Base + QStringLiteral("/other"));
    QVERIFY(m_session->settle());
    peer.publish(Base + QStringLiteral("/other"), QJsonObject{{"enabled", false}});
    QVERIFY(m_session->settle());
    QVERIFY(m_clock->ntpEnabled());
    peer.publish(Base + QStringLiteral("/status/extra"), QJsonObject{{"synced", true}});
    QVERIFY(m_session->settle());
    QVERIFY(m_clock->ntpSynced());
    QVERIFY(!m_clock->ntpEnabled());
}

QTEST_GUILESS_MAIN(TestClock)
#include "tst_Clock.moc"
