#include "Common/Config.h"
#include "GUIManager.h"
#include "Model/EventLogin.h"
#include "Model/EventLogout.h"
#include "SessionManager.h"

#include "LogCapture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSessionManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loginAndLogout();
    void wrongPinKeepsState();
    void changedPinTakesEffectAtNextLogin();
    void pinNeverLogged();
    void eventRecords();

private:
    QTemporaryDir* m_dir = nullptr;
    Config* m_config = nullptr;
};

void TestSessionManager::init()
{
    m_dir = new QTemporaryDir;
    m_config = new Config(m_dir->filePath(QStringLiteral("gui.conf")), GUIManager::Defaults);
}

void TestSessionManager::cleanup()
{
    delete m_config;
    delete m_dir;
}

void TestSessionManager::loginAndLogout()
{
    SessionManager session(*m_config);
    QStringList order;
    connect(&session, &SessionManager::accessGranted, [&] { order << "granted"; });
    connect(&session, &SessionManager::sessionActiveChanged, [&] { order << "active"; });
    QCOMPARE(session.remainingTime(), -1);

    session.loginRequest(QStringLiteral("7315"));
    QCOMPARE(order, QStringList({"granted", "active"}));
    QVERIFY(session.sessionActive());
    QCOMPARE(session.user()->name, QStringLiteral("KIVO"));
    QVERIFY(session.remainingTime() > 590000 && session.remainingTime() <= 600000);

    session.logoutRequest();
    QVERIFY(!session.sessionActive());
    QCOMPARE(session.remainingTime(), -1);
    QCOMPARE(order.size(), 3);

    // Without a session a logout is silent.
    session.logoutRequest();
    QCOMPARE(order.size(), 3);
}

void TestSessionManager::wrongPinKeepsState()
{
    SessionManager session(*m_config);
    QSignalSpy denied(&session, &SessionManager::accessDenied);
    QSignalSpy active(&session, &SessionManager::sessionActiveChanged);

    session.loginRequest(QStringLiteral(" 7315"));
    session.loginRequest(QStringLiteral("7315 "));
    QCOMPARE(denied.count(), 2);
    QVERIFY(!session.sessionActive());

    session.loginRequest(QStringLiteral("7315"));
    session.loginRequest(QStringLiteral("0000"));
    QCOMPARE(denied.count(), 3);
    QVERIFY(session.sessionActive());
    QCOMPARE(active.count(), 1);
}

void TestSessionManager::changedPinTakesEffectAtNextLogin()
{
    SessionManager session(*m_config);
    session.loginRequest(QStringLiteral("7315"));
    m_config->set(QStringLiteral("gui/settingsPin"), QStringLiteral("2468"));
    // The reload keeps the running session and its user.
    QVERIFY(session.sessionActive());
    QCOMPARE(session.user()->surname, QStringLiteral("Admin"));
    session.logoutRequest();

    QSignalSpy denied(&session, &SessionManager::accessDenied);
    session.loginRequest(QStringLiteral("7315"));
    QCOMPARE(denied.count(), 1);
    session.loginRequest(QStringLiteral("2468"));
    QVERIFY(session.sessionActive());

    session.logoutRequest();
    m_config->set(QStringLiteral("gui/settingsPin"), QString());
    session.loginRequest(QString());
    QVERIFY(session.sessionActive());
}

void TestSessionManager::pinNeverLogged()
{
    LogCapture log;
    SessionManager session(*m_config);
    session.loginRequest(QStringLiteral("7315"));
    session.loginRequest(QStringLiteral("9182"));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[SessionManager] Login requested with PIN")));
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[SessionManager] User logged-in : KIVO, Admin")));
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[SessionManager] WARN: User entered wrong pin")));
    QVERIFY(!log.contains(QStringLiteral("7315")));
    QVERIFY(!log.contains(QStringLiteral("9182")));
    QVERIFY(log.contains(QtDebugMsg, QStringLiteral("[SessionManager] Entered PIN    : 4 digit(s)")));
}

void TestSessionManager::eventRecords()
{
    const User user{0, QStringLiteral("KIVO"), QStringLiteral("Admin"), QString()};
    EventLogin login(&user);
    QCOMPARE(login.category(), QStringLiteral("General"));
    QCOMPARE(login.name(), QStringLiteral("Maintenance login"));
    QVERIFY(login.description().startsWith(
        QStringLiteral("User ID : 0\nFirst name : KIVO\nLast name : Admin\nDate : ")));
    QVERIFY(qAbs(login.timestamp().secsTo(QDateTime::currentDateTime())) < 5);

    EventLogout logout;
    QCOMPARE(logout.name(), QStringLiteral("Maintenance logout"));
    QCOMPARE(logout.description(), QStringLiteral("Date : ") + logout.timestamp().toString());
}

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_SessionManager.moc"
