#include "ValidationService.h"

#include "TransactionFactory.h"

#include <QJsonArray>
#include <QTimer>

namespace {

const QString CardFound = QStringLiteral("kivo/rfid/card/found");
const QString CardRemoved = QStringLiteral("kivo/rfid/card/removed");

// Card type codes of the reader.
int readerCardType(int productType)
{
    return productType == 10 ? 512 : 4;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

ValidationService::ValidationService(const QString& base, QObject* parent)
    : SimulatedService(QStringLiteral("Validation"), base, parent),
      m_blm{{"obu_host", "obu.local"}, {"obu_username", "validator"}, {"obu_password", "secret"},
            {"obu_port", "1883"}},
      m_validator{{"passbackTime", "120"}, {"qr_passback", "true"}}
{
    setWill(QStringLiteral("/status"), QJsonObject{{"service", false}});
    handle(QStringLiteral("/info/get"), [this](const QJsonObject&) { publishInfo(); });
    handle(QStringLiteral("/status/get"), [this](const QJsonObject&) { publishStatus(); });
    handle(QStringLiteral("/config/get"), [this](const QJsonObject&) { publishConfig(); });
    handle(QStringLiteral("/config/set"), [this](const QJsonObject& m) { onConfigSet(m); });
    handle(QStringLiteral("kivo/rfid/enable"), [this](const QJsonObject&) { setRfidEnabled(true); });
    handle(QStringLiteral("kivo/rfid/disable"), [this](const QJsonObject&) { setRfidEnabled(false); });
    handle(QStringLiteral("kivo/barcode/enable"), [this](const QJsonObject&) { setBarcodeEnabled(true); });
    handle(QStringLiteral("kivo/barcode/disable"), [this](const QJsonObject&) { setBarcodeEnabled(false); });
}

void ValidationService::publishState()
{
    publishInfo();
    publishStatus();
    publishConfig();
}

void ValidationService::publishInfo()
{
    const QJsonObject barcode{{"active", true},
                              {"enabled", m_barcodeEnabled},
                              {"firmware", "2.4.1"},
                              {"manufacturer", "Quillon Labs"},
                              {"model", "QR-200 (simulated)"}};
    const QJsonObject rfid{{"firmware", "1.8.3"},
                           {"manufacturer", "Quillon Labs"},
                           {"model", "RF-10 (simulated)"},
                           {"uid", "04A1B2C3D4"}};
    publish(QStringLiteral("/info"),
            QJsonObject{{"device", QJsonObject{{"barcode", barcode}, {"rfid", rfid}}},
                        {"service", QJsonObject{{"version", "3.2.0-sim"}}}});
}

QJsonObject ValidationService::rfidStatus() const
{
    int state = m_rfidEnabled ? 2 : 1;
    if (m_health == Health::Init)
        state = 0;
    else if (m_health == Health::RfidUpdating)
        state = 4;
    else if (m_health == Health::RfidError)
        state = 5;
    const QJsonObject sam{{"slot", 1},        {"enabled", true},       {"unlocked", true},
                          {"atr", "3B8F8001804F0CA000000306"},        {"batch", "B17"},
                          {"mode", "T=1"},    {"name", "Operator SAM"}, {"production", "2024-05-14"},
                          {"uid", "5A3C19F0"}, {"vendor", "Quillon Labs"}, {"version", "2.1"}};
    return {{"active", m_health != Health::RfidError},
            {"error", m_health == Health::RfidError ? QStringLiteral("Reader not responding") : QString()},
            {"state", state},
            {"slots", QJsonArray{true, false}},
            {"sams", QJsonArray{sam}}};
}

QJsonObject ValidationService::stateFlags() const
{
    const bool rfidOk = m_health != Health::RfidError && m_health != Health::RfidUpdating;
    QJsonObject flags{{"init", m_health == Health::Init},
                      {"hasRfid", rfidOk},
                      {"hasRoute", m_health != Health::NoRoute},
                      {"hasQr", !m_qrLost},
                      {"hasObu", !m_obuLost}};
    if (m_ntp != Ntp::Unknown)
        flags.insert(QStringLiteral("hasNtp"), m_ntp == Ntp::Synced);
    return flags;
}

void ValidationService::publishStatus()
{
    const QJsonObject barcode{{"active", !m_qrLost}, {"enabled", m_barcodeEnabled}};
    const QString route = m_health == Health::NoRoute ? QString() : QStringLiteral("Line 7: Harbour - Airport");
    publish(QStringLiteral("/status"),
            QJsonObject{{"service", true},
                        {"device", QJsonObject{{"rfid", rfidStatus()}, {"barcode", barcode}}},
                        {"obu", QJsonObject{{"vehicleUuid", "BUS-1042"}}},
                        {"route", QJsonObject{{"axisName", route}}},
                        {"state", stateFlags()}});
}

void ValidationService::publishConfig()
{
    publish(QStringLiteral("/config"), QJsonObject{{"blm", m_blm}, {"validator", m_validator}});
}

// The application sends numbers and a boolean; the service reports strings.
void ValidationService::onConfigSet(const QJsonObject& message)
{
    const QJsonObject blm = message.value(QStringLiteral("blm")).toObject();
    const int port = blm.value(QStringLiteral("obu_port")).toInt(-1);
    m_blm = QJsonObject{{"obu_host", blm.value(QStringLiteral("obu_host")).toString()},
                        {"obu_username", blm.value(QStringLiteral("obu_username")).toString()},
                        {"obu_password", blm.value(QStringLiteral("obu_password")).toString()},
                        {"obu_port", port > 0 ? QString::number(port) : QString()}};
    const QJsonObject validator = message.value(QStringLiteral("validator")).toObject();
    m_validator = QJsonObject{
        {"passbackTime", QString::number(validator.value(QStringLiteral("passbackTime")).toInt())},
        {"qr_passback", boolText(validator.value(QStringLiteral("qr_passback")).toBool())}};
    log(QStringLiteral("Configuration stored"));
    publishConfig();
}

void ValidationService::setRfidEnabled(bool enabled)
{
    log(enabled ? QStringLiteral("Card reader enabled") : QStringLiteral("Card reader disabled"));
    m_rfidEnabled = enabled;
    publishStatus();
}

void ValidationService::setBarcodeEnabled(bool enabled)
{
    log(enabled ? QStringLiteral("Barcode reader enabled") : QStringLiteral("Barcode reader disabled"));
    m_barcodeEnabled = enabled;
    publishStatus();
}

void ValidationService::tapCard(int type, int denyReason)
{
    if (!isOnline() || !m_rfidEnabled) {
        log(QStringLiteral("The card reader is not enabled: the card is not read"));
        return;
    }
    const QString uid = QStringLiteral("04%1").arg(0x5A1000 + ++m_cardCounter, 8, 16, QLatin1Char('0')).toUpper();
    publish(CardFound, QJsonObject{{"uid", uid}, {"type", readerCardType(type)}});
    publish(QStringLiteral("/rfid/scanned"),
            QJsonObject{{"transaction", TransactionFactory::card(type, denyReason)}});
    QTimer::singleShot(800, this, [this] { publishRaw(CardRemoved, QByteArray()); });
}

void ValidationService::scanTicket(int denyReason)
{
    if (!isOnline() || !m_barcodeEnabled) {
        log(QStringLiteral("The barcode reader is not enabled: the ticket is not read"));
        return;
    }
    publish(QStringLiteral("/barcode/scanned"),
            QJsonObject{{"transaction", TransactionFactory::ticket(denyReason)}});
}

void ValidationService::askRetry()
{
    publishRaw(QStringLiteral("/rfid/retry"), QByteArray("{}"));
}

// Configuration codes are read whatever the reader state, as a technician
// scans them from the maintenance menu.
void ValidationService::scanConfiguration(const QJsonObject& barcode)
{
    publish(QStringLiteral("/barcode/maintenance/scanned"), barcode);
}

void ValidationService::setHealth(Health health)
{
    m_health = health;
    if (health != Health::Online) {
        m_obuLost = false;
        m_qrLost = false;
    }
    if (isOnline())
        publishStatus();
}

void ValidationService::setDegraded(bool obuLost, bool qrLost)
{
    m_health = Health::Online;
    m_obuLost = obuLost;
    m_qrLost = qrLost;
    if (isOnline())
        publishStatus();
}

void ValidationService::setNtp(Ntp ntp)
{
    if (ntp == m_ntp)
        return;
    m_ntp = ntp;
    if (isOnline())
        publishStatus();
}
