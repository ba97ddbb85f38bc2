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

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_SessionManager.moc"
