#include "SessionManager.h"

#include "Common/Config.h"

#include <QDebug>

namespace {

const char* const Tag = "[SessionManager] ";

} // namespace

SessionManager::SessionManager(Config& config, QObject* parent)
    : QObject(parent)
    , m_config(config)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(SessionMillis);
    connect(&m_timer, &QTimer::timeout, this, &SessionManager::onTimeout);
    connect(&m_config, &Config::configChanged, this, &SessionManager::loadUsers);
    loadUsers();
}

bool SessionManager::sessionActive() const
{
    return m_activeUser.has_value();
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
                        m_config.get(QStringLiteral("gui/settingsPin")).toString()});
}

void SessionManager::loginRequest(const QString& pin)
{
    qInfo().noquote().nospace() << Tag << "Login requested with PIN";
    // The PIN itself never goes to a log.
    qDebug().noquote().nospace() << Tag << "Entered PIN    : " << pin.size() << " digit(s)";
    for (const User& user : qAsConst(m_users)) {
        if (user.pin != pin)
            continue;
        m_timer.start(SessionMillis);
        m_activeUser = user;
        qInfo().noquote().nospace() << Tag << "User logged-in : " << user.name << ", "
                                    << user.surname;
        emit accessGranted();
        emit sessionActiveChanged();
        return;
    }
    qWarning().noquote().nospace() << Tag << "WARN: User entered wrong pin";
    emit accessDenied();
}

void SessionManager::logoutRequest()
{
    if (!m_activeUser)
        return;
    qInfo().noquote().nospace() << Tag << "User logged-out : " << m_activeUser->name << ", "
                                << m_activeUser->surname;
    m_timer.stop();
    m_activeUser.reset();
    emit sessionActiveChanged();
}

void SessionManager::resetTimer()
{
    m_timer.start(SessionMillis);
}

void SessionManager::onTimeout()
{
    qWarning().noquote().nospace() << Tag << "Session expired";
    logoutRequest();
    emit expired();
}
