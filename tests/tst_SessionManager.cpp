#include "Common/Config.h"
#include "GUIManager.h"
#include "SessionManager.h"

#include "LogCapture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSessionManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void wrongPinsLockLogins();
    void lockoutSurvivesARestart();

private:
    QTemporaryDir m_dir;
    Config m_config{m_dir.filePath(QStringLiteral("gui.conf")), GUIManager::Defaults};
};

// Each case starts with no wrong PIN on record and the built-in PIN.
void TestSessionManager::init()
{
    QFile::remove(m_dir.filePath(QStringLiteral("lockout.ini")));
    m_config.set(QStringLiteral("gui/settingsPin"), QStringLiteral("7315"));
}

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

// Five wrong PINs, then a new process: the right PIN is still refused until
// the lock ends, and the next wrong one doubles it. A clock set back makes the
// rest no longer than the lock itself.
void TestSessionManager::lockoutSurvivesARestart()
{
    {
        SessionManager before(m_config);
        before.setLockoutMillis(4000);
        for (int i = 0; i < 5; ++i)
            before.loginRequest(QStringLiteral("0000"));
        QCOMPARE(before.lockoutSecs(), 4);
    }
    SessionManager after(m_config);
    after.setLockoutMillis(600);
    QVERIFY(after.lockoutSecs() > 0 && after.lockoutSecs() <= 4);
    after.loginRequest(QStringLiteral("7315"));
    QVERIFY(!after.sessionActive());

    // The clock a year back: the rest is capped at the lock's own length.
    QSettings state(QFileInfo(m_config.filename()).dir().filePath(QStringLiteral("lockout.ini")), QSettings::IniFormat);
    state.setValue(QStringLiteral("untilMillis"), QDateTime::currentMSecsSinceEpoch() + 365LL * 24 * 3600 * 1000);
    state.setValue(QStringLiteral("lengthMillis"), 2000);
    state.sync();
    SessionManager jumped(m_config);
    QCOMPARE(jumped.lockoutSecs(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(jumped.lockoutSecs(), 0, 15000);
    QSignalSpy locked(&jumped, &SessionManager::lockedOut);
    jumped.setLockoutMillis(600);
    jumped.loginRequest(QStringLiteral("0000"));
    QCOMPARE(locked.count(), 1);
    QCOMPARE(locked.last(), QVariantList({6, 2}));
    QTRY_COMPARE(jumped.lockoutSecs(), 0);
    jumped.loginRequest(QStringLiteral("7315"));
    QVERIFY(jumped.sessionActive());
    // A login clears the count for the next start too.
    SessionManager cleared(m_config);
    QCOMPARE(cleared.lockoutSecs(), 0);
}

QTEST_GUILESS_MAIN(TestSessionManager)
#include "tst_SessionManager.moc"
