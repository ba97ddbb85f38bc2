#include "Peripheral/Ethernet.h"

#include "Common/AssignIfDifferent.h"
#include "Common/MessageBus.h"

namespace manager {

Q_LOGGING_CATEGORY(lcEthernet, "quillon.Network.Ethernet")

namespace {

// The network service also reports the USB gadget link; it is not ours to show.
const QString Ignored = QStringLiteral("usb0");
const char* const Rule = "-------------------------";

QString text(const QJsonObject& message, const char* member)
{
    return message.value(QLatin1String(member)).toString();
}

} // namespace

Ethernet::Ethernet(MessageBus& client, const QString& baseTopic, QObject* parent)
    : ServiceManager(client, baseTopic + QStringLiteral("/ethernet"),
                     lcEthernet, parent)
{
    connect(&client, &MessageBus::connected, this, &Ethernet::reset);
    handle(QStringLiteral("/state"), &Ethernet::onStateReceived);
    handle(QStringLiteral("/config"), &Ethernet::onConfigReceived);
    subscribe();
}

QString Ethernet::interface() const
{
    return m_interface;
}

QString Ethernet::type() const
{
    return m_type;
}

QString Ethernet::state() const
{
    return m_state;
}

QString Ethernet::reason() const
{
    return m_reason;
}

QString Ethernet::mac() const
{
    return m_mac;
}

QString Ethernet::method() const
{
    return m_method;
}

IPv4* Ethernet::ipv4()
{
    return &m_ipv4;
}

IPv4* Ethernet::config()
{
    return &m_config;
}

void Ethernet::setMethod(const QString& method)
{
    if (change(m_method, method, "Method"))
        emit methodChanged();
}

void Ethernet::save()
{
    qCInfo(log()).noquote().nospace() << "Saving configuration";
    qCInfo(log()).noquote().nospace() << Rule;
    qCInfo(log()).noquote().nospace() << "Method  : " << m_method;
    qCInfo(log()).noquote().nospace() << "Address : " << m_config.address();
    qCInfo(log()).noquote().nospace() << "Netmask : " << m_config.mask();
    qCInfo(log()).noquote().nospace() << "Gateway : " << m_config.gateway();
    qCInfo(log()).noquote().nospace() << "DNS     : " << m_config.dns0() << ", " << m_config.dns1();
    qCInfo(log()).noquote().nospace() << Rule;

    // Anything but a manual configuration leaves the addressing to the service.
    const bool manual = m_method == QLatin1String("manual");
    const QJsonObject request{
        {QStringLiteral("interface"), m_interface},
        {QStringLiteral("method"), m_method},
        {QStringLiteral("address"), manual ? m_config.address() : QString()},
        {QStringLiteral("netmask"), manual ? m_config.mask() : QString()},
        {QStringLiteral("gateway"), manual ? m_config.gateway() : QString()},
        {QStringLiteral("dns0"), manual ? m_config.dns0() : QString()},
        {QStringLiteral("dns1"), manual ? m_config.dns1() : QString()},
    };
    publishJson(base() + QStringLiteral("/config/set"), request);
}

void Ethernet::reset()
{
    qCInfo(log()).noquote().nospace() << "Refreshing data";
    requestState({QStringLiteral("state"), QStringLiteral("config")});
}

void Ethernet::onStateReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing state topic " << topic;
    const QString interface = text(message, "interface");
    if (interface == Ignored)
        return;
    if (change(m_interface, interface, "Interface"))
        emit interfaceChanged();
    if (change(m_type, text(message, "typeStr"), "Type"))
        emit typeChanged();
    if (change(m_state, text(message, "stateStr"), nullptr))
        emit stateChanged();
    if (change(m_reason, text(message, "reasonStr"), "Reason"))
        emit reasonChanged();
    if (change(m_mac, text(message, "mac"), "MAC"))
        emit macChanged();

    const QVariantMap ipv4 = message.value(QStringLiteral("ipv4")).toObject().toVariantMap();
    if (ipv4 == m_ipv4.toMap())
        return;
    qCInfo(log()).noquote().nospace() << "IPv4 changed : " << ipv4;
    m_ipv4.fromMap(ipv4);
    emit ipv4Changed();
}

void Ethernet::onConfigReceived(const QJsonObject& message, const QString& topic)
{
    qCInfo(log()).noquote().nospace() << "Processing config topic " << topic;
    if (text(message, "interface") == Ignored)
        return;
    setMethod(text(message, "method"));

    // The record holds neither "interface" nor "method", so a full message
    // always differs and re-applies the five fields.
    const QVariantMap config = message.toVariantMap();
    if (config == m_config.toMap())
        return;
    qCInfo(log()).noquote().nospace() << "IPv4 changed : " << config;
    m_config.fromMap(config);
    emit configChanged();
}

bool Ethernet::change(QString& field, const QString& value, const char* label)
{
    if (!assignIfDifferent(field, value))
        return false;
    if (label)
        qCInfo(log()).noquote().nospace() << label << " changed : " << value;
    return true;
}

} // namespace manager
