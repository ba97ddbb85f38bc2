#include "Peripheral/Connection.h"

#include "Common/AssignIfDifferent.h"

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
    if (assignIfDifferent(m_interface, map.value(QStringLiteral("interface")).toString()))
        emit interfaceChanged();
    if (assignIfDifferent(m_state, map.value(QStringLiteral("stateStr")).toString()))
        emit stateChanged();
    if (assignIfDifferent(m_type, map.value(QStringLiteral("typeStr")).toString()))
        emit typeChanged();
    const QVariantMap ipv4 = map.value(QStringLiteral("ipv4")).toMap();
    if (ipv4 != m_ipv4.toMap()) {
        m_ipv4.fromMap(ipv4);
        emit ipv4Changed();
    }
    return *this;
}

} // namespace manager
