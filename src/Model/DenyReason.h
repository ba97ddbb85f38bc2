#pragma once

#include <QList>
#include <QString>

// The validation service's reasons for refusing a ticket or card, written
// once: their texts, and which of them mean it was validated already. The
// result pages read them through the transaction, the device simulator
// offers them as they are.
class DenyReason
{
public:
    struct Entry {
        int first;
        int last;
        const char* text;
    };

    static const int TicketAlreadyValidated = 103;
    static const int CardAlreadyValidated = 207;

    static const QList<Entry>& table();
    // In the language in force; "Unknown Error" for an id the table lacks.
    static QString text(int id);
    static bool isAlreadyValidated(int id);
};
