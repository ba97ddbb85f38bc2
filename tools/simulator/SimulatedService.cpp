#include "SimulatedService.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonParseError>

SimulatedService::SimulatedService(const QString& name, const QString& base, QObject* parent)
    : QObject(parent), m_name(name), m_base(base)
{
    connect(&m_mqtt, &manager::MqttClient::connected, this, [this] {
        log(QStringLiteral("Connected"));
        if (m_online)
            publishState();
    });
    connect(&m_mqtt, &manager::MqttClient::received, this, &SimulatedService::onReceived);
}

const QString& SimulatedService::name() const
{
    return m_name;
}

const QString& SimulatedService::base() const
{
    return m_base;
}

bool SimulatedService::isOnline() const
{
    return m_online;
}

void SimulatedService::start(const QString& host, quint16 port)
{
    m_mqtt.setHostname(host);
    m_mqtt.setPort(port);
    m_mqtt.setRetryMillis(1000);
    m_mqtt.setClientId(QStringLiteral("quillon-simulator-%1-%2")
                           .arg(m_name.toLower())
                           .arg(QCoreApplication::applicationPid()));
    if (!m_willTopic.isEmpty()) {
        m_mqtt.setWillTopic(m_willTopic);
        m_mqtt.setWillMessage(QJsonDocument(m_will).toJson(QJsonDocument::Compact));
        m_mqtt.setWillQoS(1);
        m_mqtt.setWillRetain(false);
    }
    m_mqtt.connect();
}

void SimulatedService::setOnline(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    log(online ? QStringLiteral("Service is back online") : QStringLiteral("Service is offline"));
    if (online)
        publishState();
    else if (!m_willTopic.isEmpty())
        publish(m_willTopic, m_will);
}

QString SimulatedService::topic(const QString& suffixOrTopic) const
{
    return suffixOrTopic.startsWith(QLatin1Char('/')) ? m_base + suffixOrTopic : suffixOrTopic;
}

void SimulatedService::handle(const QString& suffixOrTopic, Handler handler)
{
    const QString t = topic(suffixOrTopic);
    m_handlers.insert(t, std::move(handler));
    m_mqtt.subscribe(t, 0);
}

void SimulatedService::setWill(const QString& suffixOrTopic, const QJsonObject& will)
{
    m_willTopic = topic(suffixOrTopic);
    m_will = will;
}

void SimulatedService::publish(const QString& suffixOrTopic, const QJsonObject& payload)
{
    const QString t = topic(suffixOrTopic);
    log(QStringLiteral("-> ") + t + QLatin1Char(' ')
        + QString::fromUtf8(QJsonDocument(payload).toJson(QJsonDocument::Compact)));
    m_mqtt.publish(QJsonDocument(payload).toJson(QJsonDocument::Indented), t);
}

void SimulatedService::publishRaw(const QString& suffixOrTopic, const QByteArray& payload)
{
    const QString t = topic(suffixOrTopic);
    log(QStringLiteral("-> ") + t + QLatin1Char(' ') + QString::fromUtf8(payload));
    m_mqtt.publish(payload, t);
}

void SimulatedService::log(const QString& text) const
{
    qInfo().noquote().nospace() << "[" << m_name << "] " << text;
}

void SimulatedService::onReceived(const QByteArray& payload, const QByteArray& rawTopic)
{
    const QString t = QString::fromUtf8(rawTopic);
    const auto handler = m_handlers.constFind(t);
    if (handler == m_handlers.constEnd())
        return;
    log(QStringLiteral("<- ") + t + QLatin1Char(' ')
        + QString::fromUtf8(payload).simplified());
    if (!m_online) {
        log(QStringLiteral("Offline: not answered"));
        return;
    }
    QJsonObject message;
    if (!payload.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
        if (error.error != QJsonParseError::NoError) {
            log(QStringLiteral("WARN: Not JSON, ignored: ") + error.errorString());
            return;
        }
        message = doc.object();
    }
    (*handler)(message);
}
