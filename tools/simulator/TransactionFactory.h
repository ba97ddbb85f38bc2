#pragma once

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// Validation results as the validation service reports them.
class TransactionFactory
{
public:
    // Deny reason 0 means accepted.
    static QJsonObject card(int type, int denyReason);
    static QJsonObject ticket(int denyReason);

    // Card product types with a short name each.
    static const QList<QPair<int, QString>>& cardTypes();

    static constexpr int DefaultCardType = 5;

private:
    static QJsonObject cardDetails(int type);
    static QJsonObject common(int type, int denyReason, const QString& product);
    static QString productName(int type);
};
