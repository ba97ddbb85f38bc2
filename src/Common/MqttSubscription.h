#pragma once

#include <QObject>
#include <QString>

// A subscription accepted by MosquittoClient; only its existence matters to
// callers, as with the toolkit client whose shape we follow.
class MqttSubscription : public QObject
{
    Q_OBJECT
public:
    MqttSubscription(const QString& filter, quint8 qos, QObject* parent);

    QString topic() const;
    quint8 qos() const;

private:
    QString m_topic;
    quint8 m_qos;
};
