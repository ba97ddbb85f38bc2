#include "Model/Transaction.h"

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
    // Built on every call so that the current language applies.
    const QString blocked = tr("The card is blocked");
    const QString cardValidated = tr("The card has already been validated");
    const QHash<int, QString> reasons{
        {100, tr("The ticket is invalid")},
        {101, tr("The ticket has expired")},
        {102, tr("The ticket is not allowed in this route")},
        {103, tr("The ticket has already been validated")},
        {104, tr("The ticket is not yet active")},
        {105, tr("Please try again")},
        {106, tr("The ticket does not belong to this operator")},
        {107, tr("The ticket has an invalid passenger profile")},
        {108, tr("The ticket is not allowed in this axis")},
        {109, tr("The ticket is not allowed in this zone")},
        {110, tr("The ticket has invalid timestamp")},
        {200, tr("The card is invalid")},
        {201, tr("The card has expired")},
        {202, tr("The card is not allowed in this route")},
        {203, cardValidated},
        {204, tr("The card does not have enough trips")},
        {205, tr("The card does not have sufficient balance")},
        {206, tr("This card can no longer be used")},
        {207, cardValidated},
        {208, tr("The card is not active")},
        {209, tr("The card does not belong to this operator")},
        {250, blocked},
        {251, blocked},
        {252, blocked},
        {253, blocked},
        {254, blocked},
        {255, blocked},
        {300, tr("The product is blocked")},
        {301, tr("The product is not yet active")},
        {500, tr("Internal Error")},
    };
    return reasons.value(denyReasonId(), tr("Unknown Error"));
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
    };
}
