#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <functional>

namespace manager {

class MqttClient;

// What every client of a device service shares: subscription under the
// service's base topic, JSON decoding, dispatch by topic suffix, the service
// status, state requests, refresh and monitoring.
class ServiceManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantMap info READ info NOTIFY infoChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
public:
    QVariantMap info() const;
    QString status() const;
    QString baseTopic() const;

    // The indented JSON text every request is written in.
    static QByteArray toPayload(const QJsonObject& object);

public slots:
    virtual void refresh();
    void monitor(int msec);

signals:
    void infoChanged();
    void statusChanged();

protected:
    using Handler = std::function<void(const QJsonObject& message, const QString& topic)>;

    ServiceManager(MqttClient& mqtt, const QString& baseTopic, const QString& tag, QObject* parent);

    // Handlers are tried in registration order against base + suffix.
    void handle(const QString& suffix, Handler handler);
    // Subscribes base + each suffix, at QoS 0; the client renews them itself.
    void subscribe(const QStringList& suffixes);
    void refreshOnConnect();
    // Areas asked for by the default refresh(), as base + "/" + area + "/get".
    void setPolledAreas(const QStringList& areas);
    // "{}" unless a service wants empty state requests.
    void setGetPayload(const QByteArray& payload);

    virtual void onMqttReceived(const QByteArray& data, const QString& topic);
    virtual void dispatch(const QJsonObject& message, const QString& topic);
    // Empty payloads read as an empty object unless `emptyAsObject` is false,
    // in which case they are parsed as they are and never reported.
    bool decode(const QByteArray& data, QJsonObject* object, bool emptyAsObject = true) const;

    // The "service" / "device.active" rule; true when the status is "online",
    // with the "device" object handed back for the manager's own fields.
    bool readServiceStatus(const QJsonObject& message, QJsonObject* device = nullptr,
                           bool withDevice = true);
    void setStatus(const QString& status);
    virtual void logStatus(const QString& status) const;
    void setInfo(const QVariantMap& info);

    // Stores `value` under `key` when it differs from the held one (absent
    // reads as the neutral value of its type) and logs "<label> changed : ".
    bool updateField(QJsonObject& area, const QString& key, const QJsonValue& value,
                     const QString& label) const;

    void requestState(const QString& area);
    void publishJson(const QString& topic, const QJsonObject& object);
    void publishRaw(const QString& topic, const QByteArray& payload);

    const QString& tag() const;
    MqttClient& mqtt() const;

    QString m_base;
    QVariantMap m_info;
    QString m_status;
    QTimer m_monitor;

private:
    struct Route {
        QString suffix;
        Handler handler;
    };

    MqttClient& m_mqtt;
    QString m_tag;
    QList<Route> m_routes;
    QStringList m_polledAreas;
    QByteArray m_getPayload = QByteArrayLiteral("{}");
};

} // namespace manager
