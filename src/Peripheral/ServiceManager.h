#pragma once

#include "Common/LogCategory.h"
#include "Common/TopicRouter.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace manager {

class MessageBus;

// What every client of a device service shares: its base topic, JSON
// decoding, dispatch by exact topic, the subscriptions those topics make,
// requests and the category it logs under.
class ServiceManager : public QObject
{
    Q_OBJECT
protected:
    using Handler = std::function<void(const QJsonObject& message, const QString& topic)>;

    ServiceManager(MessageBus& bus, const QString& baseTopic, LogCategory category, QObject* parent);

    // base + suffix, its message read as JSON; a null handler subscribes to
    // a suffix whose messages nothing reads.
    void handle(const QString& suffix, Handler handler = nullptr);
    // The same for a topic outside the base.
    void handleTopic(const QString& topic, Handler handler);
    // A topic whose payload is not read: its arrival is the event.
    void handleEvent(const QString& topic, std::function<void()> handler);
    // The same for a handler that is one of the manager's own members.
    template <typename Manager>
    void handle(const QString& suffix, void (Manager::*handler)(const QJsonObject&, const QString&))
    {
        handle(suffix, member(handler));
    }
    template <typename Manager>
    void handleTopic(const QString& topic, void (Manager::*handler)(const QJsonObject&, const QString&))
    {
        handleTopic(topic, member(handler));
    }
    // Subscribes each routed topic, at QoS 0; the client renews them itself.
    void subscribe();
    // "{}" unless a service wants another body in its state requests.
    void setGetPayload(const QByteArray& payload);

    // An empty payload reads as an empty object.
    virtual bool decode(const QByteArray& data, QJsonObject* object) const;

    // base + "/" + area + "/get", for each area in turn.
    void requestState(const QStringList& areas);
    void publishJson(const QString& topic, const QJsonObject& object);
    void publishRaw(const QString& topic, const QByteArray& payload);

    const QString& base() const;
    LogCategory log() const;

    MessageBus& bus() const;

private:
    template <typename Manager>
    Handler member(void (Manager::*handler)(const QJsonObject&, const QString&))
    {
        return [this, handler](const QJsonObject& message, const QString& topic) {
            (static_cast<Manager*>(this)->*handler)(message, topic);
        };
    }

    MessageBus& m_bus;
    const QString m_base;
    const LogCategory m_category;
    TopicRouter m_router;
    QByteArray m_getPayload = QByteArrayLiteral("{}");
};

} // namespace manager
