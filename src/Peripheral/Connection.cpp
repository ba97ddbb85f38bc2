#include "Peripheral/Connection.h"

namespace manager {

Connection::Connection(QObject* parent) : QObject(parent) {}

Connection::Connection(const QVariantMap& map, QObject* parent) : QObject(parent)
{
    fromMap(map);
}

QString Connection::interface() const
{
    return m_interface;
}

QString Connection::state() const
{
    return m_state;
}

QString Connection::type() const
{
    return m_type;
}

IPv4* Connection::ipv4()
{
    return &m_ipv4;
}

Connection& Connection::fromMap(const QVariantMap& map)
{
    const QString interface = map.value(QStringLiteral("interface")).toString();
    if (interface != m_interface) {
        m_interface = interface;
        emit interfaceChanged();
    }
    const QString state = map.value(QStringLiteral("stateStr")).toString();
    if (state != m_state) {
        m_state = state;
        emit stateChanged();
    }
    const QString type = map.value(QStringLiteral("typeStr")).toString();
    if (type != m_type) {
        m_type = type;
        emit typeChanged();
    }
    const QVariantMap ipv4 = map.value(QStringLiteral("ipv4")).toMap();
    if (ipv4 != m_ipv4.toMap()) {
        m_ipv4.fromMap(ipv4);
        emit ipv4Changed();
    }
    return *this;
}

} // namespace manager
