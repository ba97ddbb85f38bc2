#include "GUIManager.h"

#include "LogCategories.h"

#include "Common/Config.h"
#include "Common/logger.h"
#include "ConfigKeys.h"
#include "InstallPaths.h"
#include "Model/EventLogin.h"
#include "Model/EventLogout.h"
#include "Model/IPv4.h"
#include "Model/Transaction.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"
#include "QmlTypes.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QLocale>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcGUIManager, "quillon.GUIManager")

namespace {

const QString ValidSound = QStringLiteral(QUILLON_INSTALL_DIR "/Valid.wav");
const QString InvalidSound = QStringLiteral(QUILLON_INSTALL_DIR "/Invalid.wav");
const int PowerMillis = 30000;
const int ExitDelayMillis = 2000;
const int BoardExtraSec = 60;

QString jsonText(const QVariantMap& map)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(map)).toJson());
}

bool anyInGroup(const QStringList& keys, const QString& group)
{
    return std::any_of(keys.cbegin(), keys.cend(),
                       [&group](const QString& key) { return key.startsWith(group + '/'); });
}

} // namespace

// The client is bound before it is built; nothing uses it until then.
GUIManager::GUIManager(Config& config, QObject* parent) : GUIManager(config, m_mqtt, parent)
{
}

GUIManager::GUIManager(Config& config, manager::MessageBus& bus, QObject* parent)
    : QObject(parent)
    , m_qmlContext(m_engine.rootContext())
    , m_config(config)
    , m_bus(bus)
    , m_validator(m_bus, config.get(key::TopicBlm).toString())
    , m_board(m_bus, config.get(key::TopicBoard).toString())
    , m_inspector(m_bus, config.get(key::TopicInspector).toString())
    , m_network(m_bus, config.get(key::TopicNetwork).toString())
    , m_update(m_bus, config.get(key::TopicDevice).toString())
    , m_clock(m_bus, config.get(key::TopicDevice).toString())
    , m_session(config)
    , m_eventLog(config)
    , m_diagnostics(m_deviceId, m_board, m_network, m_validator)
    , m_screens(config, m_deviceId, m_validator, m_board, m_session, this)
    , m_topics(m_mqtt, m_bus, config, m_session)
    , m_barcodes(m_validator, m_network, m_session)
{
    loadDeviceId();
    initLog();
    initConfig();
    initQml();
    initMqtt();
    initManagers();
}

GUIManager::~GUIManager()
{
    // The pages refer to the managers, which go before the engine does.
    m_engine.clearComponentCache();
    const QList<QObject*> roots = m_engine.rootObjects();
    for (QObject* root : roots)
        delete root;
}

void GUIManager::load()
{
    m_engine.load(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    setLanguage(setting(key::Locale).toString());
    pushEvent(QStringLiteral("General"), QStringLiteral("Application started"));
}

void GUIManager::setDeviceId(const QString& id)
{
    if (id == m_deviceId)
        return;
    qCWarning(lcGUIManager).noquote().nospace() << "Device ID changed : " << id;
    m_deviceId = id;
    saveDeviceId();
    emit deviceIdChanged();
}

void GUIManager::setSetting(const QString& key, const QVariant& value)
{
    if (value != setting(key))
        m_config.set(key, value);
}

void GUIManager::setShowCursor(bool show)
{
    setSetting(key::ShowCursor, show);
    applyCursor();
}

void GUIManager::saveDeviceIdRequest(const QString& deviceId)
{
    qCInfo(lcGUIManager).noquote().nospace() << "Save Device Id request : " << deviceId;
    setDeviceId(deviceId);
    setIdleScreen();
}

void GUIManager::shutdownRequest()
{
    m_screens.setBusy(PowerMillis, tr("Shutting down"));
    m_inspector.systemShutdown();
}

void GUIManager::rebootRequest()
{
    m_screens.setBusy(PowerMillis, tr("Rebooting"));
    m_inspector.systemReboot();
}

void GUIManager::exitRequest()
{
    m_screens.setBusy(PowerMillis, tr("Exiting"));
    // Late enough for the "Exiting" screen to be drawn.
    QTimer::singleShot(ExitDelayMillis, this, [] { QCoreApplication::exit(0); });
}

void GUIManager::loadDeviceId()
{
    const QString id = m_deviceIdFile.load(setting(key::DeviceId).toString());
    if (id.isEmpty())
        return;
    m_deviceId = id;
    emit deviceIdChanged();
}

void GUIManager::saveDeviceId()
{
    const QString error = m_deviceIdFile.save(setting(key::DeviceId).toString(), m_deviceId);
    if (!error.isEmpty())
        emit errorOccured(error);
}

void GUIManager::initLog()
{
    manager::Logger* logger = manager::Logger::instance();
    logger->setLevel(setting(key::LogLevel).toInt());
    logger->setStderr(setting(key::LogStderr).toBool());
    logger->setSyslog(setting(key::LogSyslog).toBool());
    logger->setColor(setting(key::LogColor).toBool());
}

void GUIManager::initQml()
{
    QQuickStyle::setStyle(QStringLiteral("Material"));
    qCInfo(lcGUIManager).noquote().nospace() << "QtQuick Style name is : " << QQuickStyle::name();
    m_engine.setUrlInterceptor(&m_flatElevation);

    registerQmlTypes();

    m_qmlContext->setContextProperty(QStringLiteral("manager"), this);
    m_qmlContext->setContextProperty(QStringLiteral("board"), &m_board);
    m_qmlContext->setContextProperty(QStringLiteral("inspector"), &m_inspector);
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), Transaction().toMap());
    m_qmlContext->setContextProperty(QStringLiteral("eventLogManager"), &m_eventLog);
    m_qmlContext->setContextProperty(QStringLiteral("network"), &m_network);
    m_qmlContext->setContextProperty(QStringLiteral("validatorManager"), &m_validator);
    m_qmlContext->setContextProperty(QStringLiteral("sessionManager"), &m_session);

    connect(&m_screens, &ScreenSelection::screenChanged, this, &GUIManager::screenChanged);
    connect(&m_screens, &ScreenSelection::messageChanged, this, &GUIManager::messageChanged);
    m_screens.setBusy(10000, tr("Initializing"));
    setShowCursor(showCursor());
}

void GUIManager::initMqtt()
{
    for (const QMetaObject::Connection& handler : qAsConst(m_mqttHandlers))
        disconnect(handler);
    m_mqttHandlers = {
        connect(&m_bus, &manager::MessageBus::connected, this, &GUIManager::onMqttConnected),
        connect(&m_bus, &manager::MessageBus::disconnected, this, &GUIManager::onMqttDisconnected),
        connect(&m_bus, &manager::MessageBus::error, this, &GUIManager::onMqttError),
        // Replaced as well: a second handler would answer every request twice.
        connect(&m_bus, &manager::MessageBus::received, this,
                [this](const QByteArray& payload, const QByteArray& topic) {
                    m_topics.onMessage(payload, topic);
                }),
    };

    m_topics.prepareConnection();
    m_bus.connect();
    setMessage(QStringLiteral("Connecting"));
}

void GUIManager::initManagers()
{
    connect(&m_validator, &manager::Validator::statusChanged, this, [this] {
        qCInfo(lcGUIManager).noquote().nospace() << "Validator status changed : " << m_validator.status();
        setIdleScreen();
    });
    connect(&m_validator, &manager::Validator::cardDetected, this,
            [this](const QString& uid, const QString& type) {
                qCWarning(lcGUIManager).noquote().nospace() << QStringLiteral("Validator card detected : uid=%1, type=%2").arg(uid, type);
            });
    connect(&m_validator, &manager::Validator::cardRemoved, this,
            [this] { qCWarning(lcGUIManager).noquote().nospace() << "Validator card removed"; });
    connect(&m_validator, &manager::Validator::cardRetry, this, &GUIManager::onCardRetry);
    connect(&m_validator, &manager::Validator::reasonChanged, this,
            &GUIManager::onValidatorReasonChanged);
    connect(&m_validator, &manager::Validator::ticketValidated, this,
            &GUIManager::onTicketValidated);
    connect(&m_validator, &manager::Validator::maintenanceBarcodeScanned, this,
            &GUIManager::onMaintenanceBarcodeScanned);
    connect(&m_board, &manager::Board::ignitionChanged, this, &GUIManager::onIgnitionChanged);
    connect(&m_board, &manager::Board::delayShutdownForChanged, this,
            &GUIManager::updateBoardShutdownDelay);
    connect(&m_session, &SessionManager::accessGranted, this, &GUIManager::settingsAccessGranted);
    connect(&m_session, &SessionManager::accessDenied, this, &GUIManager::settingsAccessDenied);
    connect(&m_session, &SessionManager::expired, this, &GUIManager::setIdleScreen);
    connect(&m_session, &SessionManager::sessionActiveChanged, this,
            &GUIManager::onSessionActiveChanged);
    connect(&m_session, &SessionManager::lockedOut, this, &GUIManager::onLoginLockedOut);
    connect(&m_session, &SessionManager::pinChanged, this,
            [this] { pushEvent(QStringLiteral("Security"), QStringLiteral("PIN changed")); });
    m_screens.startDisplayPower();
    connect(&m_inspector, &manager::Inspector::systemRebootStarted, this,
            [this] { m_screens.setBusy(PowerMillis, tr("Rebooting")); });
    connect(&m_inspector, &manager::Inspector::systemShutdownStarted, this,
            [this] { m_screens.setBusy(PowerMillis, tr("Shutting down")); });
    connect(&m_eventLog, &EventManager::pushed, this,
            [this](const Event* event) { m_topics.publishEvent(event); });
    connect(&m_diagnostics, &Diagnostics::reportSaved, this,
            [this](const QString& text) { m_topics.publishReport(text); });
}

void GUIManager::onMqttConnected()
{
    qCInfo(lcGUIManager).noquote().nospace() << "Connected to MQTT broker";
    setMessage(QStringLiteral("Connected"));
    m_topics.publishInfo();
    m_topics.publishStatus();
    m_topics.publishConfig();
}

void GUIManager::onMqttDisconnected()
{
    qCWarning(lcGUIManager).noquote().nospace() << "WARN: Disconnected from MQTT broker";
    setOutOfOrderScreen(QStringLiteral("Disconnected"));
}

void GUIManager::onMqttError(const QString& text)
{
    qCCritical(lcGUIManager).noquote().nospace() << "ERROR: " << text;
}

void GUIManager::initConfig()
{
    const auto changed = [this](const char* what, const QVariant& value, const char* unit = "") {
        qCInfo(lcGUIManager).noquote().nospace() << what << " changed : " << value.toString() << unit;
    };
    m_configReactions = {
        {key::DeviceId, [this] { qCInfo(lcGUIManager).noquote().nospace() << "Device id changed. Re-loading"; loadDeviceId(); }},
        {key::ShowCursor, [this, changed] {
             changed("Cursor", showCursor() ? "visible" : "hidden");
             applyCursor();
             emit showCursorChanged();
         }},
        {key::DisplayOffMin, [this, changed] {
             changed("Display OFF interval", displayOffMin(), " min(s)");
             emit displayOffMinChanged();
         }},
        {key::ShutdownDelaySec, [this, changed] {
             changed("Shutdown delay", shutdownDelaySec(), " sec(s)");
             updateBoardShutdownDelay();
             emit shutdownDelaySecChanged();
         }},
        {key::Locale, [this] { setLanguage(setting(key::Locale).toString()); }},
        {key::ShowErrorDesc, [this, changed] {
             changed("Show Error description", showErrorDesc() ? "YES" : "NO");
             setMessage(m_screens.validatorReason());
             emit showErrorDescChanged();
         }},
        {key::ScreenSaverBg, [this, changed] {
             changed("Screen-saver background", setting(key::ScreenSaverBg));
             emit screenSaverBgChanged();
         }},
        {key::ScreenSaverImg, [this, changed] {
             changed("Screen-saver image", screenSaverImg());
             emit screenSaverImgChanged();
         }},
        {key::AnimSwitchSec, [this, changed] {
             changed("GIFs animation", animSwitchSec(), " msec(s)");
             emit animSwitchSecChanged();
         }},
    };
    connect(&m_config, &Config::configChanged, this, &GUIManager::onConfigChanged);
    connect(&m_config, &Config::configFileChanged, this, &GUIManager::onConfigFileChanged);
    m_config.print();
}

void GUIManager::onConfigChanged(const QVariantMap& changes)
{
    qCDebug(lcGUIManager).noquote().nospace() << "Config changed : " << jsonText(m_config.printable(changes));
    // Every listed key present is applied, in this order.
    for (const ConfigReaction& reaction : qAsConst(m_configReactions)) {
        if (changes.contains(reaction.key))
            reaction.react();
    }
    const QStringList keys = changes.keys();
    if (anyInGroup(keys, QStringLiteral("log"))) {
        qCInfo(lcGUIManager).noquote().nospace() << "Log configuration changed. Applying.";
        initLog();
    }
    if (anyInGroup(keys, QStringLiteral("mqtt"))) {
        qCInfo(lcGUIManager).noquote().nospace() << "MQTT configuration changed. Applying.";
        // A live connection ignores new settings; dropping it makes the
        // client's reconnection use them.
        m_mqtt.disconnect();
        initMqtt();
    }
    m_topics.publishConfig();
}

void GUIManager::onConfigFileChanged()
{
    qCWarning(lcGUIManager).noquote().nospace() << "WARN: Configuration file changed!";
    m_config.print();
}

void GUIManager::setLanguage(const QString& name)
{
    if (name == m_language)
        return;
    qCInfo(lcGUIManager).noquote().nospace() << "Language changed : " << name;
    if (!m_translation.apply(QLocale(name)))
        return;
    m_language = name;
    m_config.set(key::Locale, name);
    emit languageChanged();
}

void GUIManager::applyCursor()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (!showCursor())
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

void GUIManager::pushEvent(const QString& category, const QString& name, const QString& description)
{
    m_eventLog.push(new Event(category, name, description, QDateTime::currentDateTime()));
}

void GUIManager::onSessionActiveChanged()
{
    const bool active = m_session.sessionActive();
    if (!active)
        setIdleScreen();
    m_eventLog.push(active ? static_cast<Event*>(new EventLogin(m_session.user())) : new EventLogout());
    m_topics.publishStatus();
}

void GUIManager::onLoginLockedOut(int failures, int seconds)
{
    pushEvent(QStringLiteral("Security"), QStringLiteral("Login locked"),
              QStringLiteral("%1 wrong PINs, locked for %2 s").arg(failures).arg(seconds));
}

void GUIManager::onMaintenanceBarcodeScanned(const QJsonObject& data)
{
    const QStringList applied = m_barcodes.apply(data);
    if (applied.isEmpty())
        return;
    m_inspector.audioPlay(ValidSound);
    m_board.setLedValid();
    emit barcodeConfigurationApplied(applied);
}

void GUIManager::onValidatorReasonChanged()
{
    qCWarning(lcGUIManager).noquote().nospace() << "Validator reason changed : " << m_validator.reasonCode() << " "
                    << m_validator.reason();
    if (m_validator.status() == QLatin1String("init"))
        return;
    setMessage(m_screens.validatorReason());
}

void GUIManager::onTicketValidated(const Transaction& transaction)
{
    const QVariantMap map = transaction.toMap();
    qCWarning(lcGUIManager).noquote().nospace() << "Validator ticket validated : " << int(transaction.type());
    qCWarning(lcGUIManager).noquote().nospace() << "Valid : " << (transaction.valid() ? "true" : "false");
    qCWarning(lcGUIManager).noquote().nospace() << "Contents : " << jsonText(map);
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), map);
    if (m_session.sessionActive())
        return;
    m_inspector.audioPlay(transaction.valid() ? ValidSound : InvalidSound);
    m_screens.showResult(transaction);
}

void GUIManager::onCardRetry()
{
    qCWarning(lcGUIManager).noquote().nospace() << "Validator card retry";
    if (m_session.sessionActive())
        return;
    m_inspector.audioPlay(InvalidSound);
    m_screens.showRetry();
}

void GUIManager::onIgnitionChanged()
{
    const bool on = m_board.ignition();
    pushEvent(QStringLiteral("Board"), on ? QStringLiteral("Ignition on") : QStringLiteral("Ignition off"));
    if (on) {
        m_inspector.abortShutdown();
        setIdleScreen();
        return;
    }
    m_session.logoutRequest();
    m_inspector.scheduleShutdown(shutdownDelaySec());
    setScreen(QStringLiteral("ScreenSaver"));
}

void GUIManager::updateBoardShutdownDelay()
{
    const int target = shutdownDelaySec() + BoardExtraSec;
    const int current = m_board.delayShutdownFor();
    if (current == target)
        return;
    qCWarning(lcGUIManager).noquote().nospace() << "WARN: Updating board shutdown delay to : " << target << " sec(s) (prev="
                    << current << ")";
    m_board.setDelayShutdownFor(target);
}
