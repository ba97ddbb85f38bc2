#include "Common/TopicRouter.h"

namespace manager {

void TopicRouter::add(const QString& topic, Handler handler)
{
    m_routes.append({topic, std::move(handler)});
}

QStringList TopicRouter::topics() const
{
    QStringList result;
    for (const Route& route : m_routes)
        result << route.topic;
    return result;
}

bool TopicRouter::dispatch(const QString& topic, const QByteArray& payload) const
{
    for (const Route& route : m_routes) {
        if (route.topic != topic)
            continue;
        if (route.handler)
            route.handler(payload, topic);
        return true;
    }
    return false;
}

} // namespace manager
