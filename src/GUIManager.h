#pragma once

#include "Diagnostics.h"
#include "EventManager.h"
#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"
#include "Peripheral/Validator.h"
#include "SessionManager.h"
#include "Common/MqttClient.h"

#include <QColor>
#include <QJsonObject>
#include <QMetaObject>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <QVariantMap>

class Config;
class QQmlContext;
class Transaction;

// The central application object: owns the broker connection, every service
// manager, the maintenance session and the event log, publishes the
// application's own topics, follows configuration changes and decides which
// screen is shown.
class GUIManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QString deviceId READ deviceId WRITE setDeviceId NOTIFY deviceIdChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString dynTr READ dynTr NOTIFY languageChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool showCursor READ showCursor WRITE setShowCursor NOTIFY showCursorChanged)
    Q_PROPERTY(bool showErrorDesc READ showErrorDesc WRITE setShowErrorDesc NOTIFY showErrorDescChanged)
    Q_PROPERTY(int displayOffMin READ displayOffMin WRITE setDisplayOffMin NOTIFY displayOffMinChanged)
    Q_PROPERTY(int shutdownDelaySec READ shutdownDelaySec WRITE setShutdownDelaySec
                   NOTIFY shutdownDelaySecChanged)
    Q_PROPERTY(QColor screenSaverBg READ screenSaverBg NOTIFY screenSaverBgChanged)
    Q_PROPERTY(QString screenSaverImg READ screenSaverImg NOTIFY screenSaverImgChanged)
    Q_PROPERTY(Diagnostics* diagnostics READ diagnostics NOTIFY diagnosticsChanged)
    Q_PROPERTY(manager::Update* update READ update NOTIFY updateChanged)
    Q_PROPERTY(manager::Clock* clock READ clock NOTIFY clockChanged)
    Q_PROPERTY(int animSwitchSec READ animSwitchSec WRITE setAnimSwitchSec NOTIFY animSwitchSecChanged)
public:
    // Every configuration key with its typed default.
    static const QVariantMap Defaults;

    explicit GUIManager(Config& config, QObject* parent = nullptr);
    ~GUIManager() override;

    void load();

    QString screen() const;
    void setScreen(const QString& name);
    QString deviceId() const;
    void setDeviceId(const QString& id);
    QString language() const;
    void setLanguage(const QString& name);
    QString dynTr() const;
    QString message() const;
    void setMessage(const QString& text);
    bool showCursor() const;
    void setShowCursor(bool show);
    bool showErrorDesc() const;
    void setShowErrorDesc(bool show);
    int displayOffMin() const;
    void setDisplayOffMin(int minutes);
    int shutdownDelaySec() const;
    void setShutdownDelaySec(int seconds);
    QColor screenSaverBg() const;
    QString screenSaverImg() const;
    Diagnostics* diagnostics();
    manager::Update* update();
    manager::Clock* clock();
    int animSwitchSec() const;
    void setAnimSwitchSec(int value);

    // One letter C or K and eight digits.
    Q_INVOKABLE bool isDeviceIdValid(const QString& id) const;

    QQmlApplicationEngine& engine();
    SessionManager& session();
    EventManager& eventLog();
    // Milliseconds until the display goes off, -1 without a countdown.
    int displayOffRemainingMillis() const;
    // The length of a display-off minute; shortened by tests only.
    void setDisplayOffMinuteMillis(int millis);

signals:
    void screenChanged();
    void deviceIdChanged();
    void languageChanged();
    void settingsAccessGranted();
    void settingsAccessDenied();
    void messageChanged();
    void showCursorChanged();
    void showErrorDescChanged();
    void displayOffMinChanged();
    void shutdownDelaySecChanged();
    void errorOccured(QString error);
    void diagnosticsChanged();
    void updateChanged();
    void clockChanged();
    void barcodeConfigurationApplied(QStringList configList);
    void screenSaverBgChanged();
    void screenSaverImgChanged();
    void animSwitchSecChanged();

public slots:
    void settingsLoginRequest(const QString& pin);
    void settingsLogoutRequest();
    void setIdleScreen();
    void setOutOfOrderScreen(const QString& message);
    void setScreen(const QString& value, int timeout);
    void saveDeviceIdRequest(const QString& deviceId);
    void setMaintenanceScreen();
    void shutdownRequest();
    void rebootRequest();
    void exitRequest();

private:
    void loadDeviceId();
    void saveDeviceId();
    void initLog();
    void initConfig();
    void initQml();
    void registerQmlTypes();
    void initMqtt();
    void initManagers();

    void subscribeToTopics();
    void publishInfo();
    void publishStatus();
    void publishConfig();
    void publishEvent(const Event* event);
    void publishReport(const QString& text);
    void publish(const QString& suffix, const QJsonObject& object, int qos = 0);
    void processMqttMessage(const QByteArray& payload, const QByteArray& topic);

    void onConfigChanged(const QVariantMap& changes);
    void onConfigFileChanged();
    void onMqttConnected();
    void onMqttDisconnected();
    void onMqttError(const QString& text);
    void onSessionActiveChanged();
    void onLoginLockedOut(int failures, int seconds);
    void onMaintenanceBarcodeScanned(const QJsonObject& data);
    QStringList applyValidatorBarcode(const QJsonObject& validator);
    QStringList applyNetworkBarcode(const QJsonObject& network);

    QString validatorReason() const;
    void onScreenTimeout();
    void onValidatorStatusChanged();
    void onValidatorReasonChanged();
    void onTicketValidated(const Transaction& transaction);
    void onCardRetry();
    void onIgnitionChanged();
    void onScreenChanged();
    void onDisplayOffTimeout();
    void updateBoardShutdownDelay();
    void applyCursor();
    void setBusy(int timeout, const QString& message);
    QString baseTopic() const;

    QString m_screen;
    QString m_deviceId;
    QString m_language;
    QString m_message;
    QSet<QString> m_subscribedBases;
    QQmlApplicationEngine m_engine;
    QQmlContext* m_qmlContext;
    QTranslator m_translator;
    Config& m_config;
    manager::MqttClient m_mqtt;
    manager::Validator m_validator;
    manager::Board m_board;
    manager::Inspector m_inspector;
    manager::Network m_network;
    manager::Update m_update;
    manager::Clock m_clock;
    QTimer m_screenTimer;
    QTimer m_displayOffTimer;
    int m_displayOffMinuteMillis = 60000;
    SessionManager m_session;
    EventManager m_eventLog;
    Diagnostics m_diagnostics;
    // Handlers of the client's signals from the last initMqtt(), replaced on every run.
    QList<QMetaObject::Connection> m_mqttHandlers;
};
