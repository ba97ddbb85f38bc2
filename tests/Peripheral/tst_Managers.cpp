#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace manager;

using Request = std::function<void()>;
Q_DECLARE_METATYPE(Request)

namespace {

// The device services' clients as one validator has them, on one bus.
struct Services {
    explicit Services(MqttClient& mqtt)
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
    R"(board/status {"service": true, "device": {"active": true, "ignition": false, "poleId": "P-17",
       "temperature": 41.5, "voltage": 24.2, "uptime": 3600000, "hardwareStatus": {"rtcFailed": true}}})";
const char* const BoardInfo = R"(board/info {"device": {"firmwareVersion": "2.4.1", "hardwareId": "H9",
    "hardwareVersion": "C"}, "service": {"version": "1.8"}})";
const char* const NetworkStatus =
    R"(network/status {"stateStr": "Connected", "connectivityStr": "Full", "hostname": "validator-17",
       "primaryConnection": {"interface": "eth0", "stateStr": "Activated", "typeStr": "Ethernet", "ipv4":
       {"address": "10.0.0.5", "netmask": "255.255.255.0", "gateway": "10.0.0.1", "dns0": "10.0.0.2", "dns1": ""}}})";
const char* const EthernetState =
    R"(network/ethernet/state {"interface": "eth0", "typeStr": "Ethernet", "stateStr": "Activated",
       "reasonStr": "None", "mac": "00:11:22:33:44:55", "ipv4": {"address": "10.1.0.7", "dns1": ""}})";
const char* const EthernetConfig =
    R"(network/ethernet/config {"interface": "eth0", "method": "manual", "address": "192.168.1.50",
       "netmask": "255.255.255.0", "gateway": "192.168.1.1", "dns0": "192.168.1.2", "dns1": ""})";
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

// The device service clients over a real broker: what each message does to
// the properties, what each request puts on the bus, and the timers.
class TestManagers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void messagesSetProperties_data();
    void messagesSetProperties();
    void requests_data();
    void requests();
    void clockRunsTimedatectl();
    void powerRequestsAreDelayedAndCommitted();
    void updateCheckEndsOnProgressOrTimer();
    // Last: it restarts the broker.
    void monitorAndReconnection();

private:
    // Publishes "suffix payload" lines under "kivo/" and waits until handled.
    bool send(const QStringList& lines);
    // "suffix payload" of what the peer has heard since `from`.
    QStringList heard(int from) const;
    QObject* object(const QString& path) const;

    QTemporaryDir m_clockState;
    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<Services> m_services;
};

void TestManagers::initTestCase()
{
    // The demo's stand-in for timedatectl keeps its zone and calls here.
    QVERIFY(m_clockState.isValid());
    qputenv("TIMEDATECTL_DIR", QFile::encodeName(m_clockState.path()));
    qputenv("PATH", QUILLON_SOURCE_DIR "/tools/timedatectl:" + qgetenv("PATH"));
    // One bus for all cases; the client hears all of it, so each manager's
    // own base topic is what keeps the other services' messages out.
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_session->client().subscribe(QStringLiteral("#"));
    QVERIFY(m_session->connect(QStringLiteral("kivo/#")));
}

// Fresh managers for every case, on the connected client.
void TestManagers::init()
{
    QFile zone(m_clockState.filePath(QStringLiteral("zone")));
    QVERIFY(zone.open(QIODevice::WriteOnly | QIODevice::Truncate));
    zone.write("Europe/Athens");
    zone.close();
    QFile::remove(m_clockState.filePath(QStringLiteral("calls")));
    m_services = std::make_unique<Services>(m_session->client());
    m_session->peer().clear();
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
        m_session->peer().publish(QStringLiteral("kivo/") + line.left(blank), payload);
    }
    return m_session->settle();
}

QStringList TestManagers::heard(int from) const
{
    QStringList lines;
    const QList<MqttPeer::Message> messages = m_session->peer().messages();
    for (int i = from; i < messages.size(); ++i) {
        const QString suffix = messages.at(i).topic.mid(5);
        const QByteArray& payload = messages.at(i).payload;
        lines << normalised(payload.isEmpty() ? suffix : suffix + QLatin1Char(' ') + QString::fromUtf8(payload));
    }
    return lines;
}

// "network.primaryConnection.ipv4": a manager, then object properties.
QObject* TestManagers::object(const QString& path) const
{
    const QStringList parts = path.split(QLatin1Char('.'));
    const QMap<QString, QObject*> roots{{"board", &m_services->board},
                                       {"inspector", &m_services->inspector},
                                       {"clock", &m_services->clock},
                                       {"update", &m_services->update},
                                       {"network", &m_services->network},
                                       {"ethernet", m_services->network.ethernet()}};
    QObject* found = roots.value(parts.first());
    for (const QString& part : parts.mid(1))
        found = found->property(part.toLatin1()).value<QObject*>();
    return found;
}

void TestManagers::messagesSetProperties_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QStringList>("messages");
    // An invalid value: only the signals are counted.
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("emitted");
    QTest::addColumn<QString>("logged");
    const auto row = [](const char* name, const char* path, const char* property, const QStringList& messages,
                        const QVariant& value, int emitted, const char* logged = "") {
        QTest::newRow(name) << path << QByteArray(property) << messages << value << emitted << logged;
    };
    const QString inactive = R"(board/status {"service": true, "device": {"temperature": 9}})";
    const QString display = R"(board/display {"brightness": 80, "sensor": 312, "mode": "auto"})";
    const QString dimmer = R"(board/display {"brightness": 60, "sensor": 312, "mode": "auto"})";
    const auto entry = [](const char* item, const char* descr, bool value) {
        return QVariantMap{{"item", item}, {"descr", descr}, {"value", value}};
    };

    // Each manager: a repeated message changes a property and emits once; a
    // field update is logged with whole numbers in plain form.
    row("ignition", "board", "ignition", {BoardStatus, BoardStatus}, false, 1, "[Board] Ignition changed : false");
    row("pole", "board", "poleId", {BoardStatus}, "P-17", 1, "[Board] Uptime changed : 3600000");
    row("temperature", "board", "temperature", {BoardStatus}, 41.5, 1, "[Board] Temperature changed : 41.5");
    // An inactive device reads "error", a gone service "offline"; the readings stay.
    row("inactive device", "board", "status", {BoardStatus, inactive}, "error", 2);
    row("service gone", "board", "status", {BoardStatus, R"(board/status {"service": false})"}, "offline", 2);
    row("readings kept", "board", "voltage", {BoardStatus, inactive, R"(board/status {})"}, 24.2, 1);
    // The event of an edge the status already reported is no second change.
    row("ignition event", "board", "ignition", {BoardStatus, R"(board/event {"name": "IgnitionChanged", "data": "0"})"},
        false, 1, R"([Board] Event received : IgnitionChanged [QVariant(QString, "0")])");
    row("ignition edges", "board", "ignition",
        {BoardStatus, R"(board/event {"name": "IgnitionChanged", "data": 1})",
         R"(board/event {"name": "ignitionchanged", "data": 0})"}, true, 2);
    row("board info", "board", "info", {BoardInfo, BoardInfo},
        QVariantMap{{"firmware", "2.4.1"}, {"hardwareId", "H9"}, {"hardware", "C"}, {"version", "1.8"}}, 2);
    row("shutdown delay", "board", "delayShutdownFor",
        {R"(board/config {"device": {"delayShutdownFor": 120}})", R"(board/config {"device": {"delayShutdownFor": 120}})"},
        120, 1);
    row("brightness", "board", "displayBrightness", {display, dimmer}, 60, 2);
    row("brightness mode", "board", "displayBrightnessMode", {display, dimmer}, "auto", 1);
    row("mute", "board", "audioEnabled", {R"(board/audio {"mute": false})", R"(board/audio {"mute": true})"}, false, 1);
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
    row("other bases", "board", "status",
        {R"(boardx/status {"service": true})", R"(other/status {"service": tru)", R"(board/status/extra {"service": true})"},
        QVariant(), 0);
    row("malformed", "board", "status", {R"(board/status {"service": tru)"}, QVariant(), 0,
        "[Board] Failed to parse JSON message: ");

    // Info is announced on every message; no device object is needed for "online".
    row("inspector info", "inspector", "info",
        {R"(inspector/info {"service": {"version": "3.1.0"}})", R"(inspector/info {})"}, QVariantMap{{"version", ""}}, 2);
    row("inspector online", "inspector", "status", {R"(inspector/status {"service": true})"}, "online", 1);
    row("volume", "inspector", "audioVolume",
        {R"(inspector/audio {"internal": {"volume": 40}, "hdmi": {"volume": 90}})",
         R"(inspector/audio {"internal": {"volume": 40}})"}, 40, 1);
    row("no internal card", "inspector", "audioVolume",
        {R"(inspector/audio {"internal": {"volume": 40}})", R"(inspector/audio {"hdmi": {"volume": 90}})"}, 0, 2);

    const QString synced = R"(device/clock/ntp/status {"enabled": true, "synced": true})";
    const QString server = R"(device/clock/ntp/config {"enabled": true, "server": "pool.ntp"})";
    row("ntp synced", "clock", "ntpSynced", {synced, synced}, true, 1);
    row("ntp server", "clock", "ntpServer", {server, server}, "pool.ntp", 1);
    row("synced needs the member", "clock", "ntpSynced", {synced, R"(device/clock/ntp/status {"enabled": true})"},
        false, 2);
    // An empty message is an error here, unlike the other services.
    row("empty ntp config", "clock", "ntpServer", {server, "device/clock/ntp/config"}, "pool.ntp", 1,
        "[Clock] Failed to parse JSON message: ");

    // A plain string is only the installed version; the known pending one stays.
    row("versions", "update", "status", {UpdateStatus, R"(device/status {"update": {"software": "1.4.1"}})"},
        "Ready to install", 1);
    row("installed", "update", "current", {UpdateStatus, R"(device/status {"update": {"software": "1.4.1"}})"},
        "1.4.1", 2);
    // The agent's own status moves the versions, never the state; an empty
    // message there is an empty object.
    row("agent versions", "update", "pending",
        {UpdateStatus, R"(device/update/software/status {"current": "1.5.0"})",
         R"(device/update/software/status {"current": )"}, "", 2, "[Update] Failed to parse JSON message: ");
    row("agent empty", "update", "current",
        {R"(device/update/software/status {"current": "1.5.0"})", "device/update/software/status"}, "", 2);
    row("nothing pending", "update", "status", {R"(device/status {"update": {"software": null}})"},
        "No pending updates", 1);
    row("downloading", "update", "status",
        {R"(device/update/software/progress {"message": "12/40 MB", "progress": 30, "version": "2.0.0"})"},
        "Downloading", 1);
    row("installing", "update", "progressPercent",
        {R"(device/update/software/progess {"message": "Writing image", "progress": 80, "version": "2.0.0"})"}, 80, 1);

    row("network state", "network", "connectionState", {NetworkStatus, NetworkStatus}, "Connected", 1);
    row("primary address", "network.primaryConnection.ipv4", "gateway", {NetworkStatus}, "10.0.0.1", 1);
    // An empty message is an empty object and clears everything; so does a
    // primary connection that is not an object.
    row("empty network status", "network", "hostname", {NetworkStatus, "network/status"}, "", 2);
    row("primary not an object", "network.primaryConnection.ipv4", "address",
        {NetworkStatus, R"(network/status {"primaryConnection": "eth0"})"}, "", 2);
    // The address settings compare as a whole map: a member beyond the five
    // makes every message differ, with no field change.
    row("same address settings", "network.primaryConnection", "ipv4", {NetworkStatus, NetworkStatus}, QVariant(), 1);
    QString extra = NetworkStatus;
    extra.replace(QStringLiteral("\"dns1\": \"\""), QStringLiteral("\"dns1\": \"\", \"method\": \"auto\""));
    row("extra address member", "network.primaryConnection", "ipv4", {extra, extra}, QVariant(), 2);

    row("ethernet state", "ethernet", "mac", {EthernetState, EthernetState}, "00:11:22:33:44:55", 1);
    row("ethernet address", "ethernet.ipv4", "address", {EthernetState, EthernetState}, "10.1.0.7", 1);
    // The USB link is not ours, on either topic.
    QString usb = EthernetState;
    usb.replace(QStringLiteral("eth0"), QStringLiteral("usb0")).replace(QStringLiteral("00:11"), QStringLiteral("aa:bb"));
    row("usb state", "ethernet", "mac", {EthernetState, usb}, "00:11:22:33:44:55", 1);
    QString usbConfig = EthernetConfig;
    row("usb config", "ethernet", "method", {usbConfig.replace(QStringLiteral("eth0"), QStringLiteral("usb0"))},
        "", 0);
    row("no live address", "ethernet.ipv4", "address",
        {EthernetState, R"(network/ethernet/state {"interface": "eth0"})"}, "", 2);
    row("ethernet method", "ethernet", "method", {EthernetConfig, EthernetConfig}, "manual", 1);
    row("ethernet settings", "ethernet.config", "mask", {EthernetConfig, EthernetConfig}, "255.255.255.0", 1);
    // The configuration is announced on every message, and names no interface.
    row("configuration announced", "ethernet", "config", {EthernetConfig, EthernetConfig}, QVariant(), 2);
}

void TestManagers::messagesSetProperties()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, property);
    QFETCH(QStringList, messages);
    QFETCH(QVariant, value);
    QFETCH(int, emitted);
    QFETCH(QString, logged);
    QObject* target = object(path);
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

void TestManagers::requests_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<Request>("request");
    QTest::addColumn<QStringList>("sent");
    const auto row = [](const char* name, const QStringList& given, const Request& request, const QStringList& sent) {
        QTest::newRow(name) << given << request << sent;
    };
    const QString led = R"(board/led/play/request/1 {"repeat": 3, "steps": [{"color": {"r": %1, "g": %2, "b": 0},
        "duration": 100}, {"color": {"r": 0, "g": 0, "b": 0}, "duration": 50}]})";
    row("board refresh", {}, [this] { m_services->board.refresh(); },
        {"board/status/get {}", "board/display/get {}", "board/power/get {}", "board/audio/get {}"});
    row("valid light", {}, [this] { m_services->board.setLedValid(); }, {led.arg(0).arg(255)});
    row("invalid light", {}, [this] { m_services->board.setLedInvalid(); }, {led.arg(255).arg(0)});
    row("buzzer", {}, [this] { m_services->board.playBuzzer(200, 100); },
        {R"(board/buzzer/play/request/1 {"onMsec": 200, "offMsec": 100, "repeat": 0})"});
    row("brightness", {}, [this] { m_services->board.setDisplayBrightness(130); }, {R"(board/display/set {"brightness": 130})"});
    row("brightness mode", {}, [this] { m_services->board.setDisplayBrightnessMode("manual"); },
        {R"(board/display/set {"mode": "manual"})"});
    row("mute", {}, [this] { m_services->board.setAudioEnabled(false); }, {R"(board/audio/set {"mute": true})"});
    // The held delay is not sent again, the list is read-only; LED off has no payload.
    row("held delay", {R"(board/config {"device": {"delayShutdownFor": 120}})"}, [this] {
        m_services->board.setDelayShutdownFor(120);
        m_services->board.setPeripherals({QVariantMap{{"item", "touch"}}});
        m_services->board.setLedOff();
    }, {"board/led/off/request/1"});

    row("inspector refresh", {}, [this] { m_services->inspector.refresh(); },
        {"inspector/audio/get {}", "inspector/stats/memory/get {}", "inspector/stats/disk/get {}",
         "inspector/stats/cpu/get {}"});
    // Asked for even when unchanged.
    row("volume", {}, [this] {
        m_services->inspector.setAudioVolume(55);
        m_services->inspector.setAudioVolume(55);
    }, {R"(inspector/audio/set {"internal": {"volume": 55}})", R"(inspector/audio/set {"internal": {"volume": 55}})"});
    row("clock refresh", {}, [this] { m_services->clock.refresh(); },
        {"device/clock/ntp/status/get", "device/clock/ntp/config/get"});
    // What the service holds is not asked for again; a change carries the rest.
    row("ntp settings", {R"(device/clock/ntp/config {"enabled": true, "server": "a.ntp"})"}, [this] {
        m_services->clock.setNtpServer("a.ntp");
        m_services->clock.setNtpEnabled(true);
        m_services->clock.setNtpServer("b.ntp");
        m_services->clock.setNtpEnabled(false);
    }, {R"(device/clock/ntp/config/set {"enabled": true, "server": "b.ntp"})",
        R"(device/clock/ntp/config/set {"enabled": false, "server": "a.ntp"})"});
    row("ntp sync", {}, [this] {
        m_services->clock.ntpSync();
        m_services->clock.ntpSync();
    }, {"device/clock/ntp/sync", "device/clock/ntp/sync"});

    row("update check", {}, [this] { m_services->update.check(); }, {"device/software/check"});
    row("install nothing", {}, [this] { m_services->update.install(); }, {});
    row("install", {R"(device/update/software/status {"current": "1.0", "pending": "1.1"})"},
        [this] { m_services->update.install(); }, {"device/update/software/install"});

    // Five address members only when manual; before any state the interface is unknown.
    const QVariantMap addresses{{"address", "192.168.7.20"}, {"netmask", "255.255.255.0"},
                                {"gateway", "192.168.7.1"}, {"dns0", "1.1.1.1"}, {"dns1", "8.8.8.8"}};
    row("manual save", {}, [this, addresses] {
        m_services->network.ethernet()->config()->fromMap(addresses);
        m_services->network.ethernet()->setMethod("manual");
        m_services->network.ethernet()->save();
    }, {R"(network/ethernet/config/set {"interface": "", "method": "manual", "address": "192.168.7.20",
           "netmask": "255.255.255.0", "gateway": "192.168.7.1", "dns0": "1.1.1.1", "dns1": "8.8.8.8"})"});
    for (const char* method : {"Manual", "auto", ""}) {
        const QString set = QStringLiteral(R"(network/ethernet/config/set {"interface": "eth0", "method": "%1",
            "address": "", "netmask": "", "gateway": "", "dns0": "", "dns1": ""})").arg(QLatin1String(method));
        row(qPrintable(QStringLiteral("save '%1'").arg(QLatin1String(method))), {EthernetState}, [this, addresses, method] {
            m_services->network.ethernet()->config()->fromMap(addresses);
            m_services->network.ethernet()->setMethod(QLatin1String(method));
            m_services->network.ethernet()->save();
        }, {set});
    }
    row("local edits", {}, [this] {
        m_services->network.ethernet()->setMethod("auto");
        m_services->network.ethernet()->config()->setAddress("192.168.1.60");
    }, {});
    row("ethernet reset", {}, [this] { m_services->network.ethernet()->reset(); },
        {"network/ethernet/state/get {}", "network/ethernet/config/get {}"});
}

// Each request goes out once, on its topic, and nothing else does.
void TestManagers::requests()
{
    QFETCH(QStringList, given);
    QFETCH(Request, request);
    QFETCH(QStringList, sent);
    QVERIFY(send(given));
    const int from = m_session->peer().size();
    request();
    for (QString& line : sent)
        line = normalised(line);
    QTRY_COMPARE(heard(from), sent);
    QVERIFY(m_session->settle());
    QCOMPARE(heard(from), sent);
}

void TestManagers::monitorAndReconnection()
{
    LogCapture log;
    MqttPeer& peer = m_session->peer();
    const QString get = QStringLiteral("kivo/board/status/get");
    m_services->board.monitor(100);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Board] Monitor started : 100 msec(s)")));
    QTRY_VERIFY(peer.count(get) >= 3);
    m_services->board.monitor(0);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Board] Monitor stopped")));
    QVERIFY(m_session->settle());
    const int stopped = peer.count(get);
    // Three intervals without a tick.
    QTest::qWait(300);
    QCOMPARE(peer.count(get), stopped);

    // A lost broker reads "Disconnected"; every reconnection asks for the state again.
    QVERIFY(send({UpdateStatus}));
    log.clear();
    QVERIFY(m_session->broker().restart());
    QTRY_COMPARE(m_services->update.status(), QStringLiteral("Disconnected"));
    for (const char* topic : {"kivo/board/status/get", "kivo/device/status/get", "kivo/inspector/audio/get"})
        QTRY_VERIFY2(log.contains(QStringLiteral("[MqttClient] Publishing to topic '%1'").arg(QLatin1String(topic))),
                     topic);
}

void TestManagers::clockRunsTimedatectl()
{
    Clock& clock = m_services->clock;
    // Read once at construction, in the command's order, trailing line kept.
    QCOMPARE(clock.timezones(), (QStringList{"Africa/Abidjan", "Europe/Athens", "UTC", ""}));
    QCOMPARE(clock.timezone(), QStringLiteral("Europe/Athens"));

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
    LogCapture log;
    QSignalSpy rebootSpy(&inspector, &Inspector::systemRebootStarted);
    QSignalSpy shutdownSpy(&inspector, &Inspector::systemShutdownStarted);
    const QString reboot = QStringLiteral("kivo/inspector/power/reboot/request/1");
    const QString shutdown = QStringLiteral("kivo/inspector/power/shutdown/request/1");
    MqttPeer& peer = m_session->peer();

    // Nothing armed: abort does nothing. Armed: abort disarms.
    inspector.abortShutdown();
    QCOMPARE(log.count(QStringLiteral("Aborting")), 0);
    inspector.scheduleShutdown(1);
    inspector.abortShutdown();
    QCOMPARE(log.count(QStringLiteral("[Inspector] Aborting System shutdown")), 1);

    // Started at once, requested two seconds later; twice asked, twice sent.
    QElapsedTimer clock;
    clock.start();
    inspector.systemReboot();
    inspector.systemReboot();
    QCOMPARE(rebootSpy.count(), 2);
    // The first schedule stands: the second would fire at once.
    inspector.scheduleShutdown(1);
    inspector.scheduleShutdown(0);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Inspector] Scheduling System shutdown in : 1 sec(s)")));
    QVERIFY(m_session->settle());
    QCOMPARE(shutdownSpy.count(), 0);
    QVERIFY(shutdownSpy.wait(3000));
    QTRY_COMPARE_WITH_TIMEOUT(peer.count(reboot), 2, 5000);
    // Two seconds, less the 5 % a coarse timer may fire early.
    QVERIFY(clock.elapsed() >= 1900);
    // Expired: abort no longer stops the request that follows.
    inspector.abortShutdown();
    QTRY_COMPARE_WITH_TIMEOUT(peer.count(shutdown), 1, 5000);
    // One second, then two, each less the 5 % a coarse timer may fire early.
    QVERIFY(clock.elapsed() >= 2800);
    QCOMPARE(peer.last(reboot), QByteArray());
}

void TestManagers::updateCheckEndsOnProgressOrTimer()
{
    Update& update = m_services->update;
    update.setCheckMillis(200);
    update.check();
    QCOMPARE(update.status(), QStringLiteral("Checking for updates"));
    // Progress ends the check: past its interval the download is still shown.
    QVERIFY(send({R"(device/update/software/progress {"message": "1/9 MB", "progress": 5})"}));
    QTest::qWait(400);
    QCOMPARE(update.status(), QStringLiteral("Downloading"));

    QVERIFY(send({UpdateStatus}));
    LogCapture log;
    update.check();
    QTRY_COMPARE(update.status(), QStringLiteral("Ready to install"));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Update] No pedning updates")));
}

QTEST_GUILESS_MAIN(TestManagers)
#include "tst_Managers.moc"
