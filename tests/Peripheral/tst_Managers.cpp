#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"

#include "InProcessBus.h"
#include "LogCapture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace manager;

namespace {

// The device services' clients as one validator has them, on one bus.
struct Services {
    explicit Services(MessageBus& mqtt)
        : board(mqtt, QStringLiteral("kivo/board"))
        , inspector(mqtt, QStringLiteral("kivo/inspector"))
        , clock(mqtt, QStringLiteral("kivo/device"))
        , update(mqtt, QStringLiteral("kivo/device"))
        , network(mqtt, QStringLiteral("kivo/network"))
    {
    }

    Board board;
    Inspector inspector;
    Clock clock;
    Update update;
    Network network;
};

const char* const BoardStatus =
    R"(board/status {"service": true, "device": {"active": true, "ignition": false, "uptime": 3600000}})";
const char* const UpdateStatus =
    R"(device/status {"update": {"software": {"current": "1.4.0", "pending": "1.5.0"}}})";

// "suffix payload" with the payload's JSON in compact form, so that rows
// can be written with any spacing; a line without a blank has no payload.
QString normalised(const QString& line)
{
    const int blank = line.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return line;
    const QByteArray payload = line.mid(blank + 1).toUtf8();
    const QJsonDocument json = QJsonDocument::fromJson(payload);
    const QByteArray text = json.isNull() ? payload : json.toJson(QJsonDocument::Compact);
    return line.left(blank + 1) + QString::fromUtf8(text);
}

} // namespace

// The device service clients on an in-process bus: what each message does to
// the properties, what they ask for again after a lost link, and the timers.
class TestManagers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void messagesSetProperties_data();
    void messagesSetProperties();
    void clockRunsTimedatectl();
    void powerRequestsAreDelayedAndCommitted();
    // Last: it drops the link.
    void reconnectionAsksAgain();

private:
    // Publishes "suffix payload" lines under "kivo/" and waits until handled.
    bool send(const QStringList& lines);
    // "suffix payload" of what the managers published since `from`.
    QStringList heard(int from) const;
    QObject* object(const QString& name) const;

    QTemporaryDir m_clockState;
    InProcessBus m_bus;
    std::unique_ptr<Services> m_services;
};

void TestManagers::initTestCase()
{
    // The demo's stand-in for timedatectl keeps its zone and calls here.
    QVERIFY(m_clockState.isValid());
    qputenv("TIMEDATECTL_DIR", QFile::encodeName(m_clockState.path()));
    qputenv("PATH", QUILLON_SOURCE_DIR "/tools/timedatectl:" + qgetenv("PATH"));
    // One bus for all cases; the managers hear all of it, so each one's own
    // topics are what keep the other services' messages out.
    m_bus.subscribe(QStringLiteral("#"));
    m_bus.connect();
    QVERIFY(m_bus.waitConnected());
}

// Fresh managers for every case, on the connected client.
void TestManagers::init()
{
    QFile zone(m_clockState.filePath(QStringLiteral("zone")));
    QVERIFY(zone.open(QIODevice::WriteOnly | QIODevice::Truncate));
    zone.write("Europe/Athens");
    zone.close();
    QFile::remove(m_clockState.filePath(QStringLiteral("calls")));
    m_services = std::make_unique<Services>(m_bus);
    m_bus.clear();
}

void TestManagers::cleanup()
{
    m_services.reset();
}

bool TestManagers::send(const QStringList& lines)
{
    for (const QString& line : lines) {
        const int blank = line.indexOf(QLatin1Char(' '));
        const QByteArray payload = blank < 0 ? QByteArray() : line.mid(blank + 1).toUtf8();
        if (!m_bus.deliver(QStringLiteral("kivo/") + line.left(blank), payload))
            return false;
    }
    return true;
}

QStringList TestManagers::heard(int from) const
{
    QStringList lines;
    const QList<InProcessBus::Message> messages = m_bus.messages();
    for (int i = from; i < messages.size(); ++i) {
        const QString suffix = messages.at(i).topic.mid(5);
        const QByteArray& payload = messages.at(i).payload;
        lines << normalised(payload.isEmpty() ? suffix : suffix + QLatin1Char(' ') + QString::fromUtf8(payload));
    }
    return lines;
}

QObject* TestManagers::object(const QString& name) const
{
    const QMap<QString, QObject*> managers{{"board", &m_services->board}, {"inspector", &m_services->inspector},
                                           {"clock", &m_services->clock}, {"update", &m_services->update},
                                           {"network", &m_services->network}};
    return managers.value(name);
}

void TestManagers::messagesSetProperties_data()
{
    QTest::addColumn<QString>("manager");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QStringList>("messages");
    // An invalid value: only the signals are counted.
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("emitted");
    QTest::addColumn<QString>("logged");
    const auto row = [](const char* name, const char* manager, const char* property, const QStringList& messages,
                        const QVariant& value, int emitted, const char* logged = "") {
        QTest::newRow(name) << manager << QByteArray(property) << messages << value << emitted << logged;
    };
    const auto entry = [](const char* item, const char* descr, bool value) {
        return QVariantMap{{"item", item}, {"descr", descr}, {"value", value}};
    };

    // A repeated message emits once; whole numbers are logged in plain form.
    row("ignition", "board", "ignition", {BoardStatus, BoardStatus}, false, 1, "[Board] Uptime changed : 3600000");
    // A gone service reads "offline"; the other values keep their last state.
    row("service gone", "board", "ignition", {BoardStatus, R"(board/status {"service": false})"}, false, 1,
        "[Board] Status changed : offline");
    // The event of an edge the status already reported is no second change.
    row("ignition event", "board", "ignition", {BoardStatus, R"(board/event {"name": "IgnitionChanged", "data": "0"})"},
        false, 1);
    // Several changes give one list signal; a first "false" is a change too.
    row("peripherals", "board", "peripherals",
        {R"(board/power {"touch": null, "display": true})",
         R"(board/power {"display": true, "usbHost1": false, "mPCIe2": true, "heater": true})",
         R"(board/power {"display": true, "usbHost1": false})"},
        QVariantList{entry("display", "Display", true), entry("heater", "", true), entry("mPCIe2", "mPCIe #2", true),
                     entry("usbHost1", "USB Host", false)},
        2);
    // The base topic filters: a longer base is no match, a malformed message
    // elsewhere is not even read.
    row("other bases", "inspector", "status", {R"(inspectorx/status {"service": true})",
        R"(other/status {"service": tru)", R"(inspector/status/extra {"service": true})"}, QVariant(), 0);
    row("malformed", "board", "ignition", {R"(board/status {"service": tru)"}, QVariant(), 0,
        "[Board] Failed to parse JSON message: ");

    const QString server = R"(device/clock/ntp/config {"enabled": true, "server": "pool.ntp"})";
    // An empty message is an error here, unlike the other services.
    row("empty ntp config", "clock", "ntpServer", {server, "device/clock/ntp/config"}, "pool.ntp", 1,
        "[Clock] Failed to parse JSON message: ");

    // A plain string is only the installed version; the known pending one stays.
    row("versions", "update", "status", {UpdateStatus, R"(device/status {"update": {"software": "1.4.1"}})"},
        "Ready to install", 1);
    // An empty message from the agent is an empty object.
    row("agent empty", "update", "current",
        {R"(device/update/software/status {"current": "1.5.0"})", "device/update/software/status"}, "", 2);
    // The agent's misspelt progress topic is heard too.
    row("installing", "update", "progressPercent",
        {R"(device/update/software/progess {"message": "Writing image", "progress": 80, "version": "2.0.0"})"}, 80, 1);

    // An empty message is an empty object and clears everything.
    row("empty network status", "network", "hostname",
        {R"(network/status {"hostname": "validator-17"})", "network/status"}, "", 2);
}

void TestManagers::messagesSetProperties()
{
    QFETCH(QString, manager);
    QFETCH(QByteArray, property);
    QFETCH(QStringList, messages);
    QFETCH(QVariant, value);
    QFETCH(int, emitted);
    QFETCH(QString, logged);
    QObject* target = object(manager);
    QVERIFY(target);
    const QMetaProperty meta = target->metaObject()->property(target->metaObject()->indexOfProperty(property));
    QVERIFY(meta.hasNotifySignal());
    QSignalSpy changed(target, meta.notifySignal());
    LogCapture log;
    QVERIFY(send(messages));
    if (value.isValid())
        QCOMPARE(target->property(property), value);
    QCOMPARE(changed.count(), emitted);
    if (!logged.isEmpty())
        QVERIFY2(log.contains(logged), qPrintable(log.texts().join('\n')));
    // Only a malformed message logs an error, and once: the other managers'
    // bases keep it out.
    int errors = 0;
    for (const LogCapture::Line& line : log.lines())
        errors += line.type == QtCriticalMsg;
    QCOMPARE(errors, logged.contains(QLatin1String("Failed to parse")) ? 1 : 0);
}

// A lost link reads "Disconnected"; every reconnection asks for the state again.
void TestManagers::reconnectionAsksAgain()
{
    QVERIFY(send({UpdateStatus}));
    m_bus.drop();
    QCOMPARE(m_services->update.status(), QStringLiteral("Disconnected"));
    const int from = m_bus.size();
    m_bus.connect();
    QVERIFY(m_bus.waitConnected());
    const QStringList asked = heard(from);
    for (const char* request : {"board/status/get {}", "device/status/get", "inspector/audio/get {}"})
        QVERIFY2(asked.contains(QLatin1String(request)), qPrintable(asked.join('\n')));
    QVERIFY(send({UpdateStatus}));
    QCOMPARE(m_services->update.status(), QStringLiteral("Ready to install"));
}

void TestManagers::clockRunsTimedatectl()
{
    Clock& clock = m_services->clock;
    // The zone in force is not set again; blanks and shell characters stay
    // inside the one argument.
    QSignalSpy zoneSpy(&clock, &Clock::timezoneChanged);
    clock.setTimezone(QStringLiteral("Europe/Athens"));
    const QString hostile = QStringLiteral("Europe/Bad Zone; touch pwned $(id) --help");
    clock.setTimezone(hostile);
    QCOMPARE(zoneSpy.count(), 1);
    QFile calls(m_clockState.filePath(QStringLiteral("calls")));
    QVERIFY(calls.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(calls.readAll()).trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.filter(QStringLiteral("set-timezone")).size(), 1);
    QVERIFY(lines.last().endsWith(QStringLiteral("\tset-timezone\t") + hostile));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    QCOMPARE(clock.timezone(), hostile);

    // A stalled command gives what it printed and is killed, not left to the
    // process object to end.
    QFile hang(m_clockState.filePath(QStringLiteral("hang")));
    QVERIFY(hang.open(QIODevice::WriteOnly));
    hang.close();
    LogCapture log;
    QCOMPARE(clock.timezone(), hostile);
    QCOMPARE(log.count(QStringLiteral("Destroyed while process")), 0);
    QFile::remove(hang.fileName());
}

void TestManagers::powerRequestsAreDelayedAndCommitted()
{
    Inspector& inspector = m_services->inspector;
    QSignalSpy rebootSpy(&inspector, &Inspector::systemRebootStarted);
    QSignalSpy shutdownSpy(&inspector, &Inspector::systemShutdownStarted);
    const QString reboot = QStringLiteral("kivo/inspector/power/reboot/request/1");
    const QString shutdown = QStringLiteral("kivo/inspector/power/shutdown/request/1");

    // Aborted, a schedule no longer stands in the way of the next one.
    inspector.scheduleShutdown(60);
    inspector.abortShutdown();
    // Started at once, requested two seconds later; twice asked, twice sent.
    QElapsedTimer clock;
    clock.start();
    inspector.systemReboot();
    inspector.systemReboot();
    QCOMPARE(rebootSpy.count(), 2);
    // The first schedule stands: the second would fire at once.
    inspector.scheduleShutdown(1);
    inspector.scheduleShutdown(0);
    QCoreApplication::processEvents();
    QCOMPARE(shutdownSpy.count(), 0);
    QVERIFY(shutdownSpy.wait(15000));
    QTRY_COMPARE(m_bus.count(reboot), 2);
    // Two seconds, less the 5 % a coarse timer may fire early.
    QVERIFY(clock.elapsed() >= 1900);
    // Expired: abort no longer stops the request that follows.
    inspector.abortShutdown();
    QTRY_COMPARE(m_bus.count(shutdown), 1);
    // One second, then two, each less the 5 % a coarse timer may fire early.
    QVERIFY(clock.elapsed() >= 2800);
    QCOMPARE(m_bus.last(reboot), QByteArray());
}

QTEST_GUILESS_MAIN(TestManagers)
#include "tst_Managers.moc"
