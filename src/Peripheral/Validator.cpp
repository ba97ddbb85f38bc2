#include "Peripheral/Validator.h"

#include "Common/AssignIfDifferent.h"
#include "Common/MessageBus.h"
#include "Model/Transaction.h"

#include <QJsonValue>
#include <QMap>

namespace manager {

Q_LOGGING_CATEGORY(lcValidator, "quillon.Validator")

namespace {

const QString CardRemovedTopic = QStringLiteral("kivo/rfid/card/removed");
const QString CardFoundTopic = QStringLiteral("kivo/rfid/card/found");

const QString Offline = QStringLiteral("offline");

bool isTrue(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toBool();
}

QJsonObject objectOf(const QJsonObject& parent, const char* key)
{
    return parent.value(QLatin1String(key)).toObject();
}

} // namespace

Validator::Validator(MessageBus& mqtt, const QString& base, QObject* parent)
    : StatusServiceManager(mqtt, base, lcValidator, parent)
{
    connect(&mqtt, &MessageBus::disconnected, this, &Validator::onMqttDisconnected);
    setGetPayload(QByteArrayLiteral("{ }"));

    handle(QStringLiteral("/info"), &Validator::onInfoReceived);
    handle(QStringLiteral("/status"), &Validator::onStatusReceived);
    handle(QStringLiteral("/config"), &Validator::onConfigReceived);
    handle(QStringLiteral("/rfid/retry"), [this](const QJsonObject&, const QString&) { emit cardRetry(); });
    // Removal is read on the reader's own topic below.
    handle(QStringLiteral("/rfid/removed"));
    handle(QStringLiteral("/rfid/scanned"), &Validator::onCardScannedReceived);
    handle(QStringLiteral("/barcode/scanned"), &Validator::onCardScannedReceived);
    handle(QStringLiteral("/barcode/maintenance/scanned"),
           [this](const QJsonObject& message, const QString&) { emit maintenanceBarcodeScanned(message); });
    // Card events come from the reader's own topics; removal carries
    // nothing worth parsing.
    handleEvent(CardRemovedTopic, [this] { emit cardRemoved(); });
    handleTopic(CardFoundTopic, &Validator::onCardFound);
    subscribe();
}

QString Validator::reason() const
{
    return m_reason;
}

QString Validator::reasonCode() const
{
    return m_reasonCode;
}

QString Validator::version() const
{
    return m_version;
}

QString Validator::route() const
{
    return m_route;
}

QString Validator::vehicle() const
{
    return m_vehicle;
}

ValidatorConfig* Validator::config()
{
    return &m_config;
}

ValidatorBarcode* Validator::barcode()
{
    return &m_barcode;
}

ValidatorRfid* Validator::rfid()
{
    return &m_rfid;
}

void Validator::enableBarcode()
{
    if (!m_barcode.enabled())
        publishRaw(QStringLiteral("kivo/barcode/enable"), QByteArray());
}

void Validator::disableBarcode()
{
    if (m_barcode.enabled())
        publishRaw(QStringLiteral("kivo/barcode/disable"), QByteArray());
}

void Validator::enableRfid()
{
    if (!m_rfid.enabled())
        publishJson(QStringLiteral("kivo/rfid/enable"), QJsonObject{{"autoread", true}});
}

void Validator::disableRfid()
{
    if (m_rfid.enabled())
        publishRaw(QStringLiteral("kivo/rfid/disable"), QByteArray());
}

// The service reports these fields as strings but takes numbers and a
// boolean in a set request.
void Validator::saveConfig()
{
    const QUrl url = m_config.obuUrl();
    const QJsonObject blm{
        {"obu_username", url.userName(QUrl::FullyDecoded)},
        {"obu_password", url.password(QUrl::FullyDecoded)},
        {"obu_host", url.host(QUrl::FullyDecoded)},
        {"obu_port", url.port(-1)},
    };
    const QJsonObject validator{
        {"passbackTime", m_config.passbackSecs()},
        {"qr_passback", m_config.passbackQrEnabled()},
    };
    publishJson(base() + QStringLiteral("/config/set"), QJsonObject{{"blm", blm}, {"validator", validator}});
}

void Validator::refreshConfig()
{
    requestState({QStringLiteral("config")});
}

void Validator::logStatus(const QString& status) const
{
    qCWarning(log()).noquote().nospace() << "Validator status is : " << status;
}

void Validator::onMqttDisconnected()
{
    setStatus(Offline);
    setReason(QStringLiteral("MQTT Disconnected"), QStringLiteral("#0001"));
}

void Validator::onInfoReceived(const QJsonObject& message, const QString&)
{
    const QJsonObject device = objectOf(message, "device");
    m_barcode.fromJson(objectOf(device, "barcode"));
    m_rfid.fromJson(objectOf(device, "rfid"));
    if (assignIfDifferent(m_version, objectOf(message, "service").value(QLatin1String("version")).toString()))
        emit versionChanged();
}

void Validator::onStatusReceived(const QJsonObject& message, const QString&)
{
    const QJsonObject device = objectOf(message, "device");
    m_rfid.fromJson(objectOf(device, "rfid"));
    m_barcode.fromJson(objectOf(device, "barcode"));
    if (!isTrue(message, "service")) {
        setStatus(Offline);
        setReason(QStringLiteral("BLM service down"), QStringLiteral("#0002"));
        return;
    }
    if (assignIfDifferent(m_vehicle, objectOf(message, "obu").value(QLatin1String("vehicleUuid")).toString()))
        emit vehicleChanged();
    if (assignIfDifferent(m_route, objectOf(message, "route").value(QLatin1String("axisName")).toString()))
        emit routeChanged();
    deriveStatus(objectOf(message, "state"));
}

// First matching rule wins; the RFID state was refreshed from the same message.
void Validator::deriveStatus(const QJsonObject& state)
{
    if (isTrue(state, "init")) {
        setStatus(QStringLiteral("init"));
        setReason(QString(), QString());
    } else if (!isTrue(state, "hasRfid")) {
        setStatus(Offline);
        if (m_rfid.state() == QLatin1String("Updating"))
            setReason(QStringLiteral("RFID firmware is updating"), QStringLiteral("#0003"));
        else
            setReason(QStringLiteral("RFID is not operational"), QStringLiteral("#0004"));
    } else if (state.contains(QLatin1String("hasNtp")) && !isTrue(state, "hasNtp")) {
        setStatus(Offline);
        setReason(QStringLiteral("NTP not synchronized"), QStringLiteral("#0007"));
    } else if (!isTrue(state, "hasRoute")) {
        setStatus(QStringLiteral("out-of-service"));
        setReason(QStringLiteral("No route"), QStringLiteral("#0006"));
    } else if (!isTrue(state, "hasQr") || !isTrue(state, "hasObu")) {
        QStringList lost;
        if (!isTrue(state, "hasObu"))
            lost << QStringLiteral("OBC lost");
        if (!isTrue(state, "hasQr"))
            lost << QStringLiteral("Barcode not operational");
        setStatus(QStringLiteral("degraded"));
        setReason(lost.join(QLatin1Char(',')), QStringLiteral("#0005"));
    } else {
        setStatus(QStringLiteral("online"));
        setReason(QString(), QString());
    }
}

void Validator::onConfigReceived(const QJsonObject& message, const QString&)
{
    const QJsonObject validator = objectOf(message, "validator");
    const QUrl url = parseUrl(objectOf(message, "blm"));
    m_config.setObuUrl(url);
    m_config.setPassbackSecs(validator.value(QLatin1String("passbackTime")).toString().toInt(nullptr, 10));
    m_config.setPassbackQrEnabled(validator.value(QLatin1String("qr_passback")).toString()
                                  == QLatin1String("true"));

    // Credentials stay out of the log.
    qCWarning(log()).noquote().nospace() << "Config received : ";
    qCWarning(log()).noquote().nospace() << "OBU URL         : " << url.toString(QUrl::RemovePassword);
    qCWarning(log()).noquote().nospace() << "Passback Time   : " << m_config.passbackSecs() << " sec(s)";
    qCWarning(log()).noquote().nospace() << "Passback QR En  : "
                                   << (m_config.passbackQrEnabled() ? "true" : "false");
    emit configChanged();
}

void Validator::onCardFound(const QJsonObject& message, const QString&)
{
    emit cardDetected(message.value(QLatin1String("uid")).toString(),
                      mapCardType(message.value(QLatin1String("type")).toInt()));
}

void Validator::onCardScannedReceived(const QJsonObject& message, const QString&)
{
    const Transaction transaction(objectOf(message, "transaction"));
    emit ticketValidated(transaction);
}

void Validator::setReason(const QString& reason, const QString& code)
{
    if (reason == m_reason && code == m_reasonCode)
        return;
    m_reason = reason;
    m_reasonCode = code;
    emit reasonChanged();
}

// Credentials are kept as given: a '%' in a password is a character, not an escape.
QUrl Validator::parseUrl(const QJsonObject& blm)
{
    QUrl url;
    url.setScheme(QStringLiteral("mqtt"));
    url.setHost(blm.value(QLatin1String("obu_host")).toString(), QUrl::DecodedMode);
    const QString user = blm.value(QLatin1String("obu_username")).toString();
    if (!user.isEmpty())
        url.setUserName(user, QUrl::DecodedMode);
    const QString password = blm.value(QLatin1String("obu_password")).toString();
    if (!password.isEmpty())
        url.setPassword(password, QUrl::DecodedMode);
    const int port = blm.value(QLatin1String("obu_port")).toString().toInt(nullptr, 10);
    if (port > 0)
        url.setPort(port);
    return url;
}

QString Validator::mapCardType(int type)
{
    static const QMap<int, QString> names{
        {0, QStringLiteral("Unknown")},
        {1, QStringLiteral("ISO14443-4A")},
        {2, QStringLiteral("ISO14443-4B")},
        {4, QStringLiteral("MIFARE Classic 1K")},
        {8, QStringLiteral("MIFARE Classic 4K")},
        {16, QStringLiteral("MIFARE Plus 2K")},
        {32, QStringLiteral("MIFARE Plus 4K")},
        {64, QStringLiteral("MIFARE Ultralight")},
        {128, QStringLiteral("MIFARE Mini")},
        {256, QStringLiteral("MIFARE DESFire")},
        {512, QStringLiteral("EMV")},
        {32768, QStringLiteral("Other")},
    };
    return names.value(type, QStringLiteral("Unknown"));
}

} // namespace manager
