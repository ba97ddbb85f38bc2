#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVariantMap>

// One validation result as the validation service reports it, and what it
// means for the passenger: its outcome, the details its page shows and their
// values. Immutable once built.
class Transaction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool valid READ valid CONSTANT)
    Q_PROPERTY(Outcome outcome READ outcome CONSTANT)
    Q_PROPERTY(Details shownDetails READ shownDetails CONSTANT)
    Q_PROPERTY(Type type READ type CONSTANT)
    Q_PROPERTY(int denyReasonId READ denyReasonId CONSTANT)
    Q_PROPERTY(QString denyReason READ denyReason CONSTANT)
    Q_PROPERTY(QString ticketId READ ticketId CONSTANT)
    Q_PROPERTY(QString fareProduct READ fareProduct CONSTANT)
    Q_PROPERTY(QString passengerType READ passengerType CONSTANT)
    Q_PROPERTY(QVariantMap details READ details CONSTANT)
    Q_PROPERTY(QVariantMap ticket READ ticket CONSTANT)
public:
    // Fixed by the service; other values are carried through unchanged.
    enum Type : int {
        Barcode = 0,
        CardEPurse = 2,
        CardStoredJourneys = 5,
        CardPeriodPass = 8,
        CardEMV = 10,
        CardTransfer = 12,
        CardPassengerTypeUpdate = 13,
        CardTransferEPurse = 14,
        CardCappingEPurse = 15,
        CardCappingStoredJourneys = 16,
    };
    Q_ENUM(Type)

    enum Outcome { Valid, AlreadyValidated, Invalid };
    Q_ENUM(Outcome)

    // What the result page shows under the fare product.
    enum Details {
        NoDetails,
        TransferTime,     // time left to transfer
        TransferTrips,    // time left to transfer, trips left
        TransferBalance,  // time left to transfer, balance
        PeriodPass,       // time left, expiry date
        Purse,            // amount deducted, balance
    };
    Q_ENUM(Details)

    // The unit a remaining time is shown in.
    enum PeriodUnit { Minutes, Hours, Days };
    Q_ENUM(PeriodUnit)
    // Up to this many minutes a time is shown in minutes, then in hours.
    static const int MinutesUpTo = 120;
    // Up to this many minutes in hours, then in days.
    static const int HoursUpTo = 1440;

    explicit Transaction(QObject* parent = nullptr);
    explicit Transaction(const QJsonObject& data, QObject* parent = nullptr);

    bool valid() const;
    Outcome outcome() const;
    Details shownDetails() const;
    Type type() const;
    int denyReasonId() const;
    QString denyReason() const;
    QString ticketId() const;
    QString fareProduct() const;
    QString passengerType() const;
    QVariantMap details() const;
    QVariantMap ticket() const;
    QVariantMap toMap() const;

    // "yyyy-MM-ddTHH:mm:ssZ" in UTC to local time; anything else is invalid.
    static QDateTime convertTimestamp(const QString& timestamp);
    // A number of minutes as a page shows it: {"count", "unit"} with a PeriodUnit.
    static QVariantMap period(int minutes);

private:
    QVariantMap defaultDetails() const;

    QJsonObject m_data;
};
