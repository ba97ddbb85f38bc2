#include "OwnTopics.h"

#include "Common/Config.h"
#include "Common/MqttClient.h"
#include "ConfigKeys.h"
#include "Model/Event.h"
#include "SessionManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>

namespace {

// The centre collects from devices in any time zone.
QString offsetTime(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

OwnTopics::OwnTopics(manager::MqttClient& mqtt, Config& config, SessionManager& session,
                     const manager::Log& log)
    : m_mqtt(mqtt)
    , m_config(config)
    , m_session(session)
    , m_log(log)
{
}

QString OwnTopics::baseTopic() const
{
    return m_config.get(key::MqttBase).toString();
}

void OwnTopics::prepareConnection()
{
    m_mqtt.setClientId(QStringLiteral("%1_%2").arg(QCoreApplication::applicationName())
                           .arg(QCoreApplication::applicationPid()));
    m_mqtt.setWillMessage(QByteArrayLiteral("{\"service\": false}"));
    m_mqtt.setWillTopic(baseTopic() + QStringLiteral("/status"));
    m_mqtt.setHostname(m_config.get(key::MqttHost).toString());
    m_mqtt.setPort(m_config.get(key::MqttPort).toUInt());
    m_mqtt.setUsername(m_config.get(key::MqttUsername).toString());
    m_mqtt.setPassword(m_config.get(key::MqttPassword).toString());
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
    for (const char* suffix : {"/info/get", "/status/get", "/config/get", "/config/set"})
        m_mqtt.subscribe(base + QLatin1String(suffix), 0);
}

void OwnTopics::publish(const QString& suffix, const QJsonObject& object, int qos)
{
    m_mqtt.publish(QJsonDocument(object).toJson(QJsonDocument::Indented), baseTopic() + suffix, qos,
                   false);
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
    publish(QStringLiteral("/config"), m_config.toJson());
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

void OwnTopics::onMessage(const QByteArray& payload, const QByteArray& topic)
{
    if (!topic.contains(baseTopic().toUtf8()))
        return;
    m_log.info() << "Message received : " << QString::fromUtf8(topic);
    m_log.debug() << "Data : " << QString::fromUtf8(payload);
    if (topic.contains("/info/get"))
        publishInfo();
    else if (topic.contains("/status/get"))
        publishStatus();
    else if (topic.contains("/config/get"))
        publishConfig();
    else if (topic.contains("/config/set"))
        m_config.fromJson(QJsonDocument::fromJson(payload).object());
}
