#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class Config;
class SessionManager;
class Transaction;

namespace manager {
class Board;
class Validator;
} // namespace manager

// Which screen is shown and for how long, the message under it, and the
// display switched off after a while on a screen that asks nothing of anyone.
class ScreenSelection : public QObject
{
    Q_OBJECT
public:
    ScreenSelection(Config& config, const QString& deviceId, manager::Validator& validator,
                    manager::Board& board, SessionManager& session,
                    QObject* parent);

    QString screen() const;
    QString message() const;
    void setMessage(const QString& text);
    void setScreen(const QString& name);
    void setScreen(const QString& name, int timeout);
    void setBusy(int timeout, const QString& message);

    void setIdleScreen();
    void setOutOfOrderScreen(const QString& message);
    void setMaintenanceScreen();
    void showResult(const Transaction& transaction);
    void showRetry();
    // The validator's reason code, with its text when error descriptions are shown.
    QString validatorReason() const;

    // From here on, each screen change decides whether the display stays on.
    void startDisplayPower();
    // Milliseconds until the display goes off, -1 without a countdown.
    int displayOffRemainingMillis() const;
    // The length of a display-off minute; shortened by tests only.
    void setDisplayOffMinuteMillis(int millis);
    // How long the PIN page waits for a PIN; shortened by tests only.
    void setLoginMillis(int millis);

signals:
    void screenChanged();
    void messageChanged();

private:
    void decideIdleScreen(bool leavingLogin);
    void showOutOfOrder(const QString& message, bool overLogin);
    void onScreenTimeout();
    void onScreenChanged();
    void onDisplayOffTimeout();
    void enableReaders(bool enable);

    Config& m_config;
    const QString& m_deviceId;
    manager::Validator& m_validator;
    manager::Board& m_board;
    SessionManager& m_session;
    QString m_screen;
    QString m_message;
    QTimer m_screenTimer;
    QTimer m_displayOffTimer;
    int m_displayOffMinuteMillis = 60000;
    int m_loginMillis = 15000;
};
