#pragma once

#include "Common/Log.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace manager {

class MqttClient;

// What every client of a device service shares: its base topic, JSON
// decoding, dispatch by topic suffix, the subscriptions those suffixes make,
// requests and the tagged log.
class ServiceManager : public QObject
{
    Q_OBJECT
protected:
    using Handler = std::function<void(const QJsonObject& message, const QString& topic)>;

    ServiceManager(MqttClient& mqtt, const QString& baseTopic, const QString& tag, QObject* parent);

    // Routes are tried in registration order; a null handler subscribes to a
    // suffix whose messages nothing reads.
    void handle(const QString& suffix, Handler handler = nullptr);
    // The same for a handler that is one of the manager's own members.
    template <typename Manager>
    void handle(const QString& suffix, void (Manager::*handler)(const QJsonObject&, const QString&))
    {
        handle(suffix, [this, handler](const QJsonObject& message, const QString& topic) {
            (static_cast<Manager*>(this)->*handler)(message, topic);
        });
    }
    // Subscribes base + each routed suffix, at QoS 0; the client renews them itself.
    void subscribe();
    // "{}" unless a service wants another body in its state requests.
    void setGetPayload(const QByteArray& payload);

    virtual void onMqttReceived(const QByteArray& data, const QString& topic);
    // An empty payload reads as an empty object.
    virtual bool decode(const QByteArray& data, QJsonObject* object) const;
    // Exact equality with base + suffix, unless a service tells its topics apart otherwise.
    virtual bool matches(const QString& topic, const QString& suffix) const;
    void dispatch(const QJsonObject& message, const QString& topic);

    // base + "/" + area + "/get", for each area in turn.
    void requestState(const QStringList& areas);
    void publishJson(const QString& topic, const QJsonObject& object);
    void publishRaw(const QString& topic, const QByteArray& payload);

    const QString& base() const;
    const Log& log() const;

private:
    struct Route {
        QString suffix;
        Handler handler;
    };

    MqttClient& m_mqtt;
    const QString m_base;
    const Log m_log;
    QList<Route> m_routes;
    QByteArray m_getPayload = QByteArrayLiteral("{}");
};

} // namespace manager
