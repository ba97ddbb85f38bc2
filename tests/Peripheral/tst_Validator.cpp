#include "Peripheral/Validator.h"

#include "InProcessBus.h"
#include "LogCapture.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using manager::Validator;

namespace {

QJsonObject statusMessage(const QJsonObject& state, int rfidState = 2, bool service = true)
{
    return QJsonObject{{"service", service},
                       {"device", QJsonObject{{"rfid", QJsonObject{{"active", true}, {"state", rfidState}}}}},
                       {"obu", QJsonObject{{"vehicleUuid", "BUS-12"}}},
                       {"route", QJsonObject{{"axisName", "Line 4"}}},
                       {"state", state}};
}

// Without an NTP flag the clock counts as synchronised.
QJsonObject flags(bool init, bool rfid, bool route, bool qr, bool obu, const QJsonValue& ntp = QJsonValue::Undefined)
{
    QJsonObject state{{"init", init}, {"hasRfid", rfid}, {"hasRoute", route}, {"hasQr", qr}, {"hasObu", obu}};
    if (!ntp.isUndefined())
        state.insert(QStringLiteral("hasNtp"), ntp);
    return state;
}

} // namespace

class TestValidator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusRules();
    void cardEvents();
    void readerRequestsOnlyChangeTheState_data();
    void readerRequestsOnlyChangeTheState();
    void configuration();

private:
    // Status and reason as the manager announces them, in signal order.
    QStringList recordSignals();
    void sendStatus(const QJsonObject& message);

    std::unique_ptr<InProcessBus> m_bus;
    std::unique_ptr<Validator> m_validator;
    QStringList m_signals;
    const QString m_base = QStringLiteral("kivo/blm");
};

void TestValidator::init()
{
    m_bus = std::make_unique<InProcessBus>();
    m_validator = std::make_unique<Validator>(*m_bus, m_base);
    m_bus->connect();
    QVERIFY(m_bus->waitConnected());
    m_signals.clear();
    connect(m_validator.get(), &Validator::statusChanged, this, [this] {
        m_signals << QStringLiteral("status %1 (reason was '%2')").arg(m_validator->status(), m_validator->reason());
    });
    connect(m_validator.get(), &Validator::reasonChanged, this, [this] {
        m_signals << QStringLiteral("reason %1 %2").arg(m_validator->reasonCode(), m_validator->reason());
    });
}

void TestValidator::cleanup()
{
    m_validator.reset();
    m_bus.reset();
}

QStringList TestValidator::recordSignals()
{
    const QStringList taken = m_signals;
    m_signals.clear();
    return taken;
}

void TestValidator::sendStatus(const QJsonObject& message)
{
    QVERIFY(m_bus->deliver(m_base + QStringLiteral("/status"), message));
}

void TestValidator::statusRules()
{
    const auto expect = [&](const QJsonObject& message, const QStringList& announced) {
        sendStatus(message);
        QCOMPARE(recordSignals(), announced);
    };
    expect(statusMessage(flags(true, false, false, false, false)), {"status init (reason was '')"});
    expect(statusMessage(flags(false, false, true, true, true), 4),
           {"status offline (reason was '')", "reason #0003 RFID firmware is updating"});
    expect(statusMessage(flags(false, false, true, true, true), 1), {"reason #0004 RFID is not operational"});
    // NTP outranks the missing route.
    expect(statusMessage(flags(false, true, false, true, true, false)), {"reason #0007 NTP not synchronized"});
    expect(statusMessage(flags(false, true, false, true, true)),
           {"status out-of-service (reason was 'NTP not synchronized')", "reason #0006 No route"});
    expect(statusMessage(flags(false, true, true, false, false)),
           {"status degraded (reason was 'No route')", "reason #0005 OBC lost,Barcode not operational"});
    expect(statusMessage(flags(false, true, true, true, true, true)),
           {"status online (reason was 'OBC lost,Barcode not operational')", "reason  "});
    expect(statusMessage(flags(false, true, true, true, true, true)), {});

    // Service down: the vehicle stays.
    QJsonObject down = statusMessage(flags(false, true, true, true, true), 5, false);
    down.insert(QStringLiteral("obu"), QJsonObject{{"vehicleUuid", "BUS-99"}});
    expect(down, {"status offline (reason was '')", "reason #0002 BLM service down"});
    QCOMPARE(m_validator->vehicle(), QStringLiteral("BUS-12"));
    // Missing members read as false.
    sendStatus(QJsonObject{{"service", true}});
    QCOMPARE(m_validator->reasonCode(), QStringLiteral("#0004"));
    QCOMPARE(m_validator->vehicle(), QString());
}

// Scanned tickets and codes are followed through the GUI manager's tests;
// here the reader's own events.
void TestValidator::cardEvents()
{
    LogCapture log;
    QSignalSpy retry(m_validator.get(), &Validator::cardRetry);
    QSignalSpy removed(m_validator.get(), &Validator::cardRemoved);
    QSignalSpy detected(m_validator.get(), &Validator::cardDetected);

    // Malformed: logged once, nothing emitted; an empty message is an empty
    // object; a removed card needs no readable message.
    m_bus->deliver(m_base + QStringLiteral("/rfid/retry"), QByteArray("not json"));
    m_bus->deliver(m_base + QStringLiteral("/rfid/retry"), QByteArray());
    m_bus->deliver(QStringLiteral("kivo/rfid/card/removed"), QByteArray("{broken"));
    for (int type : {4, 32768})
        m_bus->deliver(QStringLiteral("kivo/rfid/card/found"), QJsonObject{{"uid", "04A1B2"}, {"type", type}});

    QCOMPARE(retry.count(), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(log.count(QStringLiteral("[Validator] Failed to parse JSON message: ")), 1);
    QCOMPARE(QList<QVariantList>(detected), (QList<QVariantList>{{"04A1B2", "MIFARE Classic 1K"}, {"04A1B2", "Other"}}));
}

void TestValidator::readerRequestsOnlyChangeTheState_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("card reader on") << "rfid" << true << "kivo/rfid/disable" << QByteArray();
    QTest::newRow("card reader off") << "rfid" << false << "kivo/rfid/enable"
                                     << QByteArray("{\n    \"autoread\": true\n}\n");
    QTest::newRow("code reader on") << "barcode" << true << "kivo/barcode/disable" << QByteArray();
    QTest::newRow("code reader off") << "barcode" << false << "kivo/barcode/enable" << QByteArray();
}

// A reader is asked for the state it reports, then for the other one: only
// the second request goes out.
void TestValidator::readerRequestsOnlyChangeTheState()
{
    QFETCH(QString, reader);
    QFETCH(bool, enabled);
    QFETCH(QString, sent);
    QFETCH(QByteArray, payload);
    const QJsonObject device{{"rfid", QJsonObject{{"active", true}, {"state", enabled ? 2 : 1}}},
                             {"barcode", QJsonObject{{"active", true}, {"enabled", enabled}}}};
    QJsonObject status = statusMessage(flags(false, true, true, true, true));
    status.insert(QStringLiteral("device"), device);
    sendStatus(status);
    m_bus->clear();
    const auto request = [&](bool on) {
        if (reader == QLatin1String("rfid"))
            on ? m_validator->enableRfid() : m_validator->disableRfid();
        else
            on ? m_validator->enableBarcode() : m_validator->disableBarcode();
    };
    request(enabled);
    request(!enabled);
    QStringList topics;
    for (const InProcessBus::Message& m : m_bus->messages())
        topics << m.topic;
    QCOMPARE(topics, QStringList{sent});
    QCOMPARE(m_bus->last(sent), payload);
}

void TestValidator::configuration()
{
    LogCapture log;
    QSignalSpy configChanged(m_validator.get(), &Validator::configChanged);
    const QString set = m_base + QStringLiteral("/config/set");
    const auto receive = [this](const QJsonValue& port, const QJsonValue& passback, const QJsonValue& qr) {
        m_bus->deliver(m_base + QStringLiteral("/config"), QJsonObject{
            {"blm", QJsonObject{{"obu_host", "obu.local"}, {"obu_username", "tech"},
                                {"obu_password", "s3cr%41t@x"}, {"obu_port", port}}},
            {"validator", QJsonObject{{"passbackTime", passback}, {"qr_passback", qr}}}});
    };

    receive("1883", "30", "true");
    QCOMPARE(configChanged.count(), 1);
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[Validator] OBU URL         : mqtt://tech@obu.local:1883")));
    QCOMPARE(log.texts().filter(QStringLiteral("[Validator]")).filter(QStringLiteral("s3cr")), QStringList());

    // The set request carries numbers and a boolean, and the credentials as received.
    m_validator->saveConfig();
    const QJsonObject sent = m_bus->lastJson(set);
    QCOMPARE(sent.value("blm").toObject(),
             (QJsonObject{{"obu_host", "obu.local"}, {"obu_username", "tech"}, {"obu_password", "s3cr%41t@x"},
                          {"obu_port", 1883}}));
    QCOMPARE(sent.value("validator").toObject(), (QJsonObject{{"passbackTime", 30}, {"qr_passback", true}}));

    // Only a positive number as text is a port.
    const ValidatorConfig* config = m_validator->config();
    for (const QJsonValue& noPort : {QJsonValue(1883), QJsonValue("0"), QJsonValue("x1")}) {
        receive(noPort, 45, "True");
        QCOMPARE(config->obuUrl().port(), -1);
    }
    QCOMPARE(config->passbackSecs(), 0);
    QVERIFY(!config->passbackQrEnabled());
}

QTEST_GUILESS_MAIN(TestValidator)
#include "tst_Validator.moc"
