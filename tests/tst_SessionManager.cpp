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
    void wrongPinsLockLogins();

private:
    QTemporaryDir m_dir;
    Config m_config{m_dir.filePath(QStringLiteral("gui.conf")), GUIManager::Defaults};
};

// Five wrong PINs in a row refuse every login, the right one too; each
// further wrong PIN doubles the wait; a login clears the count. No PIN
// ever reaches a log.
void TestSessionManager::wrongPinsLockLogins()
{
    SessionManager session(m_config);
    session.setLockoutMillis(600);
    QSignalSpy locked(&session, &SessionManager::lockedOut);
    const auto wrong = [&](int times) {
        for (int i = 0; i < times; ++i)
            session.loginRequest(QStringLiteral("0000"));
    };
    LogCapture log;
    wrong(5);
    QCOMPARE(locked.count(), 1);
    QCOMPARE(locked.last(), QVariantList({5, 1}));
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
    QVERIFY(!log.contains(QStringLiteral("7315")));
}

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_SessionManager.moc"
