#pragma once

#include "Common/Config.h"
#include "ConfigKeys.h"
#include "ConfigurationBarcodes.h"
#include "DeviceIdFile.h"
#include "FlatElevation.h"
#include "Diagnostics.h"
#include "EventManager.h"
#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"
#include "Peripheral/Validator.h"
#include "OwnTopics.h"
#include "ScreenSelection.h"
#include "SessionManager.h"
#include "Translation.h"
#include "Common/MqttClient.h"

#include <QColor>
#include <QJsonObject>
#include <QMetaObject>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class QQmlContext;
class Transaction;

// The central application object: owns the broker connection, every service
// manager, the maintenance session and the event log, and presents them to
// the pages. It follows configuration changes itself and hands its other jobs
// to the parts it owns: screen selection, its own topics, configuration
// barcodes, the serial-number file and the translation.
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
    // Owned for the manager's whole life: the objects never change.
    Q_PROPERTY(Diagnostics* diagnostics READ diagnostics CONSTANT)
    Q_PROPERTY(manager::Update* update READ update CONSTANT)
    Q_PROPERTY(manager::Clock* clock READ clock CONSTANT)
    Q_PROPERTY(int animSwitchSec READ animSwitchSec WRITE setAnimSwitchSec NOTIFY animSwitchSecChanged)
public:
    // Every configuration key with its typed default.
    static const QVariantMap Defaults;
    // What each key may hold, and which keys are secrets.
    static const ConfigRules Rules;

    explicit GUIManager(Config& config, QObject* parent = nullptr);
    // The same on another bus than its own broker client: what tests use to
    // run it without a broker.
    GUIManager(Config& config, manager::MessageBus& bus, QObject* parent = nullptr);
    ~GUIManager() override;

    void load();

    QString screen() const { return m_screens.screen(); }
    void setScreen(const QString& name) { m_screens.setScreen(name); }
    QString deviceId() const { return m_deviceId; }
    void setDeviceId(const QString& id);
    QString language() const { return m_language; }
    void setLanguage(const QString& name);
    QString dynTr() const { return QString(); }
    QString message() const { return m_screens.message(); }
    void setMessage(const QString& text) { m_screens.setMessage(text); }
    bool showCursor() const { return setting(key::ShowCursor).toBool(); }
    void setShowCursor(bool show);
    bool showErrorDesc() const { return setting(key::ShowErrorDesc).toBool(); }
    void setShowErrorDesc(bool show) { setSetting(key::ShowErrorDesc, show); }
    int displayOffMin() const { return setting(key::DisplayOffMin).toInt(); }
    void setDisplayOffMin(int minutes) { setSetting(key::DisplayOffMin, minutes); }
    int shutdownDelaySec() const { return setting(key::ShutdownDelaySec).toInt(); }
    void setShutdownDelaySec(int seconds) { setSetting(key::ShutdownDelaySec, seconds); }
    QColor screenSaverBg() const { return QColor(setting(key::ScreenSaverBg).toString()); }
    QString screenSaverImg() const { return setting(key::ScreenSaverImg).toString(); }
    Diagnostics* diagnostics() { return &m_diagnostics; }
    manager::Update* update() { return &m_update; }
    manager::Clock* clock() { return &m_clock; }
    int animSwitchSec() const { return setting(key::AnimSwitchSec).toInt(); }
    void setAnimSwitchSec(int value) { setSetting(key::AnimSwitchSec, value); }

    // The serial-number check the entry page applies as it is typed.
    Q_INVOKABLE bool isDeviceIdValid(const QString& id) const { return DeviceIdFile::isValid(id); }

    QQmlApplicationEngine& engine() { return m_engine; }

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
    void settingsLoginRequest(const QString& pin) { m_session.loginRequest(pin); }
    void settingsLogoutRequest() { m_session.logoutRequest(); }
    void setIdleScreen() { m_screens.setIdleScreen(); }
    void setOutOfOrderScreen(const QString& message) { m_screens.setOutOfOrderScreen(message); }
    void setScreen(const QString& value, int timeout) { m_screens.setScreen(value, timeout); }
    void saveDeviceIdRequest(const QString& deviceId);
    void setMaintenanceScreen() { m_screens.setMaintenanceScreen(); }
    void shutdownRequest();
    void rebootRequest();
    void exitRequest();

private:
    // One reaction of the manager to a changed configuration key.
    struct ConfigReaction
    {
        QString key;
        std::function<void()> react;
    };

    void loadDeviceId();
    void saveDeviceId();
    void initLog();
    void initConfig();
    void initQml();
    void initMqtt();
    void initManagers();

    QVariant setting(const QString& key) const { return m_config.get(key); }
    // Stores a value the pages set, when it differs; the change handler reports it.
    void setSetting(const QString& key, const QVariant& value);
    void onConfigChanged(const QVariantMap& changes);
    void onConfigFileChanged();
    void onMqttConnected();
    void onMqttDisconnected();
    void onMqttError(const QString& text);
    void onSessionActiveChanged();
    void onLoginLockedOut(int failures, int seconds);
    void onMaintenanceBarcodeScanned(const QJsonObject& data);
    void onValidatorReasonChanged();
    void onTicketValidated(const Transaction& transaction);
    void onCardRetry();
    void onIgnitionChanged();
    void updateBoardShutdownDelay();
    void applyCursor();
    void pushEvent(const QString& category, const QString& name, const QString& description = {});

    DeviceIdFile m_deviceIdFile;
    QString m_deviceId;
    QString m_language;
    // Before the engine, which uses it until it is gone.
    FlatElevation m_flatElevation;
    QQmlApplicationEngine m_engine;
    QQmlContext* m_qmlContext;
    Translation m_translation;
    Config& m_config;
    manager::MqttClient m_mqtt;
    // The client above, unless another bus was given.
    manager::MessageBus& m_bus;
    manager::Validator m_validator;
    manager::Board m_board;
    manager::Inspector m_inspector;
    manager::Network m_network;
    manager::Update m_update;
    manager::Clock m_clock;
    SessionManager m_session;
    EventManager m_eventLog;
    Diagnostics m_diagnostics;
    ScreenSelection m_screens;
    OwnTopics m_topics;
    ConfigurationBarcodes m_barcodes;
    QList<ConfigReaction> m_configReactions;
    // Handlers of the client's signals from the last initMqtt(), replaced on every run.
    QList<QMetaObject::Connection> m_mqttHandlers;
};
