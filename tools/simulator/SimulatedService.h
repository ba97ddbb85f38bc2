#pragma once

#include "Common/MqttClient.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>

// One device service on the broker, with a connection of its own so that its
// last will speaks for it alone.
class SimulatedService : public QObject
{
    Q_OBJECT
public:
    SimulatedService(const QString& name, const QString& base, QObject* parent = nullptr);

    const QString& name() const;
    const QString& base() const;
    bool isOnline() const;

    void start(const QString& host, quint16 port);
    // Everything the service announces when it comes up.
    virtual void publishState() = 0;
    // Offline the service answers nothing and its status reads as its will.
    void setOnline(bool online);

protected:
    using Handler = std::function<void(const QJsonObject&)>;

    // A topic starting with "/" is under the base topic, any other is absolute.
    QString topic(const QString& suffixOrTopic) const;
    void handle(const QString& suffixOrTopic, Handler handler);
    void setWill(const QString& suffixOrTopic, const QJsonObject& will);
    void publish(const QString& suffixOrTopic, const QJsonObject& payload);
    void publishRaw(const QString& suffixOrTopic, const QByteArray& payload);
    void log(const QString& text) const;

private:
    void onReceived(const QByteArray& payload, const QByteArray& topic);

    manager::MqttClient m_mqtt;
    QString m_name;
    QString m_base;
    QHash<QString, Handler> m_handlers;
    QString m_willTopic;
    QJsonObject m_will;
    bool m_online = true;
};
