// The real main window over a real GUIManager and broker: every passenger
// screen and the PIN page in both languages, grabbed and checked on screen.

#include "AppWindow.h"
#include "Common/Config.h"
#include "GUIManager.h"
#include "MqttPeer.h"
#include "QuickItems.h"

#include <QColor>
#include <QFontDatabase>
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

private:
    bool publishAndWait(const QString& topic, const QJsonObject& payload, const QString& screen);
    bool waitForScreen(const QString& screen);
    QQuickItem* page(const QString& screen) const;
    QQuickItem* pageChild(const QString& screen, const char* name) const;
    QString pageText(const QString& screen, const char* name) const;
    QImage grab();
    void expectIcon(const QImage& image, const QString& screen, const QColor& colour);

    AppWindow m_app;
};

void TestScreens::initTestCase()
{
    QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    QVERIFY(m_app.start(QStringLiteral("kivo/ui/#"), {{"gui/locale", "en_IE"}}));
    QVERIFY(publishAndWait(Blm + "/status", status(true, readyState()), "ScanScreens"));
}

bool TestScreens::waitForScreen(const QString& screen)
{
    return QTest::qWaitFor([&] {
        return m_app.manager()->screen() == screen && m_app.window()->property("currentScreen").toString() == screen;
    }, 5000);
}

bool TestScreens::publishAndWait(const QString& topic, const QJsonObject& payload, const QString& screen)
{
    return m_app.peer()->publish(topic, payload) && waitForScreen(screen);
}

QQuickItem* TestScreens::page(const QString& screen) const
{
    return QuickItems::page(m_app.window(), screen);
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

QImage TestScreens::grab()
{
    // Let the page render its new texts and the animation settle on a frame.
    QTest::qWait(400);
    return m_app.window()->grabWindow();
}

void TestScreens::expectIcon(const QImage& image, const QString& screen, const QColor& colour)
{
    QQuickItem* icon = pageChild(screen, "resultIcon");
    QVERIFY(icon);
    const QRect rect = QuickItems::sceneRect(icon);
    QVERIFY2(QuickItems::countColour(image, rect, colour) > 1500, qPrintable(screen + " icon in " + colour.name()));
    // The icon's row is one colour; no other result colour is painted in it.
    for (const char* other : {"#41b987", "#fcdb03", "#db4a37"}) {
        if (QColor(other) != colour)
            QVERIFY2(QuickItems::countColour(image, rect, QColor(other)) < 50, qPrintable(screen + " also in " + other));
    }
}

void TestScreens::screens_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("en_IE") << "en_IE"
        << QStringList{"Please Wait", "SCAN\nYOUR CARD", "SCAN YOUR\nTICKET", "VALID", "ALREADY VALIDATED",
                       "INVALID", "The ticket has expired", "PLEASE TRY AGAIN", "OUT OF SERVICE",
                       "OUT OF ORDER", "LOGIN", "SCAN\nYOUR TICKET"};
    QTest::newRow("el_GR") << "el_GR"
        << QStringList{"Παρακαλώ Περιμένετε", "ΣΑΡΩΣΤΕ ΤΗΝ\nΚΑΡΤΑ ΣΑΣ", "ΣΑΡΩΣΤΕ ΤΟ\nΕΙΣΙΤΗΡΙΟ ΣΑΣ", "ΕΓΚΥΡΟ",
                       "ΗΔΗ ΕΠΙΚΥΡΩΜΕΝΟ", "ΑΚΥΡΟ", "Το εισιτήριο έχει λήξει", "ΔΟΚΙΜΑΣΤΕ ΞΑΝΑ",
                       "ΕΚΤΟΣ ΥΠΗΡΕΣΙΑΣ", "ΠΡΟΣΩΡΙΝΑ\nΕΚΤΟΣ ΛΕΙΤΟΥΡΓΙΑΣ", "ΕΙΣΟΔΟΣ", "ΣΑΡΩΣΤΕ ΤΟ\nΕΙΣΙΤΗΡΙΟ ΣΑΣ"};
}

void TestScreens::screens()
{
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    auto* header = QuickItems::find(m_app.window()->contentItem(), "header");
    QVERIFY(header);

    m_app.manager()->setLanguage(language);
    QCOMPARE(m_app.manager()->language(), language);

    QVERIFY(publishAndWait(Blm + "/status", status(true, readyState()), "ScanScreens"));
    QImage image = grab();
    const QString prompt = pageText("ScanScreens", "prompt");
    QVERIFY2(prompt == texts[1] || prompt == texts[11], qPrintable(prompt));
    QVERIFY(header->isVisible());

    m_app.manager()->setScreen("ScanCard");
    QVERIFY(waitForScreen("ScanCard"));
    QCOMPARE(pageText("ScanCard", "prompt"), texts[1]);
    m_app.manager()->setScreen("ScanBarcode");
    QVERIFY(waitForScreen("ScanBarcode"));
    QCOMPARE(pageText("ScanBarcode", "prompt"), texts[2]);

    const QJsonObject journeys{{"result", true}, {"type", 5}, {"fareProductName", "Adult 90 min"},
                               {"card", QJsonObject{{"storedJourneys",
                                   QJsonObject{{"after", 9}, {"transferRemainingMin", 75}}}}}};
    QVERIFY(publishAndWait(Blm + "/rfid/scanned", scanned(journeys), "Valid"));
    image = grab();
    expectIcon(image, "Valid", QColor("#41b987"));
    QCOMPARE(pageText("Valid", "title"), texts[3]);
    auto* right = pageChild("Valid", "rightColumn");
    QVERIFY(right && right->isVisible());

    const QJsonObject pass{{"result", false}, {"type", 8}, {"fareProductName", "Monthly pass"},
                           {"denyReason", QJsonObject{{"id", 103}}},
                           {"card", QJsonObject{{"periodPass", QJsonObject{{"remainingDays", 12}}}}}};
    QVERIFY(publishAndWait(Blm + "/rfid/scanned", scanned(pass), "AlreadyValid"));
    image = grab();
    expectIcon(image, "AlreadyValid", QColor("#fcdb03"));
    QCOMPARE(pageText("AlreadyValid", "title"), texts[4]);

    const QJsonObject expired{{"result", false}, {"type", 0}, {"denyReason", QJsonObject{{"id", 101}}}};
    QVERIFY(publishAndWait(Blm + "/barcode/scanned", scanned(expired), "Invalid"));
    image = grab();
    expectIcon(image, "Invalid", QColor("#db4a37"));
    QCOMPARE(pageText("Invalid", "title"), texts[5]);
    QCOMPARE(pageText("Invalid", "denyReason"), texts[6]);

    QVERIFY(m_app.peer()->publish(Blm + "/rfid/retry", QByteArray()));
    QVERIFY(waitForScreen("Retry"));
    image = grab();
    expectIcon(image, "Retry", QColor("#fcdb03"));
    QCOMPARE(pageText("Retry", "title"), texts[7]);

    QJsonObject noRoute = readyState();
    noRoute["hasRoute"] = false;
    QVERIFY(publishAndWait(Blm + "/status", status(true, noRoute), "OutOfService"));
    image = grab();
    expectIcon(image, "OutOfService", QColor("#fcdb03"));
    QCOMPARE(pageText("OutOfService", "title"), texts[8]);

    QVERIFY(publishAndWait(Blm + "/status", status(false, readyState()), "OutOfOrder"));
    image = grab();
    expectIcon(image, "OutOfOrder", QColor("#db4a37"));
    QCOMPARE(pageText("OutOfOrder", "title"), texts[9]);
    QCOMPARE(pageText("OutOfOrder", "message"), QStringLiteral("#0002"));

    QJsonObject starting = readyState();
    starting["init"] = true;
    QVERIFY(publishAndWait(Blm + "/status", status(true, starting), "Busy"));
    QCOMPARE(pageText("Busy", "message"), texts[0]);

    m_app.manager()->setScreen("ScreenSaver");
    QVERIFY(waitForScreen("ScreenSaver"));
    image = grab();
    QVERIFY(!header->isVisible());
    // Nothing but the screen-saver colour where the header would be.
    QCOMPARE(QuickItems::countColour(image, QRect(0, 0, 480, 120), QColor("black")), 480 * 120);

    m_app.manager()->setIdleScreen();
    QVERIFY(waitForScreen("Busy"));
    QuickItems::tapClock(m_app.window());
    QVERIFY(waitForScreen("Login"));
    QVERIFY(header->isVisible());
    QCOMPARE(pageText("Login", "loginButton"), texts[10]);
    QCOMPARE(pageText("Login", "pinText"), language == "el_GR" ? QStringLiteral("Κωδικός") : QStringLiteral("Pin"));
    m_app.manager()->setMaintenanceScreen();
    QVERIFY(waitForScreen("Busy"));

    m_app.manager()->setScreen("InitPage");
    QVERIFY(waitForScreen("InitPage"));
    QVERIFY(header->isVisible());
    QQuickItem* field = pageChild("InitPage", "serialField");
    QCOMPARE(field->property("text").toString(), QStringLiteral("K12345678"));
    field->setProperty("text", QString());
    // A touch on the field slides the window's keyboard up to the bottom of the page.
    QQuickItem* keyboard = QuickItems::find(m_app.window()->contentItem(), QStringLiteral("keyboard"));
    QVERIFY(keyboard);
    const QRect pageRect = QuickItems::sceneRect(page("InitPage"));
    QCOMPARE(QuickItems::sceneRect(keyboard).top(), pageRect.bottom() + 1);
    QVERIFY(QuickItems::pointerClick(field));
    QTRY_COMPARE(QuickItems::sceneRect(keyboard).bottom(), pageRect.bottom());
    QVERIFY(!QuickItems::find(m_app.window()->contentItem(), QStringLiteral("versionLabel"))->isVisible());
    // What the keyboard types comes out upper case, as the serial number needs.
    // Letters on the first layer, digits on the one "&123" opens.
    for (const char* c : {"k", "&123", "1", "2", "3", "4", "5", "6", "7", "8", "ABC"}) {
        QVERIFY2(QuickItems::pointerClick(QuickItems::keyboardKey(keyboard, QLatin1String(c))), c);
        QTest::qWait(50);
    }
    QTRY_COMPARE(field->property("text").toString(), QStringLiteral("K12345678"));
    // Enter hides the keyboard and asks for confirmation.
    QVERIFY(QuickItems::pointerClick(QuickItems::keyboardKey(keyboard, QString(), Qt::Key_Return)));
    QTRY_COMPARE(QuickItems::sceneRect(keyboard).top(), pageRect.bottom() + 1);
    QObject* popup = page("InitPage")->findChild<QObject*>(QStringLiteral("confirmPopup"));
    QTRY_VERIFY(popup->property("opened").toBool());
    QMetaObject::invokeMethod(popup, "close");
}

QTEST_MAIN(TestScreens)
#include "tst_Screens.moc"
