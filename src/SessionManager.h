#pragma once

#include "Model/User.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <optional>

class Config;

// The maintenance session: PIN check against the users table and a
// ten-minute session from login. Five wrong PINs in a row lock every login
// for a minute, doubling with each further wrong PIN up to 15 minutes; the
// count and the lock are kept in a file beside the settings, so a restart
// hands out no fresh tries.
class SessionManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool sessionActive READ sessionActive NOTIFY sessionActiveChanged)
    Q_PROPERTY(int lockoutSecs READ lockoutSecs NOTIFY lockoutSecsChanged)
public:
    explicit SessionManager(Config& config, QObject* parent = nullptr);

    bool sessionActive() const;
    // Seconds until logins are taken again, 0 while they are.
    int lockoutSecs() const;
    // The first lockout's length; later ones double it.
    void setLockoutMillis(int millis);
    // The session's length; shortened by tests only.
    void setSessionMillis(int millis);
    // Milliseconds left, -1 without a running session timer.
    int remainingTime() const;
    // The logged-in user; an empty record without a session.
    const User* user() const;
    void loadUsers();

signals:
    void sessionActiveChanged();
    void accessGranted();
    void accessDenied();
    void expired();
    void lockoutSecsChanged();
    void lockedOut(int failures, int seconds);
    void pinChanged();

public slots:
    void loginRequest(const QString& pin);
    void logoutRequest();
    void resetTimer();

private:
    void onTimeout();
    void onWrongPin();
    void updateLockout();
    void lockFor(qint64 millis);
    void restoreLockout();
    void saveLockout(qint64 lengthMillis) const;

    static const int SessionMillis = 600000;
    static const int FreeAttempts = 5;
    static const int MaxLockoutMillis = 900000;

    Config& m_config;
    QTimer m_timer;
    int m_lockoutMillis = 60000;
    int m_failures = 0;
    int m_lockoutSecs = 0;
    QDeadlineTimer m_lockout;
    const QString m_lockoutFile;
    QTimer m_lockoutTick;
    // A copy, so a reload of the table never leaves it dangling.
    std::optional<User> m_activeUser;
    QVector<User> m_users;
};
