#include "Model/Transaction.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QTest>
#include <QTranslator>

#include <ctime>

namespace {

QVariantMap detailsOf(const char* json)
{
    return Transaction(QJsonDocument::fromJson(json).object()).details();
}

// The screens format by the value's type, so the type is part of the result.
#define COMPARE_TYPED(details, key, metaType, expected)                                   \
    do {                                                                                  \
        const QVariant value = (details).value(QStringLiteral(key));                      \
        QCOMPARE(int(value.userType()), int(metaType));                                   \
        QCOMPARE(value, QVariant(expected));                                              \
    } while (false)

} // namespace

class TestTransaction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void accessorsAndMapForm();
    void moneyDetails();
    void tripAndTimeDetails();
    void typesWithoutDetails();
    void timestampsFromUtc();
    void denyReasons_data();
    void denyReasons();
};

void TestTransaction::initTestCase()
{
    // Two hours ahead of UTC in winter, with a daylight-saving switch.
    qputenv("TZ", "EET-2EEST,M3.5.0/3,M10.5.0/4");
    tzset();
}

void TestTransaction::accessorsAndMapForm()
{
    const Transaction empty;
    QCOMPARE(empty.valid(), false);
    QCOMPARE(empty.type(), Transaction::Barcode);
    QCOMPARE(empty.denyReasonId(), 0);
    QCOMPARE(empty.denyReason(), QStringLiteral("Unknown Error"));
    QCOMPARE(empty.details().value(QStringLiteral("fromStopGroupName")), QVariant(QString()));
    COMPARE_TYPED(empty.details(), "transferRemainingMin", QMetaType::Int, 0);

    const Transaction t(QJsonDocument::fromJson(R"({"result": true, "type": 99, "ticketId": "T-7",
        "fareProductName": "90 min", "passengerTypeName": "Adult", "denyReason": {"id": 0}})").object());
    QVERIFY(t.valid());
    QCOMPARE(int(t.type()), 99);
    QCOMPARE(t.ticketId(), QStringLiteral("T-7"));
    QVERIFY(t.ticket().isEmpty());

    const QVariantMap map = t.toMap();
    QStringList keys = map.keys();
    QCOMPARE(keys, (QStringList{"denyReason", "denyReasonId", "details", "fareProduct", "passengerType",
                                "type", "valid"}));
    COMPARE_TYPED(map, "type", QMetaType::Int, 99);
    COMPARE_TYPED(map, "valid", QMetaType::Bool, true);
    COMPARE_TYPED(map, "fareProduct", QMetaType::QString, QStringLiteral("90 min"));
    COMPARE_TYPED(map, "passengerType", QMetaType::QString, QStringLiteral("Adult"));
    QCOMPARE(map.value(QStringLiteral("details")).toMap().size(), 7);

    // Only a JSON boolean counts.
    QVERIFY(!Transaction(QJsonObject{{"result", "true"}}).valid());
}

void TestTransaction::moneyDetails()
{
    for (int type : {2, 15}) {
        const QVariantMap d = Transaction(QJsonObject{
            {"type", type}, {"card", QJsonObject{{"balanceBefore", 250}, {"balanceAfter", 130}}}}).details();
        COMPARE_TYPED(d, "deducted", QMetaType::Double, 1.2);
        COMPARE_TYPED(d, "remaining", QMetaType::Double, 1.3);
    }

    // The balance is the card's; the transfer minutes are the purse's.
    const QVariantMap d = detailsOf(R"({"type": 14, "card": {"balanceAfter": 500,
        "ePurse": {"transferRemainingMin": 45, "balanceAfter": 900}}})");
    COMPARE_TYPED(d, "deducted", QMetaType::Int, 0);
    COMPARE_TYPED(d, "remaining", QMetaType::Double, 5.0);
    COMPARE_TYPED(d, "transferRemainingMin", QMetaType::Int, 45);
    const QVariantMap inPurse = detailsOf(R"({"type": 14, "card": {"ePurse": {"balanceAfter": 900}}})");
    COMPARE_TYPED(inPurse, "remaining", QMetaType::Double, 0.0);
}

void TestTransaction::tripAndTimeDetails()
{
    for (int type : {5, 12, 16}) {
        const QVariantMap d = Transaction(QJsonObject{
            {"type", type},
            {"card", QJsonObject{{"storedJourneys", QJsonObject{{"after", 4}, {"transferRemainingMin", 20},
                                                               {"activationTimestamp", "2024-03-05T14:07:00Z"}}}}}})
                                  .details();
        COMPARE_TYPED(d, "remaining", QMetaType::Int, 4);
        COMPARE_TYPED(d, "transferRemainingMin", QMetaType::Int, 20);
        QCOMPARE(d.value(QStringLiteral("activationTimestamp")).toDateTime().toUTC(),
                 QDateTime(QDate(2024, 3, 5), QTime(14, 7), Qt::UTC));
        COMPARE_TYPED(d, "deducted", QMetaType::Double, 0.0);
    }

    // Days stand in for minutes that are absent or null; expiry counts from now.
    for (const char* json : {R"({"type": 8, "card": {"periodPass": {"remainingDays": 2}}})",
                             R"({"type": 8, "card": {"periodPass": {"remainingDays": 2, "remainingMinutes": null}}})"}) {
        const QDateTime before = QDateTime::currentDateTime();
        const QVariantMap d = detailsOf(json);
        const QDateTime after = QDateTime::currentDateTime();
        COMPARE_TYPED(d, "remaining", QMetaType::Int, 2880);
        const QDateTime expires = d.value(QStringLiteral("expires")).toDateTime();
        QVERIFY(expires >= before.addSecs(48 * 3600) && expires <= after.addSecs(48 * 3600));
    }
    const QVariantMap minutes =
        detailsOf(R"({"type": 8, "card": {"periodPass": {"remainingDays": 2, "remainingMinutes": 90}}})");
    COMPARE_TYPED(minutes, "remaining", QMetaType::Int, 90);

    const QVariantMap barcode = detailsOf(R"({"type": 0, "barcode": {"fromStopGroupName": "Port",
        "toStopGroupName": "Airport", "transferRemainingMin": 35}})");
    COMPARE_TYPED(barcode, "fromStopGroupName", QMetaType::QString, QStringLiteral("Port"));
    COMPARE_TYPED(barcode, "toStopGroupName", QMetaType::QString, QStringLiteral("Airport"));
    COMPARE_TYPED(barcode, "transferRemainingMin", QMetaType::Int, 35);
}

void TestTransaction::typesWithoutDetails()
{
    for (int type : {10, 13, 99}) {
        const QVariantMap d = Transaction(QJsonObject{
            {"type", type}, {"card", QJsonObject{{"balanceBefore", 250}, {"balanceAfter", 130}}}}).details();
        QCOMPARE(d.size(), 7);
        COMPARE_TYPED(d, "deducted", QMetaType::Double, 0.0);
        COMPARE_TYPED(d, "remaining", QMetaType::Double, 0.0);
        COMPARE_TYPED(d, "transferRemainingMin", QMetaType::Int, 0);
        QCOMPARE(int(d.value(QStringLiteral("expires")).userType()), int(QMetaType::QDateTime));
        QVERIFY(!d.value(QStringLiteral("expires")).toDateTime().isValid());
        QVERIFY(!d.value(QStringLiteral("activationTimestamp")).toDateTime().isValid());
    }
}

void TestTransaction::timestampsFromUtc()
{
    const QDateTime local = Transaction::convertTimestamp(QStringLiteral("2024-03-05T14:07:00Z"));
    QCOMPARE(local.timeSpec(), Qt::LocalTime);
    QCOMPARE(local.time(), QTime(16, 7));
    QCOMPARE(local.date(), QDate(2024, 3, 5));

    for (const char* bad : {"2024-03-05 14:07:00", "2024-03-05T14:07Z", "2024-03-05T14:07:00",
                            "2024-03-05T14:07:00+02:00", "2024-03-05T14:07:00.5Z", "2024-02-30T14:07:00Z", ""})
        QVERIFY2(!Transaction::convertTimestamp(QLatin1String(bad)).isValid(), bad);

    // A UTC reading that is no local time on the day clocks go forward is still a moment.
    const QDateTime spring = Transaction::convertTimestamp(QStringLiteral("2024-03-31T03:30:00Z"));
    QVERIFY(spring.isValid());
    QCOMPARE(spring.time(), QTime(6, 30));
}

void TestTransaction::denyReasons_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("greek");
    const auto row = [](int id, const char* english, const char* greek) {
        QTest::addRow("%d", id) << id << QString::fromUtf8(english) << QString::fromUtf8(greek);
    };
    row(100, "The ticket is invalid", "Τα στοιχεία του εισιτηρίου δεν είναι σωστά");
    row(101, "The ticket has expired", "Το εισιτήριο έχει λήξει");
    row(102, "The ticket is not allowed in this route", "Δεν επιτρέπεται σε αυτή την διαδρομή");
    row(103, "The ticket has already been validated", "Το εισιτήριο έχει ήδη επικυρωθεί");
    row(104, "The ticket is not yet active", "Το εισιτήριο δεν είναι ενεργό");
    row(105, "Please try again", "Προσπαθήστε πάλι");
    row(106, "The ticket does not belong to this operator", "Το εισιτήριο δεν ανήκει σε αυτόν τον φορέα");
    row(107, "The ticket has an invalid passenger profile", "Το εισιτήριο δεν έχει σωστό προφίλ επιβάτη");
    row(108, "The ticket is not allowed in this axis", "Δεν επιτρέπεται σε αυτή την διαδρομή");
    row(109, "The ticket is not allowed in this zone", "Δεν επιτρέπεται σε αυτή την ζώνη");
    row(110, "The ticket has invalid timestamp", "Το εισιτήριο δεν έχει σωστή χρονική σήμανση");
    row(200, "The card is invalid", "Άκυρη κάρτα");
    row(201, "The card has expired", "Η κάρτα έχει λήξει");
    row(202, "The card is not allowed in this route", "Δεν επιτρέπεται σε αυτή την διαδρομή");
    row(203, "The card has already been validated", "Η κάρτα έχει ήδη επικυρωθεί");
    row(204, "The card does not have enough trips", "Ανεπαρκές υπόλοιπο διαδρομών");
    row(205, "The card does not have sufficient balance", "Ανεπαρκές υπόλοιπο");
    row(206, "This card can no longer be used", "Η κάρτα δεν μπορεί να χρησιμοποιηθεί και χρειάζεται αντικατάσταση");
    row(207, "The card has already been validated", "Η κάρτα έχει ήδη επικυρωθεί");
    row(208, "The card is not active", "Η κάρτα δεν έχει ενεργοποιηθεί");
    row(209, "The card does not belong to this operator", "Η κάρτα δεν ανήκει σε αυτό τον φορέα");
    row(250, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(251, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(252, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(253, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(254, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(255, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(300, "The product is blocked", "Το προιόν δεν μπορεί να χρησιμοποιηθεί");
    row(301, "The product is not yet active", "Το προιόν δεν είναι ενεργό");
    row(500, "Internal Error", "Εσωτερικό Σφάλμα");
    row(0, "Unknown Error", "Άγνωστο Σφάλμα");
    row(256, "Unknown Error", "Άγνωστο Σφάλμα");
}

// Refused or not, the text comes from the id, in the language in force when
// it is asked for.
void TestTransaction::denyReasons()
{
    QFETCH(int, id);
    QFETCH(QString, english);
    QFETCH(QString, greek);
    const Transaction t(QJsonObject{{"result", id % 2 == 0}, {"denyReason", QJsonObject{{"id", id}}}});
    QCOMPARE(t.denyReason(), english);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/qml/translations/Quillon_el_GR.qm")));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCOMPARE(t.denyReason(), greek);
    QCOMPARE(t.toMap().value(QStringLiteral("denyReason")).toString(), greek);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(t.denyReason(), english);
}

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_Transaction.moc"
