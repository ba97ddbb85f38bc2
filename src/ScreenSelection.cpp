#include "ScreenSelection.h"

#include "LogCategories.h"

#include "Common/AssignIfDifferent.h"
#include "Common/Config.h"
#include "ConfigKeys.h"
#include "Model/Transaction.h"
#include "Peripheral/Board.h"
#include "Peripheral/Validator.h"
#include "SessionManager.h"

#include <QCoreApplication>

namespace {

const int ResultMillis = 3000;
const QString Display = QStringLiteral("display");

} // namespace

ScreenSelection::ScreenSelection(Config& config, const QString& deviceId,
                                 manager::Validator& validator, manager::Board& board,
                                 SessionManager& session, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_deviceId(deviceId)
    , m_validator(validator)
    , m_board(board)
    , m_session(session)
{
    m_screenTimer.setSingleShot(true);
    m_displayOffTimer.setSingleShot(true);
    connect(&m_screenTimer, &QTimer::timeout, this, &ScreenSelection::onScreenTimeout);
    connect(&m_displayOffTimer, &QTimer::timeout, this, &ScreenSelection::onDisplayOffTimeout);
}

void ScreenSelection::startDisplayPower()
{
    connect(this, &ScreenSelection::screenChanged, this, &ScreenSelection::onScreenChanged);
}

QString ScreenSelection::screen() const
{
    return m_screen;
}

QString ScreenSelection::message() const
{
    return m_message;
}

void ScreenSelection::setMessage(const QString& text)
{
    if (manager::assignIfDifferent(m_message, text))
        emit messageChanged();
}

void ScreenSelection::setScreen(const QString& name)
{
    if (name == m_screen)
        return;
    qCInfo(lcGUIManager).noquote().nospace() << "Setting screen : " << name;
    m_screen = name;
    m_screenTimer.stop();
    emit screenChanged();
}

void ScreenSelection::setScreen(const QString& name, int timeout)
{
    qCInfo(lcGUIManager).noquote().nospace() << "Setting screen : " << name << " (timeout=" << timeout << " msec)";
    m_screenTimer.start(timeout);
    m_screen = name;
    emit screenChanged();
}

void ScreenSelection::setBusy(int timeout, const QString& message)
{
    setScreen(QStringLiteral("Busy"), timeout);
    setMessage(message);
}

void ScreenSelection::setIdleScreen()
{
    decideIdleScreen(false);
}

// Leaving the PIN page is the page's own decision: the out-of-order rule then
// shows what it kept back while a technician typed.
void ScreenSelection::decideIdleScreen(bool leavingLogin)
{
    m_screenTimer.stop();
    if (m_deviceId.isEmpty()) {
        setScreen(QStringLiteral("InitPage"));
        return;
    }
    if (m_session.sessionActive())
        return;
    const QString status = m_validator.status();
    if (status == QLatin1String("init")) {
        setScreen(QStringLiteral("Busy"));
        setMessage(QCoreApplication::translate("GUIManager", "Please Wait"));
    } else if (status == QLatin1String("out-of-service")) {
        setScreen(QStringLiteral("OutOfService"));
        enableReaders(false);
    } else if (status == QLatin1String("online") || status == QLatin1String("degraded")) {
        enableReaders(true);
        setScreen(QStringLiteral("ScanScreens"));
    } else {
        showOutOfOrder(validatorReason(), leavingLogin);
        enableReaders(false);
    }
    // With the ignition off nothing out of order is shown, but the PIN page still goes.
    if (leavingLogin && m_screen == QLatin1String("Login"))
        setScreen(QStringLiteral("ScreenSaver"));
}

void ScreenSelection::enableReaders(bool enable)
{
    if (enable) {
        m_validator.enableRfid();
        m_validator.enableBarcode();
        return;
    }
    m_validator.disableRfid();
    m_validator.disableBarcode();
}

void ScreenSelection::setOutOfOrderScreen(const QString& message)
{
    showOutOfOrder(message, false);
}

void ScreenSelection::showOutOfOrder(const QString& message, bool overLogin)
{
    if ((m_screen == QLatin1String("Login") && !overLogin) || !m_board.ignition() || m_session.sessionActive())
        return;
    setScreen(QStringLiteral("OutOfOrder"));
    setMessage(message);
}

void ScreenSelection::setMaintenanceScreen()
{
    if (m_session.sessionActive())
        setScreen(QStringLiteral("Settings"));
    else if (m_screen == QLatin1String("Login"))
        decideIdleScreen(true);
    else
        setScreen(QStringLiteral("Login"), m_loginMillis);
}

void ScreenSelection::showResult(const Transaction& transaction)
{
    switch (transaction.outcome()) {
    case Transaction::Valid:
        setScreen(QStringLiteral("Valid"), ResultMillis);
        return;
    case Transaction::AlreadyValidated:
        setScreen(QStringLiteral("AlreadyValid"), ResultMillis);
        return;
    case Transaction::Invalid:
        setScreen(QStringLiteral("Invalid"), ResultMillis);
        return;
    }
}

void ScreenSelection::showRetry()
{
    setScreen(QStringLiteral("Retry"), ResultMillis);
}

QString ScreenSelection::validatorReason() const
{
    QString reason = m_validator.reasonCode();
    if (m_config.get(key::ShowErrorDesc).toBool())
        reason += QStringLiteral("\n") + m_validator.reason();
    return reason;
}

int ScreenSelection::displayOffRemainingMillis() const
{
    return m_displayOffTimer.isActive() ? m_displayOffTimer.remainingTime() : -1;
}

void ScreenSelection::setDisplayOffMinuteMillis(int millis)
{
    m_displayOffMinuteMillis = millis;
}

void ScreenSelection::setLoginMillis(int millis)
{
    m_loginMillis = millis;
}

void ScreenSelection::onScreenTimeout()
{
    qCInfo(lcGUIManager).noquote().nospace() << "Screen timeout : " << m_screen;
    decideIdleScreen(m_screen == QLatin1String("Login"));
}

void ScreenSelection::onScreenChanged()
{
    const int minutes = m_config.get(key::DisplayOffMin).toInt();
    if (minutes == 0)
        return;
    if (m_screen != QLatin1String("OutOfOrder") && m_screen != QLatin1String("OutOfService")) {
        if (m_displayOffTimer.isActive()) {
            qCInfo(lcGUIManager).noquote().nospace() << "Stopping Display OFF timer.";
            m_displayOffTimer.stop();
        }
        if (!m_board.peripheralPower(Display)) {
            qCInfo(lcGUIManager).noquote().nospace() << "Turning on Display.";
            m_board.setPeripheralPower(Display, true);
        }
        return;
    }
    qCInfo(lcGUIManager).noquote().nospace() << "Staring Display OFF timer : " << minutes << " min(s)";
    m_displayOffTimer.start(minutes * m_displayOffMinuteMillis);
}

void ScreenSelection::onDisplayOffTimeout()
{
    qCWarning(lcGUIManager).noquote().nospace() << "WARN: Turning off Display due to inactivity.";
    m_board.setPeripheralPower(Display, false);
}
