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
    for (int id = 250; id <= 255; ++id)
        row(id, "The card is blocked", "Η κάρτα είναι στην λίστα μη αποδεκτών καρτών");
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
