#include "Peripheral/ServiceManager.h"

#include "Common/MqttClient.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace manager {

ServiceManager::ServiceManager(MqttClient& mqtt, const QString& baseTopic, const QString& tag,
                               QObject* parent)
    : QObject(parent), m_mqtt(mqtt), m_base(baseTopic), m_log(tag)
{
    connect(&m_mqtt, &MqttClient::received, this,
            [this](const QByteArray& data, const QByteArray& from) {
                onMqttReceived(data, QString::fromUtf8(from));
            });
}

void ServiceManager::handle(const QString& suffix, Handler handler)
{
    m_routes.append({suffix, std::move(handler)});
}

void ServiceManager::subscribe()
{
    m_log.info() << "Subscribing to topics";
    for (const Route& route : qAsConst(m_routes))
        m_mqtt.subscribe(m_base + route.suffix, 0);
}

void ServiceManager::setGetPayload(const QByteArray& payload)
{
    m_getPayload = payload;
}

void ServiceManager::onMqttReceived(const QByteArray& data, const QString& topic)
{
    if (!topic.contains(m_base))
        return;
    QJsonObject message;
    if (decode(data, &message))
        dispatch(message, topic);
}

bool ServiceManager::decode(const QByteArray& data, QJsonObject* object) const
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(data.isEmpty() ? QByteArrayLiteral("{ }") : data, &error);
    if (error.error != QJsonParseError::NoError) {
        m_log.critical() << "Failed to parse JSON message: " << error.errorString();
        return false;
    }
    *object = document.object();
    return true;
}

bool ServiceManager::matches(const QString& topic, const QString& suffix) const
{
    return topic == m_base + suffix;
}

void ServiceManager::dispatch(const QJsonObject& message, const QString& topic)
{
    for (const Route& route : qAsConst(m_routes)) {
        if (!matches(topic, route.suffix))
            continue;
        if (route.handler)
            route.handler(message, topic);
        return;
    }
}

void ServiceManager::requestState(const QStringList& areas)
{
    for (const QString& area : areas)
        publishRaw(m_base + QLatin1Char('/') + area + QStringLiteral("/get"), m_getPayload);
}

void ServiceManager::publishJson(const QString& topic, const QJsonObject& object)
{
    publishRaw(topic, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

void ServiceManager::publishRaw(const QString& topic, const QByteArray& payload)
{
    m_mqtt.publish(payload, topic, 0, false);
}

const QString& ServiceManager::base() const
{
    return m_base;
}

const Log& ServiceManager::log() const
{
    return m_log;
}

} // namespace manager
