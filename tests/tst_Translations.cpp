// The compiled Greek catalogue holds every text the pages show in Greek, in the
// context the page looks it up in: a text the extraction tool cannot see would
// be dropped from the catalogue at the next refresh and fall back to English.
// The passenger pages' titles and prompts are read on the pages themselves, in
// both languages, by the screens' test.

#include <QTranslator>
#include <QtTest>

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_greek.load(QStringLiteral(":/qml/translations/Quillon_el_GR.qm"))); }
    void greek_data();
    void greek();

private:
    QTranslator m_greek;
};

void TestTranslations::greek_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("greek");
    const QStringList details{"Balance", "Deducted", "Expires", "Remaining", "Trips",
                              "day", "days", "hour", "hours", "min", "mins"};
    const QStringList detailsGreek{"Υπόλοιπο", "Αφαιρέθηκαν", "Λήγει", "Υπόλοιπο", "Διαδρομές",
                                   "ημέρα", "ημέρες", "ώρα", "ώρες", "λεπτό", "λεπτά"};
    for (const char* page : {"Valid", "AlreadyValid"})
        for (int i = 0; i < details.size(); ++i)
            QTest::addRow("%s %s", page, qPrintable(details[i])) << page << details[i] << detailsGreek[i];
    const char* const rows[][3] = {
        {"ScanScreens", "SCAN\nYOUR CARD", "ΣΑΡΩΣΤΕ ΤΗΝ\nΚΑΡΤΑ ΣΑΣ"},
        {"ScanScreens", "SCAN\nYOUR TICKET", "ΣΑΡΩΣΤΕ ΤΟ\nΕΙΣΙΤΗΡΙΟ ΣΑΣ"},
        {"ScanCard", "SCAN\nTICKET", "ΣΑΡΩΣΗ\nΕΙΣΙΤΗΡΙΟΥ"},
        {"ScanBarcode", "SCAN\nCARD", "ΣΑΡΩΣΗ\nΚΑΡΤΑΣ"},
        {"CustomPopup", "Yes", "Ναι"},
        {"CustomPopup", "No", "Όχι"},
        {"Login", "Too many wrong PINs.\nTry again in %1", "Πολλοί λάθος κωδικοί.\nΔοκιμάστε ξανά σε %1"},
        {"GUIManager", "Initializing", "Αρχικοποίηση"},
        {"GUIManager", "Rebooting", "Επανεκκίνηση"},
        {"GUIManager", "Shutting down", "Τερματισμός Λειτουργίας"},
        {"GUIManager", "Exiting", "Έξοδος"},
    };
    for (const auto& row : rows)
        QTest::addRow("%s %s", row[0], row[1]) << row[0] << row[1] << QString::fromUtf8(row[2]);
}

void TestTranslations::greek()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, greek);
    QCOMPARE(m_greek.translate(qPrintable(context), qPrintable(source)), greek);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_Translations.moc"
