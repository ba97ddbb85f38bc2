#include "NetworkService.h"

namespace {

const char* const AddressKeys[] = {"address", "netmask", "gateway", "dns0", "dns1"};

} // namespace

NetworkService::NetworkService(const QString& base, QObject* parent)
    : SimulatedService(QStringLiteral("Network"), base, parent),
      m_config{{"interface", "eth0"}, {"method", "auto"}, {"address", ""}, {"netmask", ""},
               {"gateway", ""},       {"dns0", ""},       {"dns1", ""}}
{
    handle(QStringLiteral("/info/get"), [this](const QJsonObject&) {
        publish(QStringLiteral("/info"), QJsonObject{{"service", QJsonObject{{"version", "0.9.7-sim"}}}});
    });
    handle(QStringLiteral("/status/get"), [this](const QJsonObject&) { publishStatus(); });
    handle(QStringLiteral("/ethernet/state/get"), [this](const QJsonObject&) { publishEthernetState(); });
    handle(QStringLiteral("/ethernet/config/get"), [this](const QJsonObject&) { publishEthernetConfig(); });
    handle(QStringLiteral("/ethernet/config/set"), [this](const QJsonObject& m) { onConfigSet(m); });
}

void NetworkService::publishState()
{
    publish(QStringLiteral("/info"), QJsonObject{{"service", QJsonObject{{"version", "0.9.7-sim"}}}});
    publishStatus();
    publishEthernetState();
    publishEthernetConfig();
}

QJsonObject NetworkService::liveAddresses() const
{
    if (!m_up)
        return {};
    if (m_config.value(QStringLiteral("method")).toString() == QLatin1String("manual")) {
        QJsonObject ipv4;
        for (const char* key : AddressKeys)
            ipv4.insert(QLatin1String(key), m_config.value(QLatin1String(key)));
        return ipv4;
    }
    return {{"address", "192.168.10.57"}, {"netmask", "255.255.255.0"}, {"gateway", "192.168.10.1"},
            {"dns0", "192.168.10.1"},     {"dns1", "9.9.9.9"}};
}

// States in the words the application reads as healthy ("Connected", "Full").
void NetworkService::publishStatus()
{
    QJsonObject status{{"stateStr", m_up ? "Connected" : "Disconnected"},
                       {"connectivityStr", m_up ? "Full" : "None"},
                       {"hostname", "validator-sim"}};
    if (m_up) {
        status.insert(QStringLiteral("primaryConnection"),
                      QJsonObject{{"interface", "eth0"},
                                  {"stateStr", "Connected"},
                                  {"typeStr", "Ethernet"},
                                  {"ipv4", liveAddresses()}});
    }
    publish(QStringLiteral("/status"), status);
}

void NetworkService::publishEthernetState()
{
    publish(QStringLiteral("/ethernet/state"),
            QJsonObject{{"interface", "eth0"},
                        {"typeStr", "Ethernet"},
                        {"stateStr", m_up ? "Connected" : "Disconnected"},
                        {"reasonStr", m_up ? "None" : "Carrier changed"},
                        {"mac", "02:00:5A:11:00:42"},
                        {"ipv4", liveAddresses()}});
}

void NetworkService::publishEthernetConfig()
{
    publish(QStringLiteral("/ethernet/config"), m_config);
}

void NetworkService::onConfigSet(const QJsonObject& message)
{
    if (message.value(QStringLiteral("interface")).toString() != QLatin1String("eth0")) {
        log(QStringLiteral("WARN: Only eth0 can be configured"));
        return;
    }
    const bool manual = message.value(QStringLiteral("method")).toString() == QLatin1String("manual");
    m_config.insert(QStringLiteral("method"), manual ? "manual" : "auto");
    for (const char* key : AddressKeys)
        m_config.insert(QLatin1String(key), manual ? message.value(QLatin1String(key)).toString() : QString());
    log(QStringLiteral("eth0 configured: ") + (manual ? QStringLiteral("static addresses") : QStringLiteral("DHCP")));
    publishEthernetConfig();
    publishEthernetState();
    publishStatus();
}

void NetworkService::setLinkUp(bool up)
{
    m_up = up;
    if (!isOnline())
        return;
    publishStatus();
    publishEthernetState();
}
