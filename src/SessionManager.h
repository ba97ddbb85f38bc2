#pragma once

#include "Model/User.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <optional>

class Config;

// The maintenance session: PIN check against the users table and a
// ten-minute session from login.
class SessionManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool sessionActive READ sessionActive NOTIFY sessionActiveChanged)
public:
    explicit SessionManager(Config& config, QObject* parent = nullptr);

    bool sessionActive() const;
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

public slots:
    void loginRequest(const QString& pin);
    void logoutRequest();
    void resetTimer();

private:
    void onTimeout();

    static const int SessionMillis = 600000;

    Config& m_config;
    QTimer m_timer;
    // A copy, so a reload of the table never leaves it dangling.
    std::optional<User> m_activeUser;
    QVector<User> m_users;
};
