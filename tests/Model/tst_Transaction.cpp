#include "Model/Transaction.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QTest>
#include <QTranslator>

#include <ctime>

class TestTransaction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyABooleanIsValid();
    void timesFromUtc();
    void denyReasons_data();
    void denyReasons();
    void outcomeAndDetails_data();
    void outcomeAndDetails();
    void periods_data();
    void periods();
};

void TestTransaction::initTestCase()
{
    // Two hours ahead of UTC in winter, with a daylight-saving switch.
    qputenv("TZ", "EET-2EEST,M3.5.0/3,M10.5.0/4");
    tzset();
}

void TestTransaction::onlyABooleanIsValid()
{
    QVERIFY(Transaction(QJsonObject{{"result", true}}).valid());
    QVERIFY(!Transaction(QJsonObject{{"result", "true"}}).valid());
}

void TestTransaction::timesFromUtc()
{
    const QDateTime local = Transaction::convertTimestamp(QStringLiteral("2024-03-05T14:07:00Z"));
    QCOMPARE(local.timeSpec(), Qt::LocalTime);
    QCOMPARE(local, QDateTime(QDate(2024, 3, 5), QTime(16, 7)));
    for (const char* bad : {"2024-03-05T14:07:00", "2024-03-05T14:07:00+02:00", "2024-02-30T14:07:00Z", ""})
        QVERIFY2(!Transaction::convertTimestamp(QLatin1String(bad)).isValid(), bad);
    // A UTC reading that is no local time on the day clocks go forward is still a moment.
    QCOMPARE(Transaction::convertTimestamp(QStringLiteral("2024-03-31T03:30:00Z")).time(), QTime(6, 30));

    // A pass expires its remaining time from now.
    const QDateTime before = QDateTime::currentDateTime();
    const QVariantMap pass = Transaction(QJsonDocument::fromJson(
        R"({"type": 8, "card": {"periodPass": {"remainingMinutes": 90}}})").object()).details();
    const QDateTime expires = pass.value(QStringLiteral("expires")).toDateTime();
    QVERIFY(expires >= before.addSecs(90 * 60) && expires <= QDateTime::currentDateTime().addSecs(90 * 60));
}

// A few of the table's rows, its edges and ids it lacks.
void TestTransaction::denyReasons_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("greek");
    const auto row = [](int id, const char* english, const char* greek) {
        QTest::addRow("%d", id) << id << QString::fromUtf8(english) << QString::fromUtf8(greek);
    };
    row(100, "The ticket is invalid", "Τα στοιχεία του εισιτηρίου δεν είναι σωστά");
    row(103, "The ticket has already been validated", "Το εισιτήριο έχει ήδη επικυρωθεί");
    row(204, "The card does not have enough trips", "Ανεπαρκές υπόλοιπο διαδρομών");
    row(205, "The card does not have sufficient balance", "Ανεπαρκές υπόλοιπο");
    row(207, "The card has already been validated", "Η κάρτα έχει ήδη επικυρωθεί");
    row(250, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(255, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
    row(500, "Internal Error", "Εσωτερικό Σφάλμα");
    row(0, "Unknown Error", "Άγνωστο Σφάλμα");
    row(249, "Unknown Error", "Άγνωστο Σφάλμα");
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

void TestTransaction::outcomeAndDetails_data()
{
    QTest::addColumn<QJsonObject>("data");
    QTest::addColumn<Transaction::Outcome>("outcome");
    QTest::addColumn<Transaction::Details>("details");
    const auto result = [](int type, int deny) {
        QJsonObject data{{"type", type}, {"result", deny == 0}};
        if (deny != 0)
            data.insert(QStringLiteral("denyReason"), QJsonObject{{"id", deny}});
        return data;
    };
    QTest::newRow("ticket") << result(0, 0) << Transaction::Valid << Transaction::TransferTime;
    QTest::newRow("ticket again") << result(0, 103) << Transaction::AlreadyValidated << Transaction::TransferTime;
    QTest::newRow("journeys") << result(5, 0) << Transaction::Valid << Transaction::TransferTrips;
    QTest::newRow("capped journeys") << result(16, 0) << Transaction::Valid << Transaction::TransferTrips;
    QTest::newRow("capped journeys again") << result(16, 207) << Transaction::AlreadyValidated
                                           << Transaction::NoDetails;
    QTest::newRow("transfer purse") << result(14, 207) << Transaction::AlreadyValidated
                                    << Transaction::TransferBalance;
    QTest::newRow("pass") << result(8, 0) << Transaction::Valid << Transaction::PeriodPass;
    QTest::newRow("purse") << result(2, 0) << Transaction::Valid << Transaction::Purse;
    QTest::newRow("capped purse again") << result(15, 207) << Transaction::AlreadyValidated
                                        << Transaction::NoDetails;
    QTest::newRow("bank card") << result(10, 0) << Transaction::Valid << Transaction::NoDetails;
    QTest::newRow("card validated elsewhere") << result(5, 203) << Transaction::Invalid << Transaction::NoDetails;
    QTest::newRow("refused") << result(8, 101) << Transaction::Invalid << Transaction::NoDetails;
}

void TestTransaction::outcomeAndDetails()
{
    QFETCH(QJsonObject, data);
    QFETCH(Transaction::Outcome, outcome);
    QFETCH(Transaction::Details, details);
    const Transaction t(data);
    QCOMPARE(t.outcome(), outcome);
    QCOMPARE(t.shownDetails(), details);
    QCOMPARE(t.toMap().value(QStringLiteral("outcome")).toInt(), int(outcome));
    QCOMPARE(t.toMap().value(QStringLiteral("shownDetails")).toInt(), int(details));
}

// Two hours in minutes, two days in hours, then days.
void TestTransaction::periods_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("count");
    QTest::addColumn<Transaction::PeriodUnit>("unit");
    QTest::newRow("none") << 0 << 0 << Transaction::Minutes;
    QTest::newRow("two hours") << 120 << 120 << Transaction::Minutes;
    QTest::newRow("just over") << 121 << 2 << Transaction::Hours;
    QTest::newRow("a day") << 1440 << 24 << Transaction::Hours;
    QTest::newRow("just over a day") << 1441 << 1 << Transaction::Days;
    QTest::newRow("thirty days") << 43200 << 30 << Transaction::Days;
}

void TestTransaction::periods()
{
    QFETCH(int, minutes);
    QFETCH(int, count);
    QFETCH(Transaction::PeriodUnit, unit);
    const QVariantMap period = Transaction::period(minutes);
    QCOMPARE(period.value(QStringLiteral("count")).toInt(), count);
    QCOMPARE(period.value(QStringLiteral("unit")).toInt(), int(unit));
}

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_Transaction.moc"
