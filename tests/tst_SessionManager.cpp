#include "Common/Config.h"
#include "GUIManager.h"
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
    void changedPinTakesEffectAtNextLogin();
    void pinNeverLogged();
    void wrongPinsLockLogins();

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

    QSignalSpy denied(&session, &SessionManager::accessDenied);
    session.loginRequest(QStringLiteral("7315 "));
    QCOMPARE(denied.count(), 1);
    session.loginRequest(QStringLiteral("7315"));
    QCOMPARE(order, QStringList({"granted", "active"}));
    // A wrong PIN during a session leaves it running.
    session.loginRequest(QStringLiteral("0000"));
    QCOMPARE(denied.count(), 2);
    QVERIFY(session.sessionActive());
    QCOMPARE(session.user()->name, QStringLiteral("KIVO"));
    QVERIFY(session.remainingTime() > 0);

    session.logoutRequest();
    QVERIFY(!session.sessionActive());
    QCOMPARE(session.remainingTime(), -1);
    QCOMPARE(order.size(), 3);

    // Without a session a logout is silent.
    session.logoutRequest();
    QCOMPARE(order.size(), 3);
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

// Five wrong PINs in a row refuse every login, the right one too; each
// further wrong PIN doubles the wait; a login clears the count.
void TestSessionManager::wrongPinsLockLogins()
{
    SessionManager session(*m_config);
    session.setLockoutMillis(1000);
    QSignalSpy locked(&session, &SessionManager::lockedOut);
    const auto wrong = [&](int times) {
        for (int i = 0; i < times; ++i)
            session.loginRequest(QStringLiteral("0000"));
    };
    wrong(4);
    QCOMPARE(session.lockoutSecs(), 0);
    session.loginRequest(QStringLiteral("7315"));
    QVERIFY(session.sessionActive());
    session.logoutRequest();

    LogCapture log;
    wrong(5);
    QCOMPARE(locked.count(), 1);
    QCOMPARE(locked.last(), QVariantList({5, 1}));
    QCOMPARE(session.lockoutSecs(), 1);
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[SessionManager] WARN: 5 wrong PINs in a row, login locked for 1 s")));
    QSignalSpy denied(&session, &SessionManager::accessDenied);
    session.loginRequest(QStringLiteral("7315"));
    QCOMPARE(denied.count(), 1);
    QVERIFY(!session.sessionActive());
    // Attempts while locked do not lengthen the lock.
    QCOMPARE(locked.count(), 1);

    QTRY_COMPARE(session.lockoutSecs(), 0);
    wrong(1);
    QCOMPARE(locked.last(), QVariantList({6, 2}));
    QTRY_COMPARE_WITH_TIMEOUT(session.lockoutSecs(), 0, 4000);
    session.loginRequest(QStringLiteral("7315"));
    QVERIFY(session.sessionActive());
    wrong(4);
    QCOMPARE(session.lockoutSecs(), 0);
}

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_SessionManager.moc"
