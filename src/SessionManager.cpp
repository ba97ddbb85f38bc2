#include "SessionManager.h"

#include "Common/Config.h"
#include "ConfigKeys.h"
#include <QLoggingCategory>

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

Q_LOGGING_CATEGORY(lcSessionManager, "quillon.SessionManager")

SessionManager::SessionManager(Config& config, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_lockoutFile(QFileInfo(config.filename()).absoluteDir().filePath(QStringLiteral("lockout.ini")))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(SessionMillis);
    connect(&m_timer, &QTimer::timeout, this, &SessionManager::onTimeout);
    m_lockoutTick.setInterval(1000);
    connect(&m_lockoutTick, &QTimer::timeout, this, &SessionManager::updateLockout);
    connect(&m_config, &Config::configChanged, this, &SessionManager::loadUsers);
    loadUsers();
    restoreLockout();
}

bool SessionManager::sessionActive() const
{
    return m_activeUser.has_value();
}

int SessionManager::lockoutSecs() const
{
    return m_lockoutSecs;
}

void SessionManager::setLockoutMillis(int millis)
{
    m_lockoutMillis = millis;
    m_lockoutTick.setInterval(qBound(1, millis / 60, 1000));
}

void SessionManager::setSessionMillis(int millis)
{
    m_timer.setInterval(millis);
}

int SessionManager::remainingTime() const
{
    return m_timer.isActive() ? m_timer.remainingTime() : -1;
}

const User* SessionManager::user() const
{
    static const User none;
    return m_activeUser ? &*m_activeUser : &none;
}

void SessionManager::loadUsers()
{
    const QString pin = m_config.get(key::SettingsPin).toString();
    const bool changed = !m_users.isEmpty() && m_users.constFirst().pin != pin;
    m_users.clear();
    m_users.append(User{0, QStringLiteral("KIVO"), QStringLiteral("Admin"), pin});
    if (changed) {
        qCWarning(lcSessionManager).noquote().nospace() << "WARN: PIN changed";
        emit pinChanged();
    }
}

void SessionManager::loginRequest(const QString& pin)
{
    qCInfo(lcSessionManager).noquote().nospace() << "Login requested with PIN";
    // The PIN itself never goes to a log.
    qCDebug(lcSessionManager).noquote().nospace() << "Entered PIN    : " << pin.size() << " digit(s)";
    if (m_lockoutSecs > 0) {
        qCWarning(lcSessionManager).noquote().nospace() << "WARN: Login locked, " << m_lockoutSecs << " s left";
        emit accessDenied();
        return;
    }
    for (const User& user : qAsConst(m_users)) {
        if (user.pin != pin)
            continue;
        if (m_failures > 0) {
            m_failures = 0;
            saveLockout(0);
        }
        m_timer.start();
        m_activeUser = user;
        qCInfo(lcSessionManager).noquote().nospace() << "User logged-in : " << user.name << ", "
                                    << user.surname;
        emit accessGranted();
        emit sessionActiveChanged();
        return;
    }
    qCWarning(lcSessionManager).noquote().nospace() << "WARN: User entered wrong pin";
    onWrongPin();
    emit accessDenied();
}

void SessionManager::onWrongPin()
{
    if (++m_failures < FreeAttempts) {
        saveLockout(0);
        return;
    }
    const int doublings = qMin(m_failures - FreeAttempts, 10);
    const qint64 millis = qMin<qint64>(qint64(m_lockoutMillis) << doublings, MaxLockoutMillis);
    lockFor(millis);
    saveLockout(millis);
    qCWarning(lcSessionManager).noquote().nospace() << "WARN: " << m_failures << " wrong PINs in a row, login locked for "
                                   << m_lockoutSecs << " s";
    emit lockedOut(m_failures, m_lockoutSecs);
}

void SessionManager::lockFor(qint64 millis)
{
    m_lockout.setRemainingTime(millis);
    m_lockoutTick.start();
    updateLockout();
}

// The wall clock carries the lock across a restart; a clock set back can
// make the rest look longer than it was, never longer than the lock itself.
void SessionManager::restoreLockout()
{
    const QSettings file(m_lockoutFile, QSettings::IniFormat);
    m_failures = qMax(0, file.value(QStringLiteral("failures")).toInt());
    const qint64 length = file.value(QStringLiteral("lengthMillis")).toLongLong();
    const qint64 left = file.value(QStringLiteral("untilMillis")).toLongLong() - QDateTime::currentMSecsSinceEpoch();
    const qint64 millis = qBound<qint64>(0, left, qMin<qint64>(length, MaxLockoutMillis));
    if (millis <= 0)
        return;
    lockFor(millis);
    qCWarning(lcSessionManager).noquote().nospace() << "WARN: Login still locked for " << m_lockoutSecs << " s";
}

void SessionManager::saveLockout(qint64 lengthMillis) const
{
    QSettings file(m_lockoutFile, QSettings::IniFormat);
    file.setValue(QStringLiteral("failures"), m_failures);
    file.setValue(QStringLiteral("lengthMillis"), lengthMillis);
    file.setValue(QStringLiteral("untilMillis"), QDateTime::currentMSecsSinceEpoch() + lengthMillis);
    file.sync();
    if (file.status() != QSettings::NoError)
        qCWarning(lcSessionManager).noquote().nospace() << "WARN: Cannot write lockout file : " << m_lockoutFile;
}

void SessionManager::updateLockout()
{
    const int secs = m_lockout.hasExpired() ? 0 : int((m_lockout.remainingTime() + 999) / 1000);
    if (secs == 0)
        m_lockoutTick.stop();
    if (secs == m_lockoutSecs)
        return;
    m_lockoutSecs = secs;
    emit lockoutSecsChanged();
}

void SessionManager::logoutRequest()
{
    if (!m_activeUser)
        return;
    qCInfo(lcSessionManager).noquote().nospace() << "User logged-out : " << m_activeUser->name << ", "
                                << m_activeUser->surname;
    m_timer.stop();
    m_activeUser.reset();
    emit sessionActiveChanged();
}

void SessionManager::resetTimer()
{
    m_timer.start();
}

void SessionManager::onTimeout()
{
    qCWarning(lcSessionManager).noquote().nospace() << "Session expired";
    logoutRequest();
    emit expired();
}
