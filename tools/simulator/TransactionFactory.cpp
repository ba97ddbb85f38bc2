#include "TransactionFactory.h"

#include <QDateTime>
#include <QJsonValue>
#include <QRandomGenerator>

namespace {

QString utcNow(int minutesAgo)
{
    return QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo).toString(
        QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QJsonObject storedJourneys()
{
    return {{"storedJourneys", QJsonObject{{"after", 9},
                                           {"transferRemainingMin", 90},
                                           {"activationTimestamp", utcNow(3)}}}};
}

QJsonObject ePurse(int before, int after)
{
    return {{"balanceBefore", before}, {"balanceAfter", after}};
}

} // namespace

const QList<QPair<int, QString>>& TransactionFactory::cardTypes()
{
    static const QList<QPair<int, QString>> types{
        {2, "e-purse"},          {5, "stored journeys"},          {8, "period pass"},
        {10, "bank card"},       {12, "transfer"},                {13, "passenger type update"},
        {14, "transfer e-purse"}, {15, "capping e-purse"},        {16, "capping stored journeys"},
    };
    return types;
}

QString TransactionFactory::productName(int type)
{
    switch (type) {
    case 2: return QStringLiteral("Value card");
    case 5: return QStringLiteral("10 journeys");
    case 8: return QStringLiteral("Monthly pass");
    case 10: return QStringLiteral("Pay as you go");
    case 12: return QStringLiteral("Transfer");
    case 14: return QStringLiteral("Transfer (value card)");
    case 15: return QStringLiteral("Day cap (value card)");
    case 16: return QStringLiteral("Day cap (journeys)");
    default: return QStringLiteral("Card product");
    }
}

QJsonObject TransactionFactory::cardDetails(int type)
{
    switch (type) {
    case 2:
    case 15:
        return ePurse(1250, 1130);
    case 5:
    case 12:
    case 16:
        return storedJourneys();
    case 8:
        return {{"periodPass", QJsonObject{{"remainingMinutes", QJsonValue::Null},
                                           {"remainingDays", 12},
                                           {"activationTimestamp", utcNow(60 * 24 * 18)}}}};
    case 14:
        return {{"balanceAfter", 830}, {"ePurse", QJsonObject{{"transferRemainingMin", 45}}}};
    default:
        return {};
    }
}

QJsonObject TransactionFactory::common(int type, int denyReason, const QString& product)
{
    QJsonObject t{{"result", denyReason == 0},
                  {"type", type},
                  {"ticketId", QString::number(QRandomGenerator::global()->bounded(100000000, 999999999))},
                  {"fareProductName", product},
                  {"passengerTypeName", QStringLiteral("Adult")}};
    if (denyReason != 0)
        t.insert(QStringLiteral("denyReason"), QJsonObject{{"id", denyReason}});
    return t;
}

QJsonObject TransactionFactory::card(int type, int denyReason)
{
    QJsonObject t = common(type, denyReason, productName(type));
    const QJsonObject details = cardDetails(type);
    if (!details.isEmpty())
        t.insert(QStringLiteral("card"), details);
    return t;
}

QJsonObject TransactionFactory::ticket(int denyReason)
{
    QJsonObject t = common(0, denyReason, QStringLiteral("Single ticket 90 min"));
    t.insert(QStringLiteral("barcode"), QJsonObject{{"fromStopGroupName", "Central Station"},
                                                    {"toStopGroupName", "Harbour"},
                                                    {"transferRemainingMin", 60}});
    return t;
}
