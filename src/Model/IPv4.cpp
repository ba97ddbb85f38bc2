#include "Model/IPv4.h"

#include <QRegularExpression>

namespace {

const QString Address = QStringLiteral("address");
const QString Netmask = QStringLiteral("netmask");
const QString Gateway = QStringLiteral("gateway");
const QString Dns0 = QStringLiteral("dns0");
const QString Dns1 = QStringLiteral("dns1");

} // namespace

IPv4::IPv4(QObject* parent) : QObject(parent) {}

QString IPv4::address() const
{
    return m_map.value(Address).toString();
}

QString IPv4::gateway() const
{
    return m_map.value(Gateway).toString();
}

QString IPv4::mask() const
{
    return m_map.value(Netmask).toString();
}

QString IPv4::dns0() const
{
    return m_map.value(Dns0).toString();
}

QString IPv4::dns1() const
{
    return m_map.value(Dns1).toString();
}

void IPv4::setAddress(const QString& address)
{
    set(Address, address, &IPv4::addressChanged);
}

void IPv4::setMask(const QString& mask)
{
    set(Netmask, mask, &IPv4::maskChanged);
}

void IPv4::setGateway(const QString& gateway)
{
    set(Gateway, gateway, &IPv4::gatewayChanged);
}

void IPv4::setDns0(const QString& dns0)
{
    set(Dns0, dns0, &IPv4::dns0Changed);
}

void IPv4::setDns1(const QString& dns1)
{
    set(Dns1, dns1, &IPv4::dns1Changed);
}

bool IPv4::isValidAddress(const QString& text) const
{
    static const QString part = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(part + QStringLiteral("(\\.") + part + QStringLiteral("){3}")));
    return pattern.match(text).hasMatch();
}

const QVariantMap& IPv4::toMap() const
{
    return m_map;
}

IPv4& IPv4::fromMap(const QVariantMap& map)
{
    setAddress(map.value(Address).toString());
    setMask(map.value(Netmask).toString());
    setGateway(map.value(Gateway).toString());
    setDns0(map.value(Dns0).toString());
    setDns1(map.value(Dns1).toString());
    return *this;
}

// The key always ends up holding a string, even when nothing changed: a null
// value would never compare equal to the "" of an incoming map.
void IPv4::set(const QString& key, const QString& value, void (IPv4::*changed)())
{
    QVariant& held = m_map[key];
    const bool same = held.toString() == value;
    held = value;
    if (!same)
        emit(this->*changed)();
}
