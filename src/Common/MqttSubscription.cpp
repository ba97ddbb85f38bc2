#include "Common/MqttSubscription.h"

MqttSubscription::MqttSubscription(const QString& filter, quint8 qos, QObject* parent)
    : QObject(parent), m_topic(filter), m_qos(qos)
{
}

QString MqttSubscription::topic() const
{
    return m_topic;
}

quint8 MqttSubscription::qos() const
{
    return m_qos;
}
