#include "SessionManager.h"

#include "Common/Config.h"
#include "ConfigKeys.h"
#include "Common/Log.h"

#include <QDebug>

namespace {

const manager::Log Tag(QStringLiteral("[SessionManager] "));

} // namespace

SessionManager::SessionManager(Config& config, QObject* parent)
    : QObject(parent)
    , m_config(config)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(SessionMillis);
    connect(&m_timer, &QTimer::timeout, this, &SessionManager::onTimeout);
    m_lockoutTick.setInterval(1000);
    connect(&m_lockoutTick, &QTimer::timeout, this, &SessionManager::updateLockout);
    connect(&m_config, &Config::configChanged, this, &SessionManager::loadUsers);
    loadUsers();
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
    m_users.clear();
    m_users.append(User{0, QStringLiteral("KIVO"), QStringLiteral("Admin"),
                        m_config.get(key::SettingsPin).toString()});
}

void SessionManager::loginRequest(const QString& pin)
{
    Tag.info() << "Login requested with PIN";
    // The PIN itself never goes to a log.
    Tag.debug() << "Entered PIN    : " << pin.size() << " digit(s)";
    if (m_lockoutSecs > 0) {
        Tag.warning() << "WARN: Login locked, " << m_lockoutSecs << " s left";
        emit accessDenied();
        return;
    }
    for (const User& user : qAsConst(m_users)) {
        if (user.pin != pin)
            continue;
        m_failures = 0;
        m_timer.start();
        m_activeUser = user;
        Tag.info() << "User logged-in : " << user.name << ", "
                                    << user.surname;
        emit accessGranted();
        emit sessionActiveChanged();
        return;
    }
    Tag.warning() << "WARN: User entered wrong pin";
    onWrongPin();
    emit accessDenied();
}

void SessionManager::onWrongPin()
{
    if (++m_failures < FreeAttempts)
        return;
    const int doublings = qMin(m_failures - FreeAttempts, 10);
    const qint64 millis = qMin<qint64>(qint64(m_lockoutMillis) << doublings, MaxLockoutMillis);
    m_lockout.setRemainingTime(millis);
    m_lockoutTick.start();
    updateLockout();
    Tag.warning() << "WARN: " << m_failures << " wrong PINs in a row, login locked for "
                                   << m_lockoutSecs << " s";
    emit lockedOut(m_failures, m_lockoutSecs);
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
    Tag.info() << "User logged-out : " << m_activeUser->name << ", "
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
    Tag.warning() << "Session expired";
    logoutRequest();
    emit expired();
}
