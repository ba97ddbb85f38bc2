#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace manager {

// Messages to handlers by exact topic: a topic that merely contains a
// routed one, or ends like it, is not routed.
class TopicRouter
{
public:
    using Handler = std::function<void(const QByteArray& payload, const QString& topic)>;

    // Tried in the order added; a null handler routes a topic to nothing.
    void add(const QString& topic, Handler handler = nullptr);
    QStringList topics() const;
    // True when the topic is routed, whether or not a handler reads it.
    bool dispatch(const QString& topic, const QByteArray& payload) const;

private:
    struct Route {
        QString topic;
        Handler handler;
    };

    QList<Route> m_routes;
};

} // namespace manager
