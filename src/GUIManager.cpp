#include "GUIManager.h"

#include "Common/Config.h"
#include "Common/logger.h"
#include "Model/EventLogin.h"
#include "Model/EventLogout.h"
#include "Model/IPv4.h"
#include "Model/Transaction.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QLocale>
#include <QQmlContext>
#include <QQuickStyle>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>
#include <QQmlEngine>

namespace {

const char* const Tag = "[GUIManager] ";
const QString ValidSound = QStringLiteral("/opt/kivo/quillon/Valid.wav");
const QString InvalidSound = QStringLiteral("/opt/kivo/quillon/Invalid.wav");
const QString TranslationFile = QStringLiteral(":/qml/translations/Quillon_el_GR.qm");
const int ResultMillis = 3000;
const int LoginMillis = 15000;
const int PowerMillis = 30000;
const int ExitDelayMillis = 2000;
const int BoardExtraSec = 60;

QDebug info()
{
    return qInfo().noquote().nospace() << Tag;
}

QDebug debug()
{
    return qDebug().noquote().nospace() << Tag;
}

QDebug warning()
{
    return qWarning().noquote().nospace() << Tag;
}

QDebug critical()
{
    return qCritical().noquote().nospace() << Tag;
}

QString jsonText(const QVariantMap& map)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(map)).toJson());
}

// The centre collects from devices in any time zone.
QString offsetTime(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

const QVariantMap GUIManager::Defaults = {
    { QStringLiteral("log/level"), 2 },
    { QStringLiteral("log/syslog"), true },
    { QStringLiteral("log/stderr"), true },
    { QStringLiteral("log/color"), false },
    { QStringLiteral("mqtt/host"), QStringLiteral("localhost") },
    { QStringLiteral("mqtt/port"), 1883 },
    { QStringLiteral("mqtt/username"), QStringLiteral("") },
    { QStringLiteral("mqtt/password"), QStringLiteral("") },
    { QStringLiteral("mqtt/base"), QStringLiteral("kivo/ui") },
    { QStringLiteral("gui/settingsPin"), QStringLiteral("7315") },
    { QStringLiteral("gui/showCursor"), true },
    { QStringLiteral("gui/deviceId"), QStringLiteral("/etc/serialnumber") },
    { QStringLiteral("gui/locale"), QStringLiteral("el_GR") },
    { QStringLiteral("gui/displayOffMin"), 3 },
    { QStringLiteral("gui/shutdownDelaySec"), 60 },
    { QStringLiteral("gui/showErrorDesc"), false },
    { QStringLiteral("gui/screenSaverBg"), QStringLiteral("black") },
    { QStringLiteral("gui/screenSaverImg"), QStringLiteral("qrc:/qml/images/Icons/kivo.png") },
    { QStringLiteral("gui/animSwitchSec"), 0 },
    { QStringLiteral("topics/barcode"), QStringLiteral("kivo/barcode") },
    { QStringLiteral("topics/blm"), QStringLiteral("kivo/blm") },
    { QStringLiteral("topics/board"), QStringLiteral("kivo/board") },
    { QStringLiteral("topics/inspector"), QStringLiteral("kivo/inspector") },
    { QStringLiteral("topics/network"), QStringLiteral("kivo/network") },
    { QStringLiteral("topics/device"), QStringLiteral("kivo/device") },
};

GUIManager::GUIManager(Config& config, QObject* parent)
    : QObject(parent)
    , m_qmlContext(m_engine.rootContext())
    , m_config(config)
    , m_validator(m_mqtt, config.get(QStringLiteral("topics/blm")).toString())
    , m_board(m_mqtt, config.get(QStringLiteral("topics/board")).toString())
    , m_inspector(m_mqtt, config.get(QStringLiteral("topics/inspector")).toString())
    , m_network(m_mqtt, config.get(QStringLiteral("topics/network")).toString())
    , m_update(m_mqtt, config.get(QStringLiteral("topics/device")).toString())
    , m_clock(m_mqtt, config.get(QStringLiteral("topics/device")).toString())
    , m_session(config)
    , m_eventLog(config)
    , m_diagnostics(m_deviceId, m_board, m_network, m_validator)
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
    setLanguage(m_config.get(QStringLiteral("gui/locale")).toString());
    m_eventLog.push(new Event(QStringLiteral("General"), QStringLiteral("Application started"),
                              QString(), QDateTime::currentDateTime()));
}

// ---- properties

QString GUIManager::screen() const
{
    return m_screen;
}

void GUIManager::setScreen(const QString& name)
{
    if (name == m_screen)
        return;
    info() << "Setting screen : " << name;
    m_screen = name;
    m_screenTimer.stop();
    emit screenChanged();
}

void GUIManager::setScreen(const QString& value, int timeout)
{
    info() << "Setting screen : " << value << " (timeout=" << timeout << " msec)";
    m_screenTimer.setSingleShot(true);
    m_screenTimer.start(timeout);
    m_screen = value;
    emit screenChanged();
}

QString GUIManager::deviceId() const
{
    return m_deviceId;
}

void GUIManager::setDeviceId(const QString& id)
{
    if (id == m_deviceId)
        return;
    warning() << "Device ID changed : " << id;
    m_deviceId = id;
    saveDeviceId();
    emit deviceIdChanged();
}

QString GUIManager::language() const
{
    return m_language;
}

QString GUIManager::dynTr() const
{
    return QString();
}

QString GUIManager::message() const
{
    return m_message;
}

void GUIManager::setMessage(const QString& text)
{
    if (text == m_message)
        return;
    m_message = text;
    emit messageChanged();
}

bool GUIManager::showCursor() const
{
    return m_config.get(QStringLiteral("gui/showCursor")).toBool();
}

void GUIManager::setShowCursor(bool show)
{
    if (show != showCursor())
        m_config.set(QStringLiteral("gui/showCursor"), show);
    applyCursor();
}

bool GUIManager::showErrorDesc() const
{
    return m_config.get(QStringLiteral("gui/showErrorDesc")).toBool();
}

void GUIManager::setShowErrorDesc(bool show)
{
    if (show != showErrorDesc())
        m_config.set(QStringLiteral("gui/showErrorDesc"), show);
}

int GUIManager::displayOffMin() const
{
    return m_config.get(QStringLiteral("gui/displayOffMin")).toInt();
}

void GUIManager::setDisplayOffMin(int minutes)
{
    if (minutes != displayOffMin())
        m_config.set(QStringLiteral("gui/displayOffMin"), minutes);
}

int GUIManager::shutdownDelaySec() const
{
    return m_config.get(QStringLiteral("gui/shutdownDelaySec")).toInt();
}

void GUIManager::setShutdownDelaySec(int seconds)
{
    if (seconds != shutdownDelaySec())
        m_config.set(QStringLiteral("gui/shutdownDelaySec"), seconds);
}

QColor GUIManager::screenSaverBg() const
{
    return QColor(m_config.get(QStringLiteral("gui/screenSaverBg")).toString());
}

QString GUIManager::screenSaverImg() const
{
    return m_config.get(QStringLiteral("gui/screenSaverImg")).toString();
}

Diagnostics* GUIManager::diagnostics()
{
    return &m_diagnostics;
}

manager::Update* GUIManager::update()
{
    return &m_update;
}

manager::Clock* GUIManager::clock()
{
    return &m_clock;
}

int GUIManager::animSwitchSec() const
{
    return m_config.get(QStringLiteral("gui/animSwitchSec")).toInt();
}

void GUIManager::setAnimSwitchSec(int value)
{
    if (value != animSwitchSec())
        m_config.set(QStringLiteral("gui/animSwitchSec"), value);
}

QQmlApplicationEngine& GUIManager::engine()
{
    return m_engine;
}

SessionManager& GUIManager::session()
{
    return m_session;
}

EventManager& GUIManager::eventLog()
{
    return m_eventLog;
}

int GUIManager::displayOffRemainingMillis() const
{
    return m_displayOffTimer.isActive() ? m_displayOffTimer.remainingTime() : -1;
}

void GUIManager::setDisplayOffMinuteMillis(int millis)
{
    m_displayOffMinuteMillis = millis;
}

// ---- slots for the pages

void GUIManager::settingsLoginRequest(const QString& pin)
{
    m_session.loginRequest(pin);
}

void GUIManager::settingsLogoutRequest()
{
    m_session.logoutRequest();
}

bool GUIManager::isDeviceIdValid(const QString& id) const
{
    static const QRegularExpression pattern(QStringLiteral("^[CK][0-9]{8}$"));
    return pattern.match(id).hasMatch();
}

void GUIManager::saveDeviceIdRequest(const QString& deviceId)
{
    info() << "Save Device Id request : " << deviceId;
    setDeviceId(deviceId);
    setIdleScreen();
}

void GUIManager::shutdownRequest()
{
    setBusy(PowerMillis, tr("Shutting down"));
    m_inspector.systemShutdown();
}

void GUIManager::rebootRequest()
{
    setBusy(PowerMillis, tr("Rebooting"));
    m_inspector.systemReboot();
}

void GUIManager::exitRequest()
{
    setBusy(PowerMillis, tr("Exiting"));
    // Late enough for the "Exiting" screen to be drawn.
    QTimer::singleShot(ExitDelayMillis, this, [] { QCoreApplication::exit(0); });
}

void GUIManager::setBusy(int timeout, const QString& message)
{
    setScreen(QStringLiteral("Busy"), timeout);
    setMessage(message);
}

// ---- start-up

void GUIManager::loadDeviceId()
{
    const QString path = m_config.get(QStringLiteral("gui/deviceId")).toString();
    info() << "Loading device id from : " << path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        critical() << "ERROR: Could not load device S/N from file : " << path << " ("
                   << file.errorString() << ")";
        return;
    }
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        line.remove(QRegularExpression(QStringLiteral("[\r\n]+$")));
        if (line.isEmpty())
            continue;
        m_deviceId = line.trimmed();
        emit deviceIdChanged();
        return;
    }
}

void GUIManager::saveDeviceId()
{
    const QString path = m_config.get(QStringLiteral("gui/deviceId")).toString();
    info() << "Saving device id to : " << path;
    // Written beside the target and renamed, so a failure never leaves a
    // truncated serial number behind; where the folder is read-only but the
    // file is not, written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(m_deviceId.toUtf8()) >= 0 && file.commit())
        return;
    const QString error = file.errorString();
    critical() << "ERROR: Could not save device S/N to file : " << path << " (" << error << ")";
    emit errorOccured(error);
}

void GUIManager::initLog()
{
    manager::Logger* logger = manager::Logger::instance();
    logger->setLevel(m_config.get(QStringLiteral("log/level")).toInt());
    logger->setStderr(m_config.get(QStringLiteral("log/stderr")).toBool());
    logger->setSyslog(m_config.get(QStringLiteral("log/syslog")).toBool());
    logger->setColor(m_config.get(QStringLiteral("log/color")).toBool());
}

void GUIManager::initConfig()
{
    connect(&m_config, &Config::configChanged, this, &GUIManager::onConfigChanged);
    connect(&m_config, &Config::configFileChanged, this, &GUIManager::onConfigFileChanged);
    m_config.print();
}

void GUIManager::initQml()
{
    QQuickStyle::setStyle(QStringLiteral("Material"));
    info() << "QtQuick Style name is : " << QQuickStyle::name();

    registerQmlTypes();

    m_qmlContext->setContextProperty(QStringLiteral("manager"), this);
    m_qmlContext->setContextProperty(QStringLiteral("board"), &m_board);
    m_qmlContext->setContextProperty(QStringLiteral("inspector"), &m_inspector);
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), Transaction().toMap());
    m_qmlContext->setContextProperty(QStringLiteral("eventLogManager"), &m_eventLog);
    m_qmlContext->setContextProperty(QStringLiteral("network"), &m_network);
    m_qmlContext->setContextProperty(QStringLiteral("validatorManager"), &m_validator);
    m_qmlContext->setContextProperty(QStringLiteral("sessionManager"), &m_session);

    connect(&m_screenTimer, &QTimer::timeout, this, &GUIManager::onScreenTimeout);
    setBusy(10000, tr("Initializing"));
    setShowCursor(showCursor());
}

// Every object type QML reaches through a property must be known to the meta-type system,
// or QML reads the property as undefined.
void GUIManager::registerQmlTypes()
{
    qmlRegisterType<Transaction>("com.kivo.ticketing.transaction", 1, 0, "Transaction");
    qmlRegisterType<manager::Connection>("com.kivo.network.connection", 1, 0, "Connection");
    qmlRegisterType<IPv4>("com.kivo.network.ipv4", 1, 0, "IPv4");
    qRegisterMetaType<Diagnostics*>();
    qRegisterMetaType<EventManager*>();
    qRegisterMetaType<manager::Board*>();
    qRegisterMetaType<manager::Clock*>();
    qRegisterMetaType<manager::Connection*>();
    qRegisterMetaType<manager::Ethernet*>();
    qRegisterMetaType<manager::Inspector*>();
    qRegisterMetaType<manager::Network*>();
    qRegisterMetaType<manager::Update*>();
    qRegisterMetaType<manager::Validator*>();
    qRegisterMetaType<SessionManager*>();
    qRegisterMetaType<IPv4*>();
    qRegisterMetaType<SAM*>();
    qRegisterMetaType<ValidatorBarcode*>();
    qRegisterMetaType<ValidatorConfig*>();
    qRegisterMetaType<ValidatorRfid*>();
}

void GUIManager::initMqtt()
{
    for (const QMetaObject::Connection& handler : qAsConst(m_mqttHandlers))
        disconnect(handler);
    m_mqttHandlers = {
        connect(&m_mqtt, &manager::MqttClient::connected, this, &GUIManager::onMqttConnected),
        connect(&m_mqtt, &manager::MqttClient::disconnected, this, &GUIManager::onMqttDisconnected),
        connect(&m_mqtt, &manager::MqttClient::error, this, &GUIManager::onMqttError),
        // Replaced as well: a second handler would answer every request twice.
        connect(&m_mqtt, &manager::MqttClient::received, this, &GUIManager::processMqttMessage),
    };

    m_mqtt.setClientId(QStringLiteral("%1_%2").arg(QCoreApplication::applicationName())
                           .arg(QCoreApplication::applicationPid()));
    m_mqtt.setWillMessage(QByteArrayLiteral("{\"service\": false}"));
    m_mqtt.setWillTopic(baseTopic() + QStringLiteral("/status"));
    m_mqtt.setHostname(m_config.get(QStringLiteral("mqtt/host")).toString());
    m_mqtt.setPort(m_config.get(QStringLiteral("mqtt/port")).toUInt());
    m_mqtt.setUsername(m_config.get(QStringLiteral("mqtt/username")).toString());
    m_mqtt.setPassword(m_config.get(QStringLiteral("mqtt/password")).toString());
    subscribeToTopics();
    m_mqtt.connect();
    setMessage(QStringLiteral("Connecting"));
}

void GUIManager::initManagers()
{
    connect(&m_validator, &manager::Validator::statusChanged, this,
            &GUIManager::onValidatorStatusChanged);
    connect(&m_validator, &manager::Validator::cardDetected, this,
            [](const QString& uid, const QString& type) {
                warning() << QStringLiteral("Validator card detected : uid=%1, type=%2").arg(uid, type);
            });
    connect(&m_validator, &manager::Validator::cardRemoved, this,
            [] { warning() << "Validator card removed"; });
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
    connect(&m_displayOffTimer, &QTimer::timeout, this, &GUIManager::onDisplayOffTimeout);
    connect(this, &GUIManager::screenChanged, this, &GUIManager::onScreenChanged);
    connect(&m_inspector, &manager::Inspector::systemRebootStarted, this,
            [this] { setBusy(PowerMillis, tr("Rebooting")); });
    connect(&m_inspector, &manager::Inspector::systemShutdownStarted, this,
            [this] { setBusy(PowerMillis, tr("Shutting down")); });
    connect(&m_eventLog, &EventManager::pushed, this, &GUIManager::publishEvent);
    connect(&m_diagnostics, &Diagnostics::reportSaved, this, &GUIManager::publishReport);
}

// ---- own topics

QString GUIManager::baseTopic() const
{
    return m_config.get(QStringLiteral("mqtt/base")).toString();
}

void GUIManager::onMqttConnected()
{
    info() << "Connected to MQTT broker";
    setMessage(QStringLiteral("Connected"));
    publishInfo();
    publishStatus();
    publishConfig();
}

void GUIManager::onMqttDisconnected()
{
    warning() << "WARN: Disconnected from MQTT broker";
    setOutOfOrderScreen(QStringLiteral("Disconnected"));
}

void GUIManager::onMqttError(const QString& text)
{
    critical() << "ERROR: " << text;
}

void GUIManager::subscribeToTopics()
{
    // Asked once per base topic: the client renews its subscriptions after
    // every connection, and asking on each connection would grow its list
    // without end.
    const QString base = baseTopic();
    if (m_subscribedBases.contains(base))
        return;
    m_subscribedBases.insert(base);
    for (const char* suffix : {"/info/get", "/status/get", "/config/get", "/config/set"})
        m_mqtt.subscribe(base + QLatin1String(suffix), 0);
}

void GUIManager::publish(const QString& suffix, const QJsonObject& object, int qos)
{
    m_mqtt.publish(QJsonDocument(object).toJson(QJsonDocument::Indented), baseTopic() + suffix, qos,
                   false);
}

void GUIManager::publishInfo()
{
    publish(QStringLiteral("/info"),
            QJsonObject{{QStringLiteral("version"), QCoreApplication::applicationVersion()}});
}

void GUIManager::publishStatus()
{
    publish(QStringLiteral("/status"),
            QJsonObject{{QStringLiteral("technician"), m_session.sessionActive()},
                        {QStringLiteral("service"), true}});
}

void GUIManager::publishConfig()
{
    publish(QStringLiteral("/config"), m_config.toJson());
}

// Records and reports are what a fleet's centre keeps: QoS 1, so that a
// broker bridge holds them while its link is down.
void GUIManager::publishEvent(const Event* event)
{
    publish(QStringLiteral("/event"),
            QJsonObject{{QStringLiteral("category"), event->category()},
                        {QStringLiteral("name"), event->name()},
                        {QStringLiteral("description"), event->description()},
                        {QStringLiteral("timestamp"), offsetTime(event->timestamp())}},
            1);
}

void GUIManager::publishReport(const QString& text)
{
    publish(QStringLiteral("/report"), QJsonObject{{QStringLiteral("text"), text}}, 1);
}

void GUIManager::processMqttMessage(const QByteArray& payload, const QByteArray& topic)
{
    if (!topic.contains(baseTopic().toUtf8()))
        return;
    info() << "Message received : " << QString::fromUtf8(topic);
    debug() << "Data : " << QString::fromUtf8(payload);
    const QJsonObject object = QJsonDocument::fromJson(payload).object();
    if (topic.contains("/info/get"))
        publishInfo();
    else if (topic.contains("/status/get"))
        publishStatus();
    else if (topic.contains("/config/get"))
        publishConfig();
    else if (topic.contains("/config/set"))
        m_config.fromJson(object);
}

// ---- configuration

void GUIManager::onConfigChanged(const QVariantMap& changes)
{
    debug() << "Config changed : " << jsonText(changes);
    // Every listed key present is applied, in this order.
    if (changes.contains(QStringLiteral("gui/deviceId"))) {
        info() << "Device id changed. Re-loading";
        loadDeviceId();
    }
    if (changes.contains(QStringLiteral("gui/showCursor"))) {
        info() << "Cursor changed : " << (showCursor() ? "visible" : "hidden");
        applyCursor();
        emit showCursorChanged();
    }
    if (changes.contains(QStringLiteral("gui/displayOffMin"))) {
        info() << "Display OFF interval changed : " << displayOffMin() << " min(s)";
        emit displayOffMinChanged();
    }
    if (changes.contains(QStringLiteral("gui/shutdownDelaySec"))) {
        info() << "Shutdown delay changed : " << shutdownDelaySec() << " sec(s)";
        updateBoardShutdownDelay();
        emit shutdownDelaySecChanged();
    }
    if (changes.contains(QStringLiteral("gui/locale")))
        setLanguage(m_config.get(QStringLiteral("gui/locale")).toString());
    if (changes.contains(QStringLiteral("gui/showErrorDesc"))) {
        info() << "Show Error description changed : " << (showErrorDesc() ? "YES" : "NO");
        setMessage(validatorReason());
        emit showErrorDescChanged();
    }
    if (changes.contains(QStringLiteral("gui/screenSaverBg"))) {
        info() << "Screen-saver background changed : " << m_config.get(QStringLiteral("gui/screenSaverBg")).toString();
        emit screenSaverBgChanged();
    }
    if (changes.contains(QStringLiteral("gui/screenSaverImg"))) {
        info() << "Screen-saver image changed : " << screenSaverImg();
        emit screenSaverImgChanged();
    }
    if (changes.contains(QStringLiteral("gui/animSwitchSec"))) {
        info() << "GIFs animation changed : " << animSwitchSec() << " msec(s)";
        emit animSwitchSecChanged();
    }
    const QStringList keys = changes.keys();
    if (!keys.filter(QRegularExpression(QStringLiteral("^log\\/.+"))).isEmpty()) {
        info() << "Log configuration changed. Applying.";
        initLog();
    }
    if (!keys.filter(QRegularExpression(QStringLiteral("^mqtt\\/.+"))).isEmpty()) {
        info() << "MQTT configuration changed. Applying.";
        // A live connection ignores new settings; dropping it makes the
        // client's reconnection use them.
        m_mqtt.disconnect();
        initMqtt();
    }
    publishConfig();
}

void GUIManager::onConfigFileChanged()
{
    warning() << "WARN: Configuration file changed!";
    m_config.print();
}

void GUIManager::setLanguage(const QString& name)
{
    if (name == m_language)
        return;
    info() << "Language changed : " << name;
    if (m_translator.isEmpty()) {
        info() << "Loading translation file : " << TranslationFile;
        if (!m_translator.load(TranslationFile)) {
            critical() << "ERROR: Failed to load translation file";
            return;
        }
    }
    const QLocale locale(name);
    if (locale.language() != QLocale::English) {
        if (!QCoreApplication::installTranslator(&m_translator)) {
            critical() << "ERROR: Failed to install translator";
            return;
        }
    } else {
        QCoreApplication::removeTranslator(&m_translator);
    }
    QLocale::setDefault(locale);
    m_language = name;
    m_config.set(QStringLiteral("gui/locale"), name);
    emit languageChanged();
}

void GUIManager::applyCursor()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (!showCursor())
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

// ---- session and configuration barcodes

void GUIManager::onSessionActiveChanged()
{
    if (m_session.sessionActive()) {
        m_eventLog.push(new EventLogin(m_session.user()));
        publishStatus();
        return;
    }
    setIdleScreen();
    m_eventLog.push(new EventLogout());
    publishStatus();
}

void GUIManager::onLoginLockedOut(int failures, int seconds)
{
    m_eventLog.push(new Event(QStringLiteral("Security"), QStringLiteral("Login locked"),
                              QStringLiteral("%1 wrong PINs, locked for %2 s").arg(failures).arg(seconds),
                              QDateTime::currentDateTime()));
}

void GUIManager::onMaintenanceBarcodeScanned(const QJsonObject& data)
{
    info() << "Maintenance Barcode scanned";
    if (!m_session.sessionActive()) {
        warning() << "WARN: Maintenance session is not active. Ignoring.";
        return;
    }
    QStringList applied;
    if (data.value(QStringLiteral("validator")).isObject())
        applied += applyValidatorBarcode(data.value(QStringLiteral("validator")).toObject());
    if (data.value(QStringLiteral("network")).isObject())
        applied += applyNetworkBarcode(data.value(QStringLiteral("network")).toObject());
    if (applied.isEmpty())
        return;
    m_inspector.audioPlay(ValidSound);
    m_board.setLedValid();
    emit barcodeConfigurationApplied(applied);
}

QStringList GUIManager::applyValidatorBarcode(const QJsonObject& validator)
{
    const QString text = validator.value(QStringLiteral("obc")).toString();
    const QUrl url(text);
    if (!url.isValid()) {
        warning() << "WARN: OBC URL is not valid : " << text;
        return {};
    }
    info() << "Applying Validator configuration";
    m_validator.config()->setObuUrl(url);
    m_validator.saveConfig();
    return {QStringLiteral("OBC : %1").arg(url.toString())};
}

QStringList GUIManager::applyNetworkBarcode(const QJsonObject& network)
{
    if (!network.value(QStringLiteral("eth0")).isObject())
        return {};
    const QJsonObject eth0 = network.value(QStringLiteral("eth0")).toObject();
    const auto text = [&eth0](const char* key) { return eth0.value(QLatin1String(key)).toString(); };
    manager::Ethernet* ethernet = m_network.ethernet();
    if (ethernet->interface() != QLatin1String("eth0")) {
        warning() << "WARN: Active ethernet interface is not 'eth0' : " << ethernet->interface();
        return {};
    }
    const QStringList applied = {
        QStringLiteral("Method : %1").arg(text("method")),
        QStringLiteral("Address : %1").arg(text("address")),
        QStringLiteral("Netmask : %1").arg(text("netmask")),
        QStringLiteral("Gateway : %1").arg(text("gateway")),
        QStringLiteral("DNS #0 : %1").arg(text("dns0")),
        QStringLiteral("DNS #1 : %1").arg(text("dns1")),
    };
    const bool manual = text("method") == QLatin1String("manual");
    IPv4* config = ethernet->config();
    ethernet->setMethod(manual ? QStringLiteral("manual") : QStringLiteral("auto"));
    config->setAddress(manual ? text("address") : QString());
    config->setMask(manual ? text("netmask") : QString());
    config->setGateway(manual ? text("gateway") : QString());
    config->setDns0(manual ? text("dns0") : QString());
    config->setDns1(manual ? text("dns1") : QString());
    info() << "Applying Ethernet configuration to eth0";
    ethernet->save();
    return applied;
}

// ---- screen logic

void GUIManager::setIdleScreen()
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
        setMessage(tr("Please Wait"));
    } else if (status == QLatin1String("out-of-service")) {
        setScreen(QStringLiteral("OutOfService"));
        m_validator.disableRfid();
        m_validator.disableBarcode();
    } else if (status == QLatin1String("online") || status == QLatin1String("degraded")) {
        m_validator.enableRfid();
        m_validator.enableBarcode();
        setScreen(QStringLiteral("ScanScreens"));
    } else {
        setOutOfOrderScreen(validatorReason());
        m_validator.disableRfid();
        m_validator.disableBarcode();
    }
}

void GUIManager::setOutOfOrderScreen(const QString& message)
{
    if (m_screen == QLatin1String("Login") || !m_board.ignition() || m_session.sessionActive())
        return;
    setScreen(QStringLiteral("OutOfOrder"));
    setMessage(message);
}

void GUIManager::setMaintenanceScreen()
{
    if (m_session.sessionActive())
        setScreen(QStringLiteral("Settings"));
    else if (m_screen == QLatin1String("Login"))
        setIdleScreen();
    else
        setScreen(QStringLiteral("Login"), LoginMillis);
}

QString GUIManager::validatorReason() const
{
    QString reason = m_validator.reasonCode();
    if (showErrorDesc())
        reason += QStringLiteral("\n") + m_validator.reason();
    return reason;
}

void GUIManager::onScreenTimeout()
{
    info() << "Screen timeout : " << m_screen;
    setIdleScreen();
}

void GUIManager::onValidatorStatusChanged()
{
    info() << "Validator status changed : " << m_validator.status();
    setIdleScreen();
}

void GUIManager::onValidatorReasonChanged()
{
    warning() << "Validator reason changed : " << m_validator.reasonCode() << " "
              << m_validator.reason();
    if (m_validator.status() == QLatin1String("init"))
        return;
    setMessage(validatorReason());
}

void GUIManager::onTicketValidated(const Transaction& transaction)
{
    const QVariantMap map = transaction.toMap();
    warning() << "Validator ticket validated : " << int(transaction.type());
    warning() << "Valid : " << (transaction.valid() ? "true" : "false");
    warning() << "Contents : " << jsonText(map);
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), map);
    if (m_session.sessionActive())
        return;
    if (transaction.valid()) {
        m_inspector.audioPlay(ValidSound);
        setScreen(QStringLiteral("Valid"), ResultMillis);
        return;
    }
    m_inspector.audioPlay(InvalidSound);
    const int reason = transaction.denyReasonId();
    const bool already = reason == 103 || reason == 207;
    setScreen(already ? QStringLiteral("AlreadyValid") : QStringLiteral("Invalid"), ResultMillis);
}

void GUIManager::onCardRetry()
{
    warning() << "Validator card retry";
    if (m_session.sessionActive())
        return;
    m_inspector.audioPlay(InvalidSound);
    setScreen(QStringLiteral("Retry"), ResultMillis);
}

void GUIManager::onIgnitionChanged()
{
    const bool on = m_board.ignition();
    m_eventLog.push(new Event(QStringLiteral("Board"),
                              on ? QStringLiteral("Ignition on") : QStringLiteral("Ignition off"),
                              QString(), QDateTime::currentDateTime()));
    if (on) {
        m_inspector.abortShutdown();
        setIdleScreen();
        return;
    }
    m_session.logoutRequest();
    m_inspector.scheduleShutdown(shutdownDelaySec());
    setScreen(QStringLiteral("ScreenSaver"));
}

void GUIManager::onScreenChanged()
{
    const int minutes = displayOffMin();
    if (minutes == 0)
        return;
    if (m_screen != QLatin1String("OutOfOrder") && m_screen != QLatin1String("OutOfService")) {
        if (m_displayOffTimer.isActive()) {
            info() << "Stopping Display OFF timer.";
            m_displayOffTimer.stop();
        }
        if (!m_board.peripheralPower(QStringLiteral("display"))) {
            info() << "Turning on Display.";
            m_board.setPeripheralPower(QStringLiteral("display"), true);
        }
        return;
    }
    info() << "Staring Display OFF timer : " << minutes << " min(s)";
    m_displayOffTimer.setSingleShot(true);
    m_displayOffTimer.start(minutes * m_displayOffMinuteMillis);
}

void GUIManager::onDisplayOffTimeout()
{
    warning() << "WARN: Turning off Display due to inactivity.";
    m_board.setPeripheralPower(QStringLiteral("display"), false);
}

void GUIManager::updateBoardShutdownDelay()
{
    const int target = shutdownDelaySec() + BoardExtraSec;
    const int current = m_board.delayShutdownFor();
    if (current == target)
        return;
    warning() << "WARN: Updating board shutdown delay to : " << target << " sec(s) (prev="
              << current << ")";
    m_board.setDelayShutdownFor(target);
}
