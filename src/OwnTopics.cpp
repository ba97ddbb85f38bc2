#include "OwnTopics.h"

#include "LogCategories.h"

#include "Common/Config.h"
#include "Common/MessageBus.h"
#include "Common/MqttClient.h"
#include "Common/Secrets.h"
#include "ConfigKeys.h"
#include "Model/Event.h"
#include "SessionManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// What a fleet's centre may set: what differs from vehicle to vehicle in
// service, and the PIN so that it can be rotated. Anything that decides where
// the device connects, what it reads or what it shows from elsewhere stays
// with the device.
const QStringList FleetSettable{key::Locale,        key::DisplayOffMin, key::ShutdownDelaySec,
                                key::ShowErrorDesc, key::ScreenSaverBg, key::AnimSwitchSec,
                                key::LogLevel,      key::SettingsPin};

// The centre collects from devices in any time zone.
QString offsetTime(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

OwnTopics::OwnTopics(manager::MqttClient& client, manager::MessageBus& bus, Config& config,
                     SessionManager& session)
    : m_client(client)
    , m_bus(bus)
    , m_config(config)
    , m_session(session)
{
}

QString OwnTopics::baseTopic() const
{
    return m_config.get(key::MqttBase).toString();
}

void OwnTopics::prepareConnection()
{
    m_client.setClientId(QStringLiteral("%1_%2").arg(QCoreApplication::applicationName())
                             .arg(QCoreApplication::applicationPid()));
    m_client.setWillMessage(QByteArrayLiteral("{\"service\": false}"));
    m_client.setWillTopic(baseTopic() + QStringLiteral("/status"));
    m_client.setHostname(m_config.get(key::MqttHost).toString());
    m_client.setPort(m_config.get(key::MqttPort).toUInt());
    m_client.setUsername(m_config.get(key::MqttUsername).toString());
    m_client.setPassword(m_config.get(key::MqttPassword).toString());
    subscribe();
}

void OwnTopics::subscribe()
{
    // Asked once per base topic: the client renews its subscriptions after
    // every connection, and asking on each connection would grow its list
    // without end.
    const QString base = baseTopic();
    if (m_subscribedBases.contains(base))
        return;
    m_subscribedBases.insert(base);
    for (const QString& topic : routes().topics())
        m_bus.subscribe(topic, 0);
}

manager::TopicRouter OwnTopics::routes()
{
    const QString base = baseTopic();
    const auto json = [](const QByteArray& payload) { return QJsonDocument::fromJson(payload).object(); };
    manager::TopicRouter router;
    router.add(base + QStringLiteral("/info/get"), [this](const QByteArray&, const QString&) { publishInfo(); });
    router.add(base + QStringLiteral("/status/get"), [this](const QByteArray&, const QString&) { publishStatus(); });
    router.add(base + QStringLiteral("/config/get"), [this](const QByteArray&, const QString&) { publishConfig(); });
    router.add(base + QStringLiteral("/config/set"),
               [this, json](const QByteArray& payload, const QString&) { m_config.fromJson(json(payload)); });
    router.add(base + QStringLiteral("/fleet/config/set"),
               [this, json](const QByteArray& payload, const QString&) { applyFleetSettings(json(payload)); });
    return router;
}

void OwnTopics::publish(const QString& suffix, const QJsonObject& object, int qos)
{
    m_bus.publish(QJsonDocument(object).toJson(QJsonDocument::Indented), baseTopic() + suffix, qos, false);
}

void OwnTopics::publishInfo()
{
    publish(QStringLiteral("/info"),
            QJsonObject{{QStringLiteral("version"), QCoreApplication::applicationVersion()}});
}

void OwnTopics::publishStatus()
{
    publish(QStringLiteral("/status"),
            QJsonObject{{QStringLiteral("technician"), m_session.sessionActive()},
                        {QStringLiteral("service"), true}});
}

void OwnTopics::publishConfig()
{
    publish(QStringLiteral("/config"), m_config.toPublicJson());
}

// Records and reports are what a fleet's centre keeps: QoS 1, so that a
// broker bridge holds them while its link is down.
void OwnTopics::publishEvent(const Event* event)
{
    publish(QStringLiteral("/event"),
            QJsonObject{{QStringLiteral("category"), event->category()},
                        {QStringLiteral("name"), event->name()},
                        {QStringLiteral("description"), event->description()},
                        {QStringLiteral("timestamp"), offsetTime(event->timestamp())}},
            1);
}

void OwnTopics::publishReport(const QString& text)
{
    publish(QStringLiteral("/report"), QJsonObject{{QStringLiteral("text"), text}}, 1);
}

// Exact topics: a request from the fleet must never pass for a local one.
void OwnTopics::onMessage(const QByteArray& payload, const QByteArray& topic)
{
    const QString name = QString::fromUtf8(topic);
    if (!name.startsWith(baseTopic() + QLatin1Char('/')))
        return;
    qCInfo(lcGUIManager).noquote().nospace() << "Message received : " << name;
    qCDebug(lcGUIManager).noquote().nospace() << "Data : " << QString::fromUtf8(Secrets::redacted(payload));
    routes().dispatch(name, payload);
}

// Only the short list, and only values the rules take; the centre is told
// which keys were applied and which refused.
void OwnTopics::applyFleetSettings(const QJsonObject& object)
{
    const QVariantMap incoming = Config::keysOf(object);
    QVariantMap accepted;
    QStringList applied;
    QStringList refused;
    for (auto it = incoming.cbegin(); it != incoming.cend(); ++it) {
        if (!FleetSettable.contains(it.key()) || !m_config.accepts(it.key(), it.value())) {
            qCWarning(lcGUIManager).noquote().nospace() << "WARN: Setting refused from the fleet : " << it.key();
            refused << it.key();
            continue;
        }
        accepted.insert(it.key(), it.value());
        applied << it.key();
    }
    m_config.fromMap(accepted);
    publish(QStringLiteral("/fleet/config/result"),
            QJsonObject{{QStringLiteral("applied"), QJsonArray::fromStringList(applied)},
                        {QStringLiteral("refused"), QJsonArray::fromStringList(refused)}},
            1);
}
