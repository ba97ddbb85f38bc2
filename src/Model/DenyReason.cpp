#include "Model/DenyReason.h"

#include <QCoreApplication>

namespace {

// The texts belong to the transaction's translation context.
const char* const Context = "Transaction";

} // namespace

const QList<DenyReason::Entry>& DenyReason::table()
{
    static const QList<Entry> entries{
        {100, 100, QT_TRANSLATE_NOOP("Transaction", "The ticket is invalid")},
        {101, 101, QT_TRANSLATE_NOOP("Transaction", "The ticket has expired")},
        {102, 102, QT_TRANSLATE_NOOP("Transaction", "The ticket is not allowed in this route")},
        {103, 103, QT_TRANSLATE_NOOP("Transaction", "The ticket has already been validated")},
        {104, 104, QT_TRANSLATE_NOOP("Transaction", "The ticket is not yet active")},
        {105, 105, QT_TRANSLATE_NOOP("Transaction", "Please try again")},
        {106, 106, QT_TRANSLATE_NOOP("Transaction", "The ticket does not belong to this operator")},
        {107, 107, QT_TRANSLATE_NOOP("Transaction", "The ticket has an invalid passenger profile")},
        {108, 108, QT_TRANSLATE_NOOP("Transaction", "The ticket is not allowed in this axis")},
        {109, 109, QT_TRANSLATE_NOOP("Transaction", "The ticket is not allowed in this zone")},
        {110, 110, QT_TRANSLATE_NOOP("Transaction", "The ticket has invalid timestamp")},
        {200, 200, QT_TRANSLATE_NOOP("Transaction", "The card is invalid")},
        {201, 201, QT_TRANSLATE_NOOP("Transaction", "The card has expired")},
        {202, 202, QT_TRANSLATE_NOOP("Transaction", "The card is not allowed in this route")},
        {203, 203, QT_TRANSLATE_NOOP("Transaction", "The card has already been validated")},
        {204, 204, QT_TRANSLATE_NOOP("Transaction", "The card does not have enough trips")},
        {205, 205, QT_TRANSLATE_NOOP("Transaction", "The card does not have sufficient balance")},
        {206, 206, QT_TRANSLATE_NOOP("Transaction", "This card can no longer be used")},
        {207, 207, QT_TRANSLATE_NOOP("Transaction", "The card has already been validated")},
        {208, 208, QT_TRANSLATE_NOOP("Transaction", "The card is not active")},
        {209, 209, QT_TRANSLATE_NOOP("Transaction", "The card does not belong to this operator")},
        {250, 255, QT_TRANSLATE_NOOP("Transaction", "The card is blocked")},
        {300, 300, QT_TRANSLATE_NOOP("Transaction", "The product is blocked")},
        {301, 301, QT_TRANSLATE_NOOP("Transaction", "The product is not yet active")},
        {500, 500, QT_TRANSLATE_NOOP("Transaction", "Internal Error")},
    };
    return entries;
}

QString DenyReason::text(int id)
{
    for (const Entry& entry : table()) {
        if (id >= entry.first && id <= entry.last)
            return QCoreApplication::translate(Context, entry.text);
    }
    return QCoreApplication::translate("Transaction", "Unknown Error");
}

bool DenyReason::isAlreadyValidated(int id)
{
    return id == TicketAlreadyValidated || id == CardAlreadyValidated;
}
