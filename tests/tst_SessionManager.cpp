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
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_config = std::make_unique<Config>(m_dir->filePath(QStringLiteral("gui.conf")), GUIManager::Defaults);
    }
    void loginLogoutAndPinChange();
    void wrongPinsLockLogins();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Config> m_config;
};

void TestSessionManager::loginLogoutAndPinChange()
{
    LogCapture log;
    SessionManager session(*m_config);
    QSignalSpy active(&session, &SessionManager::sessionActiveChanged);
    QSignalSpy denied(&session, &SessionManager::accessDenied);
    session.loginRequest(QStringLiteral("7315 "));
    QCOMPARE(denied.count(), 1);
    session.loginRequest(QStringLiteral("7315"));
    // A wrong PIN during a session leaves it running.
    session.loginRequest(QStringLiteral("9182"));
    QCOMPARE(denied.count(), 2);
    QVERIFY(session.sessionActive());
    QCOMPARE(session.user()->name, QStringLiteral("KIVO"));
    QVERIFY(session.remainingTime() > 0);
    // The PIN itself never reaches a log, only its length.
    QVERIFY(!log.contains(QStringLiteral("7315")));
    QVERIFY(!log.contains(QStringLiteral("9182")));
    QVERIFY(log.contains(QtDebugMsg, QStringLiteral("[SessionManager] Entered PIN    : 4 digit(s)")));

    // A new PIN keeps the running session and counts from the next login.
    m_config->set(QStringLiteral("gui/settingsPin"), QStringLiteral("2468"));
    QVERIFY(session.sessionActive());
    session.logoutRequest();
    QCOMPARE(session.remainingTime(), -1);
    session.logoutRequest();
    QCOMPARE(active.count(), 2);
    session.loginRequest(QStringLiteral("7315"));
    QVERIFY(!session.sessionActive());
    session.loginRequest(QStringLiteral("2468"));
    QVERIFY(session.sessionActive());
}

// Five wrong PINs in a row refuse every login, the right one too; each
// further wrong PIN doubles the wait; a login clears the count.
void TestSessionManager::wrongPinsLockLogins()
{
    SessionManager session(*m_config);
    session.setLockoutMillis(600);
    QSignalSpy locked(&session, &SessionManager::lockedOut);
    const auto wrong = [&](int times) {
        for (int i = 0; i < times; ++i)
            session.loginRequest(QStringLiteral("0000"));
    };
    wrong(4);
    session.loginRequest(QStringLiteral("7315"));
    QVERIFY(session.sessionActive());
    session.logoutRequest();

    LogCapture log;
    wrong(5);
    QCOMPARE(locked.count(), 1);
    QCOMPARE(locked.last(), QVariantList({5, 1}));
    QCOMPARE(session.lockoutSecs(), 1);
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[SessionManager] WARN: 5 wrong PINs in a row, login locked for 1 s")));
    session.loginRequest(QStringLiteral("7315"));
    QVERIFY(!session.sessionActive());
    // Attempts while locked do not lengthen the lock.
    QCOMPARE(locked.count(), 1);

    QTRY_COMPARE(session.lockoutSecs(), 0);
    wrong(1);
    QCOMPARE(locked.last(), QVariantList({6, 2}));
    QTRY_COMPARE(session.lockoutSecs(), 0);
    session.loginRequest(QStringLiteral("7315"));
    QVERIFY(session.sessionActive());
    wrong(4);
    QCOMPARE(session.lockoutSecs(), 0);
}

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_SessionManager.moc"
