#include "Model/Transaction.h"

#include "Model/DenyReason.h"

#include <QHash>
#include <QJsonValue>

namespace {

QJsonObject objectOf(const QJsonObject& parent, const char* key)
{
    return parent.value(QLatin1String(key)).toObject();
}

int intOf(const QJsonObject& parent, const char* key)
{
    return parent.value(QLatin1String(key)).toInt();
}

QString stringOf(const QJsonObject& parent, const char* key)
{
    return parent.value(QLatin1String(key)).toString();
}

} // namespace

Transaction::Transaction(QObject* parent) : QObject(parent)
{
}

Transaction::Transaction(const QJsonObject& data, QObject* parent) : QObject(parent), m_data(data)
{
}

bool Transaction::valid() const
{
    return m_data.value(QLatin1String("result")).toBool();
}

Transaction::Type Transaction::type() const
{
    return static_cast<Type>(intOf(m_data, "type"));
}

int Transaction::denyReasonId() const
{
    return intOf(objectOf(m_data, "denyReason"), "id");
}

QString Transaction::denyReason() const
{
    // Looked up on every call, so that the current language applies.
    return DenyReason::text(denyReasonId());
}

Transaction::Outcome Transaction::outcome() const
{
    if (valid())
        return Valid;
    return DenyReason::isAlreadyValidated(denyReasonId()) ? AlreadyValidated : Invalid;
}

// Capping products have nothing meaningful to show on a repeat tap.
Transaction::Details Transaction::shownDetails() const
{
    const Outcome result = outcome();
    if (result == Invalid)
        return NoDetails;
    switch (type()) {
    case Barcode:
        return TransferTime;
    case CardStoredJourneys:
    case CardTransfer:
        return TransferTrips;
    case CardCappingStoredJourneys:
        return result == Valid ? TransferTrips : NoDetails;
    case CardTransferEPurse:
        return TransferBalance;
    case CardPeriodPass:
        return PeriodPass;
    case CardEPurse:
        return Purse;
    case CardCappingEPurse:
        return result == Valid ? Purse : NoDetails;
    default:
        return NoDetails;
    }
}

QString Transaction::ticketId() const
{
    return stringOf(m_data, "ticketId");
}

QString Transaction::fareProduct() const
{
    return stringOf(m_data, "fareProductName");
}

QString Transaction::passengerType() const
{
    return stringOf(m_data, "passengerTypeName");
}

QVariantMap Transaction::details() const
{
    QVariantMap details = defaultDetails();
    const QJsonObject card = objectOf(m_data, "card");
    switch (type()) {
    case Barcode: {
        const QJsonObject barcode = objectOf(m_data, "barcode");
        details.insert(QStringLiteral("fromStopGroupName"), stringOf(barcode, "fromStopGroupName"));
        details.insert(QStringLiteral("toStopGroupName"), stringOf(barcode, "toStopGroupName"));
        details.insert(QStringLiteral("transferRemainingMin"), intOf(barcode, "transferRemainingMin"));
        break;
    }
    case CardEPurse:
    case CardCappingEPurse: {
        const int before = intOf(card, "balanceBefore");
        const int after = intOf(card, "balanceAfter");
        details.insert(QStringLiteral("deducted"), (before - after) / 100.0);
        details.insert(QStringLiteral("remaining"), after / 100.0);
        break;
    }
    case CardPeriodPass: {
        const QJsonObject pass = objectOf(card, "periodPass");
        const QJsonValue minutes = pass.value(QLatin1String("remainingMinutes"));
        const int remaining = minutes.isUndefined() || minutes.isNull()
                                  ? intOf(pass, "remainingDays") * 1440
                                  : minutes.toInt();
        details.insert(QStringLiteral("activationTimestamp"),
                       convertTimestamp(stringOf(pass, "activationTimestamp")));
        details.insert(QStringLiteral("remaining"), remaining);
        details.insert(QStringLiteral("expires"),
                       QDateTime::currentDateTime().addSecs(qint64(remaining) * 60));
        break;
    }
    case CardStoredJourneys:
    case CardCappingStoredJourneys:
    case CardTransfer: {
        const QJsonObject journeys = objectOf(card, "storedJourneys");
        details.insert(QStringLiteral("activationTimestamp"),
                       convertTimestamp(stringOf(journeys, "activationTimestamp")));
        details.insert(QStringLiteral("remaining"), intOf(journeys, "after"));
        details.insert(QStringLiteral("transferRemainingMin"), intOf(journeys, "transferRemainingMin"));
        break;
    }
    case CardTransferEPurse:
        details.insert(QStringLiteral("deducted"), 0);
        details.insert(QStringLiteral("remaining"), intOf(card, "balanceAfter") / 100.0);
        details.insert(QStringLiteral("transferRemainingMin"),
                       intOf(objectOf(card, "ePurse"), "transferRemainingMin"));
        break;
    default:
        break;
    }
    details.insert(QStringLiteral("transferPeriod"), period(details.value(QStringLiteral("transferRemainingMin")).toInt()));
    if (type() == CardPeriodPass)
        details.insert(QStringLiteral("remainingPeriod"), period(details.value(QStringLiteral("remaining")).toInt()));
    return details;
}

QVariantMap Transaction::ticket() const
{
    return QVariantMap();
}

QVariantMap Transaction::toMap() const
{
    return QVariantMap{
        {QStringLiteral("valid"), valid()},
        {QStringLiteral("outcome"), int(outcome())},
        {QStringLiteral("shownDetails"), int(shownDetails())},
        {QStringLiteral("type"), int(type())},
        {QStringLiteral("denyReason"), denyReason()},
        {QStringLiteral("denyReasonId"), denyReasonId()},
        {QStringLiteral("fareProduct"), fareProduct()},
        {QStringLiteral("passengerType"), passengerType()},
        {QStringLiteral("details"), details()},
    };
}

QDateTime Transaction::convertTimestamp(const QString& timestamp)
{
    // Date and time are parsed apart: read as one local time, a UTC moment
    // that falls into a daylight-saving gap would be lost.
    if (timestamp.size() != 20 || timestamp.at(10) != QLatin1Char('T')
        || timestamp.at(19) != QLatin1Char('Z'))
        return QDateTime();
    const QDate date = QDate::fromString(timestamp.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(timestamp.mid(11, 8), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC).toLocalTime();
}

QVariantMap Transaction::period(int minutes)
{
    const auto shown = [](int count, PeriodUnit unit) {
        return QVariantMap{{QStringLiteral("count"), count}, {QStringLiteral("unit"), int(unit)}};
    };
    if (minutes > HoursUpTo)
        return shown(qRound(minutes / 1440.0), Days);
    if (minutes > MinutesUpTo)
        return shown(qRound(minutes / 60.0), Hours);
    return shown(minutes, Minutes);
}

QVariantMap Transaction::defaultDetails() const
{
    return QVariantMap{
        {QStringLiteral("fromStopGroupName"), QString()},
        {QStringLiteral("toStopGroupName"), QString()},
        {QStringLiteral("deducted"), 0.0},
        {QStringLiteral("remaining"), 0.0},
        {QStringLiteral("activationTimestamp"), QDateTime()},
        {QStringLiteral("expires"), QDateTime()},
        {QStringLiteral("transferRemainingMin"), 0},
        {QStringLiteral("transferPeriod"), period(0)},
        {QStringLiteral("remainingPeriod"), period(0)},
    };
}
