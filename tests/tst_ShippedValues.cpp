#include "Common/Config.h"
#include "Common/MqttClient.h"
#include "GUIManager.h"
#include "SessionManager.h"

#include "InProcessBus.h"
#include "LogCapture.h"
#include "QuickItems.h"
#include "ScratchSettings.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString Blm = QStringLiteral("kivo/blm");

// The number a log line gives after `prefix`; -1 when no line has it.
int loggedNumber(const LogCapture& log, const QString& prefix)
{
    const QRegularExpression number(QRegularExpression::escape(prefix) + QStringLiteral("(\\d+)"));
    for (const QString& line : log.texts()) {
        const QRegularExpressionMatch match = number.match(line);
        if (match.hasMatch())
            return match.captured(1).toInt();
    }
    return -1;
}

} // namespace

// The durations, thresholds and limits the product ships, each read once
// from the real objects: tests elsewhere shorten them through their seams.
class TestShippedValues : public QObject
{
    Q_OBJECT

public:
    using Reading = std::function<int(TestShippedValues&)>;

private slots:
    void init();
    void cleanup();
    void shipped_data();
    void shipped();

private:
    GUIManager& gui() { return *m_gui; }
    SessionManager& session() { return *qobject_cast<SessionManager*>(QuickItems::contextObject(m_gui->engine(), "sessionManager")); }

    std::unique_ptr<ScratchSettings> m_dir;
    Config* m_config = nullptr;
    std::unique_ptr<InProcessBus> m_bus;
    std::unique_ptr<GUIManager> m_gui;
    std::unique_ptr<LogCapture> m_log;

    friend int screenTimeout(TestShippedValues&, const std::function<void(TestShippedValues&)>&, const QString&);
};

Q_DECLARE_METATYPE(TestShippedValues::Reading)

void TestShippedValues::init()
{
    m_dir = std::make_unique<ScratchSettings>();
    m_config = &m_dir->config();
    m_bus = std::make_unique<InProcessBus>();
    m_gui = std::make_unique<GUIManager>(*m_config, *m_bus);
    QVERIFY(m_bus->waitConnected());
    // After the manager, which sets the application's own log handler.
    m_log = std::make_unique<LogCapture>();
}

void TestShippedValues::cleanup()
{
    m_log.reset();
    m_gui.reset();
    m_bus.reset();
    m_dir.reset();
}

// The timeout of the screen an action sets, as the screen selection logs it.
int screenTimeout(TestShippedValues& t, const std::function<void(TestShippedValues&)>& action, const QString& screen)
{
    t.m_log->clear();
    action(t);
    return loggedNumber(*t.m_log, QStringLiteral("Setting screen : %1 (timeout=").arg(screen));
}

void TestShippedValues::shipped_data()
{
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<int>("shipped");
    const auto screen = [](std::function<void(TestShippedValues&)> action, const char* name) {
        return Reading([action, name](TestShippedValues& t) { return screenTimeout(t, action, QLatin1String(name)); });
    };
    const QJsonObject online{{"service", true},
                             {"state", QJsonObject{{"hasRfid", true}, {"hasRoute", true}, {"hasQr", true}, {"hasObu", true}}}};
    QTest::newRow("a result stays (ms)") << screen([online](TestShippedValues& t) {
        t.m_bus->deliver(Blm + "/status", online);
        t.m_bus->deliver(Blm + "/rfid/scanned", QJsonObject{{"transaction", QJsonObject{{"result", true}}}});
    }, "Valid") << 3000;
    QTest::newRow("a retry stays (ms)") << screen([](TestShippedValues& t) {
        t.m_bus->deliver(Blm + "/rfid/retry", QByteArray("{}"));
    }, "Retry") << 3000;
    QTest::newRow("the PIN page stays (ms)") << screen([online](TestShippedValues& t) {
        t.m_bus->deliver(Blm + "/status", online);
        t.gui().setMaintenanceScreen();
    }, "Login") << 15000;
    QTest::newRow("a power request's busy screen (ms)") << screen([](TestShippedValues& t) {
        t.gui().rebootRequest();
    }, "Busy") << 30000;
    QTest::newRow("a session (min)") << Reading([](TestShippedValues& t) {
        t.gui().settingsLoginRequest(QStringLiteral("7315"));
        return qRound(t.session().remainingTime() / 60000.0);
    }) << 10;
    QTest::newRow("the first lockout (s)") << Reading([](TestShippedValues& t) {
        for (int i = 0; i < 5; ++i)
            t.gui().settingsLoginRequest(QStringLiteral("0000"));
        return t.session().lockoutSecs();
    }) << 60;
    // Wrong PINs while locked do not count: many on record, and one more.
    QTest::newRow("the longest lockout (s)") << Reading([](TestShippedValues& t) {
        QSettings record(t.m_dir->filePath(QStringLiteral("lockout.ini")), QSettings::IniFormat);
        record.setValue(QStringLiteral("failures"), 20);
        record.sync();
        SessionManager restarted(*t.m_config);
        restarted.loginRequest(QStringLiteral("0000"));
        return restarted.lockoutSecs();
    }) << 900;
    QTest::newRow("the board's extra time before power off (s)") << Reading([](TestShippedValues& t) {
        t.gui().setShutdownDelaySec(100);
        return t.m_bus->lastJson(QStringLiteral("kivo/board/config/set"))["device"].toObject()["delayShutdownFor"].toInt() - 100;
    }) << 60;
    QTest::newRow("the broker client's reconnection (ms)") << Reading([](TestShippedValues& t) {
        manager::MqttClient client;
        client.setPort(1);
        t.m_log->clear();
        client.connect();
        return loggedNumber(*t.m_log, QStringLiteral("Retry interval millis: "));
    }) << 3000;
}

void TestShippedValues::shipped()
{
    QFETCH(Reading, reading);
    QFETCH(int, shipped);
    QCOMPARE(reading(*this), shipped);
}

QTEST_MAIN(TestShippedValues)
#include "tst_ShippedValues.moc"
