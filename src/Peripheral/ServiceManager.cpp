#include "Peripheral/ServiceManager.h"

#include "Common/MqttClient.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>

namespace manager {

namespace {

QJsonValue neutralOf(QJsonValue::Type type)
{
    switch (type) {
    case QJsonValue::Bool:
        return false;
    case QJsonValue::Double:
        return 0.0;
    case QJsonValue::String:
        return QString();
    case QJsonValue::Array:
        return QJsonArray();
    case QJsonValue::Object:
        return QJsonObject();
    default:
        return QJsonValue();
    }
}

QString valueText(const QJsonValue& value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        // Plain shortest form: an uptime in seconds must not turn into "1.23457e+06".
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    if (value.isString())
        return value.toString();
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    return QString();
}

} // namespace

ServiceManager::ServiceManager(MqttClient& mqtt, const QString& baseTopic, const QString& tag,
                               QObject* parent)
    : QObject(parent), m_base(baseTopic), m_mqtt(mqtt), m_tag(tag)
{
    connect(&m_mqtt, &MqttClient::received, this,
            [this](const QByteArray& data, const QByteArray& from) {
                onMqttReceived(data, QString::fromUtf8(from));
            });
    connect(&m_monitor, &QTimer::timeout, this, [this] { refresh(); });
}

QVariantMap ServiceManager::info() const
{
    return m_info;
}

QString ServiceManager::status() const
{
    return m_status;
}

QString ServiceManager::baseTopic() const
{
    return m_base;
}

QByteArray ServiceManager::toPayload(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

void ServiceManager::refresh()
{
    qDebug().noquote().nospace() << m_tag << "Refreshing data";
    for (const QString& area : qAsConst(m_polledAreas))
        requestState(area);
}

void ServiceManager::monitor(int msec)
{
    if (msec == 0) {
        qInfo().noquote().nospace() << m_tag << "Monitor stopped";
        m_monitor.stop();
        return;
    }
    qInfo().noquote().nospace() << m_tag << "Monitor started : " << msec << " msec(s)";
    m_monitor.setInterval(msec);
    m_monitor.setSingleShot(false);
    m_monitor.start();
    refresh();
}

void ServiceManager::handle(const QString& suffix, Handler handler)
{
    m_routes.append({suffix, std::move(handler)});
}

void ServiceManager::subscribe(const QStringList& suffixes)
{
    qInfo().noquote().nospace() << m_tag << "Subscribing to topics";
    for (const QString& suffix : suffixes)
        m_mqtt.subscribe(m_base + suffix, 0);
}

void ServiceManager::refreshOnConnect()
{
    connect(&m_mqtt, &MqttClient::connected, this, [this] { refresh(); });
}

void ServiceManager::setPolledAreas(const QStringList& areas)
{
    m_polledAreas = areas;
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
    if (!decode(data, &message))
        return;
    dispatch(message, topic);
}

void ServiceManager::dispatch(const QJsonObject& message, const QString& topic)
{
    for (const Route& route : qAsConst(m_routes)) {
        if (topic == m_base + route.suffix) {
            route.handler(message, topic);
            return;
        }
    }
}

bool ServiceManager::decode(const QByteArray& data, QJsonObject* object, bool emptyAsObject) const
{
    const bool empty = data.isEmpty();
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(empty && emptyAsObject ? QByteArrayLiteral("{ }") : data, &error);
    if (error.error != QJsonParseError::NoError && !empty) {
        qCritical().noquote().nospace() << m_tag << "Failed to parse JSON message: "
                                        << error.errorString();
        return false;
    }
    *object = document.object();
    return true;
}

bool ServiceManager::readServiceStatus(const QJsonObject& message, QJsonObject* device,
                                       bool withDevice)
{
    if (message.value(QStringLiteral("service")).toBool() != true) {
        setStatus(QStringLiteral("offline"));
        return false;
    }
    const QJsonObject deviceObject = message.value(QStringLiteral("device")).toObject();
    if (withDevice && deviceObject.value(QStringLiteral("active")).toBool() != true) {
        setStatus(QStringLiteral("error"));
        return false;
    }
    setStatus(QStringLiteral("online"));
    if (device)
        *device = deviceObject;
    return true;
}

void ServiceManager::setStatus(const QString& status)
{
    if (status == m_status)
        return;
    logStatus(status);
    m_status = status;
    emit statusChanged();
}

void ServiceManager::logStatus(const QString& status) const
{
    qInfo().noquote().nospace() << m_tag << "Status changed : " << status;
}

void ServiceManager::setInfo(const QVariantMap& info)
{
    if (info == m_info)
        return;
    m_info = info;
    emit infoChanged();
}

bool ServiceManager::updateField(QJsonObject& area, const QString& key, const QJsonValue& value,
                                 const QString& label) const
{
    const QJsonValue held = area.contains(key) ? area.value(key) : neutralOf(value.type());
    if (held == value)
        return false;
    qDebug().noquote().nospace() << m_tag << label << " changed : " << valueText(value);
    area.insert(key, value);
    return true;
}

void ServiceManager::requestState(const QString& area)
{
    publishRaw(m_base + QLatin1Char('/') + area + QStringLiteral("/get"), m_getPayload);
}

void ServiceManager::publishJson(const QString& topic, const QJsonObject& object)
{
    publishRaw(topic, toPayload(object));
}

void ServiceManager::publishRaw(const QString& topic, const QByteArray& payload)
{
    m_mqtt.publish(payload, topic, 0, false);
}

const QString& ServiceManager::tag() const
{
    return m_tag;
}

MqttClient& ServiceManager::mqtt() const
{
    return m_mqtt;
}

} // namespace manager
