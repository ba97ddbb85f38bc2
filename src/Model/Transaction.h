#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVariantMap>

// One validation result as the validation service reports it, with the texts
// and detail values the result screens show. Immutable once built.
class Transaction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool valid READ valid CONSTANT)
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

    explicit Transaction(QObject* parent = nullptr);
    explicit Transaction(const QJsonObject& data, QObject* parent = nullptr);

    bool valid() const;
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

private:
    QVariantMap defaultDetails() const;

    QJsonObject m_data;
};
