#include "Peripheral/ServiceManager.h"

#include "Common/MessageBus.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace manager {

ServiceManager::ServiceManager(MessageBus& bus, const QString& baseTopic, LogCategory category,
                               QObject* parent)
    : QObject(parent), m_bus(bus), m_base(baseTopic), m_category(category)
{
    connect(&m_bus, &MessageBus::received, this,
            [this](const QByteArray& data, const QByteArray& from) {
                m_router.dispatch(QString::fromUtf8(from), data);
            });
}

void ServiceManager::handle(const QString& suffix, Handler handler)
{
    handleTopic(m_base + suffix, std::move(handler));
}

void ServiceManager::handleTopic(const QString& topic, Handler handler)
{
    if (!handler) {
        m_router.add(topic);
        return;
    }
    m_router.add(topic, [this, handler = std::move(handler)](const QByteArray& data, const QString& from) {
        QJsonObject message;
        if (decode(data, &message))
            handler(message, from);
    });
}

void ServiceManager::handleEvent(const QString& topic, std::function<void()> handler)
{
    m_router.add(topic, [handler = std::move(handler)](const QByteArray&, const QString&) { handler(); });
}

void ServiceManager::subscribe()
{
    qCInfo(m_category).noquote().nospace() << "Subscribing to topics";
    for (const QString& topic : m_router.topics())
        m_bus.subscribe(topic, 0);
}

void ServiceManager::setGetPayload(const QByteArray& payload)
{
    m_getPayload = payload;
}

bool ServiceManager::decode(const QByteArray& data, QJsonObject* object) const
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(data.isEmpty() ? QByteArrayLiteral("{ }") : data, &error);
    if (error.error != QJsonParseError::NoError) {
        qCCritical(m_category).noquote().nospace() << "Failed to parse JSON message: " << error.errorString();
        return false;
    }
    *object = document.object();
    return true;
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
    m_bus.publish(payload, topic, 0, false);
}

const QString& ServiceManager::base() const
{
    return m_base;
}

MessageBus& ServiceManager::bus() const
{
    return m_bus;
}

LogCategory ServiceManager::log() const
{
    return m_category;
}

} // namespace manager
