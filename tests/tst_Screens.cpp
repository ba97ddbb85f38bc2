// The real main window over a real GUIManager and broker: every passenger
// screen and the PIN page in both languages, grabbed and checked on screen.

#include "AppWindow.h"
#include "Common/Config.h"
#include "GUIManager.h"
#include "MqttPeer.h"
#include "QuickItems.h"

#include <QColor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QInputMethod>
#include <QImage>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

const QString Blm = QStringLiteral("kivo/blm");

QJsonObject status(bool service, const QJsonObject& state)
{
    return QJsonObject{{"device", QJsonObject{}}, {"service", service}, {"state", state}};
}

QJsonObject readyState()
{
    return QJsonObject{{"init", false}, {"hasRfid", true}, {"hasRoute", true},
                       {"hasQr", true}, {"hasObu", true}};
}

QJsonObject scanned(const QJsonObject& transaction)
{
    return QJsonObject{{"transaction", transaction}};
}

} // namespace

class TestScreens : public QObject
{
    Q_OBJECT
public:
    static void initMain() { qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard")); }

private slots:
    void initTestCase();
    void screens_data();
    void screens();
    void serialNumberKeyPad();

private:
    bool publishAndWait(const QString& topic, const QJsonObject& payload, const QString& screen);
    bool waitForScreen(const QString& screen);
    QQuickItem* pageChild(const QString& screen, const char* name) const;
    QString pageText(const QString& screen, const char* name) const;
    void expectIcon(const QString& screen, const QColor& colour);
    void expectCornerClear(const QString& screen);

    AppWindow m_app;
};

void TestScreens::initTestCase()
{
    QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
    // A version as long as a release's: the label must keep clear of controls.
    QCoreApplication::setApplicationVersion(QStringLiteral("10.10.100"));
    QVERIFY(m_app.start(QStringLiteral("kivo/ui/#"), {{"gui/locale", "en_IE"}}));
    QVERIFY(publishAndWait(Blm + "/status", status(true, readyState()), "ScanScreens"));
}

bool TestScreens::waitForScreen(const QString& screen)
{
    return QTest::qWaitFor([&] {
        return m_app.manager()->screen() == screen && m_app.window()->property("currentScreen").toString() == screen;
    }, MqttPeer::WaitMillis);
}

bool TestScreens::publishAndWait(const QString& topic, const QJsonObject& payload, const QString& screen)
{
    return m_app.peer()->publish(topic, payload) && waitForScreen(screen);
}

QQuickItem* TestScreens::pageChild(const QString& screen, const char* name) const
{
    return QuickItems::find(QuickItems::page(m_app.window(), screen), QLatin1String(name));
}

QString TestScreens::pageText(const QString& screen, const char* name) const
{
    QQuickItem* item = pageChild(screen, name);
    return item ? item->property("text").toString() : QString();
}

// The icon's row is one colour, once the page's animation has settled on it:
// no other result colour is painted in it.
void TestScreens::expectIcon(const QString& screen, const QColor& colour)
{
    QQuickItem* icon = pageChild(screen, "resultIcon");
    QVERIFY(icon);
    const QRect rect = QuickItems::sceneRect(icon);
    const auto painted = [&] {
        const QImage image = m_app.window()->grabWindow();
        const int own = QuickItems::countColour(image, rect, colour);
        QString counts = QStringLiteral("%1 in %2").arg(own).arg(colour.name());
        bool alone = own > 1500;
        for (const char* other : {"#41b987", "#fcdb03", "#db4a37"}) {
            if (QColor(other) == colour)
                continue;
            const int count = QuickItems::countColour(image, rect, QColor(other));
            alone = alone && count < 50;
            counts += QStringLiteral(", %1 in %2").arg(count).arg(QLatin1String(other));
        }
        return alone ? QString() : screen + QStringLiteral(" icon: ") + counts;
    };
    QTRY_COMPARE(painted(), QString());
}

// Nothing to touch or read under the version label.
void TestScreens::expectCornerClear(const QString& screen)
{
    QQuickItem* label = QuickItems::find(m_app.window()->contentItem(), QStringLiteral("versionLabel"));
    QVERIFY(label && label->isVisible());
    const QStringList covered = QuickItems::shownIn(QuickItems::page(m_app.window(), screen),
                                                    QuickItems::sceneRect(label));
    QVERIFY2(covered.isEmpty(), qPrintable(screen + ": " + covered.join(", ")));
}

void TestScreens::screens_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("en_IE") << "en_IE"
        << QStringList{"Please Wait", "SCAN\nYOUR CARD", "SCAN YOUR\nTICKET", "VALID", "ALREADY VALIDATED",
                       "INVALID", "The ticket has expired", "PLEASE TRY AGAIN", "OUT OF SERVICE",
                       "OUT OF ORDER", "LOGIN", "SCAN\nYOUR TICKET", "€1.20", "Deducted", "Balance",
                       "Remaining", "12 days", "Expires", "75 mins", "Trips"};
    QTest::newRow("el_GR") << "el_GR"
        << QStringList{"Παρακαλώ Περιμένετε", "ΣΑΡΩΣΤΕ ΤΗΝ\nΚΑΡΤΑ ΣΑΣ", "ΣΑΡΩΣΤΕ ΤΟ\nΕΙΣΙΤΗΡΙΟ ΣΑΣ", "ΕΓΚΥΡΟ",
                       "ΗΔΗ ΕΠΙΚΥΡΩΜΕΝΟ", "ΑΚΥΡΟ", "Το εισιτήριο έχει λήξει", "ΔΟΚΙΜΑΣΤΕ ΞΑΝΑ",
                       "ΕΚΤΟΣ ΥΠΗΡΕΣΙΑΣ", "ΠΡΟΣΩΡΙΝΑ\nΕΚΤΟΣ ΛΕΙΤΟΥΡΓΙΑΣ", "ΕΙΣΟΔΟΣ", "ΣΑΡΩΣΤΕ ΤΟ\nΕΙΣΙΤΗΡΙΟ ΣΑΣ",
                       "1,20\u00a0€", "Αφαιρέθηκαν", "Υπόλοιπο", "Υπόλοιπο", "12 ημέρες", "Λήγει", "75 λεπτά",
                       "Διαδρομές"};
}

void TestScreens::screens()
{
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    auto* header = QuickItems::find(m_app.window()->contentItem(), "header");
    QVERIFY(header);

    m_app.manager()->setLanguage(language);
    QVERIFY(publishAndWait(Blm + "/status", status(true, readyState()), "ScanScreens"));
    const QString prompt = pageText("ScanScreens", "prompt");
    QVERIFY2(prompt == texts[1] || prompt == texts[11], qPrintable(prompt));
    QVERIFY(header->isVisible());
    expectCornerClear("ScanScreens");

    m_app.manager()->setScreen("ScanCard");
    QVERIFY(waitForScreen("ScanCard"));
    QCOMPARE(pageText("ScanCard", "prompt"), texts[1]);
    expectCornerClear("ScanCard");
    QTest::mouseClick(m_app.window(), Qt::LeftButton, {}, QuickItems::sceneRect(pageChild("ScanCard", "scanButton")).center());
    QTRY_COMPARE(m_app.window()->property("currentScreen").toString(), QStringLiteral("ScanBarcode"));
    QCOMPARE(pageText("ScanBarcode", "prompt"), texts[2]);

    // Each result page: what brings it, its icon's colour and the texts it
    // shows, by index in `texts`: a text missing from the catalogue would show in English.
    QJsonObject noRoute = readyState();
    noRoute["hasRoute"] = false;
    const struct {
        QString topic;
        QJsonObject payload;
        QString screen;
        const char* colour;
        QList<int> shown;
    } results[] = {
        // Money in the page's language: Greek puts the sign after the amount.
        {"/rfid/scanned", scanned({{"result", true}, {"type", 2}, {"fareProductName", "Adult single"},
             {"card", QJsonObject{{"balanceBefore", 250}, {"balanceAfter", 130}}}}),
         "Valid", "#41b987", {3, 12, 13, 14}},
        {"/rfid/scanned", scanned({{"result", false}, {"type", 8}, {"fareProductName", "Monthly pass"},
             {"denyReason", QJsonObject{{"id", 103}}},
             {"card", QJsonObject{{"periodPass", QJsonObject{{"remainingDays", 12}}}}}}),
         "AlreadyValid", "#fcdb03", {4, 15, 16, 17}},
        {"/rfid/scanned", scanned({{"result", true}, {"type", 5}, {"fareProductName", "Adult 90 min"},
             {"card", QJsonObject{{"storedJourneys", QJsonObject{{"after", 9}, {"transferRemainingMin", 75}}}}}}),
         "Valid", "#41b987", {3, 15, 18, 19}},
        {"/barcode/scanned", scanned({{"result", false}, {"type", 0}, {"denyReason", QJsonObject{{"id", 101}}}}),
         "Invalid", "#db4a37", {5, 6}},
        {"/rfid/retry", {}, "Retry", "#fcdb03", {7}},
        {"/status", status(true, noRoute), "OutOfService", "#fcdb03", {8}},
        {"/status", status(false, readyState()), "OutOfOrder", "#db4a37", {9}},
    };
    for (const auto& result : results) {
        QVERIFY(publishAndWait(Blm + result.topic, result.payload, result.screen));
        expectIcon(result.screen, QColor(result.colour));
        expectCornerClear(result.screen);
        const QStringList shown = QuickItems::shownIn(QuickItems::page(m_app.window(), result.screen), QRect(0, 0, 480, 800));
        for (int text : result.shown)
            QVERIFY2(!shown.filter('"' + texts[text] + '"').isEmpty(), qPrintable(texts[text] + " on " + shown.join(", ")));
    }
    QCOMPARE(pageText("OutOfOrder", "message"), QStringLiteral("#0002"));

    QJsonObject starting = readyState();
    starting["init"] = true;
    QVERIFY(publishAndWait(Blm + "/status", status(true, starting), "Busy"));
    QCOMPARE(pageText("Busy", "message"), texts[0]);
    expectCornerClear("Busy");

    m_app.manager()->setScreen("ScreenSaver");
    QVERIFY(waitForScreen("ScreenSaver"));
    QVERIFY(!header->isVisible());
    // Nothing but the screen-saver colour where the header would be.
    QTRY_COMPARE(QuickItems::countColour(m_app.window()->grabWindow(), QRect(0, 0, 480, 120), QColor("black")), 480 * 120);

    m_app.manager()->setIdleScreen();
    QVERIFY(waitForScreen("Busy"));
    QuickItems::tapClock(m_app.window());
    QVERIFY(waitForScreen("Login"));
    QVERIFY(header->isVisible());
    QCOMPARE(pageText("Login", "loginButton"), texts[10]);
    expectCornerClear("Login");
    QCOMPARE(pageText("Login", "pinText"), language == "el_GR" ? QStringLiteral("Κωδικός") : QStringLiteral("Pin"));
    m_app.manager()->setMaintenanceScreen();
    QVERIFY(waitForScreen("Busy"));

    QVERIFY2(m_app.qmlWarnings().isEmpty(), qPrintable(m_app.qmlWarnings().join('\n')));
}

// The serial number has a key pad of just the characters it takes, each key at
// least 9 mm (50 pixels) square; a touch on the field opens no on-screen
// keyboard over it. Typing and saving by touch is the end-to-end test's.
void TestScreens::serialNumberKeyPad()
{
    m_app.manager()->setScreen("InitPage");
    QVERIFY(waitForScreen("InitPage"));
    QVERIFY(QuickItems::find(m_app.window()->contentItem(), "header")->isVisible());
    QQuickItem* page = QuickItems::page(m_app.window(), "InitPage");
    expectCornerClear("InitPage");
    for (const char* name : {"C", "K", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "back", "CLR"}) {
        QQuickItem* key = QuickItems::find(page, QStringLiteral("key_") + name);
        QVERIFY2(key && key->width() >= 50 && key->height() >= 50, name);
        QVERIFY2(QRect(0, 0, 480, 800).contains(QuickItems::sceneRect(key)), name);
    }
    QVERIFY(QuickItems::pointerClick(pageChild("InitPage", "serialField")));
    QVERIFY(QuickItems::pointerClick(QuickItems::find(page, QStringLiteral("key_CLR"))));
    QTRY_COMPARE(pageChild("InitPage", "serialField")->property("text").toString(), QString());
    QVERIFY(!QGuiApplication::inputMethod()->isVisible());
    QVERIFY2(m_app.qmlWarnings().isEmpty(), qPrintable(m_app.qmlWarnings().join('\n')));
}

QTEST_MAIN(TestScreens)
#include "tst_Screens.moc"
