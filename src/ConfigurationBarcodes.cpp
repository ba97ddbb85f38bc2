#include "ConfigurationBarcodes.h"

#include "LogCategories.h"

#include "Common/Secrets.h"
#include "Model/IPv4.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"
#include "SessionManager.h"

#include <QUrl>

ConfigurationBarcodes::ConfigurationBarcodes(manager::Validator& validator,
                                             manager::Network& network, SessionManager& session)
    : m_validator(validator)
    , m_network(network)
    , m_session(session)
{
}

QStringList ConfigurationBarcodes::apply(const QJsonObject& data)
{
    qCInfo(lcGUIManager).noquote().nospace() << "Maintenance Barcode scanned";
    if (!m_session.sessionActive()) {
        qCWarning(lcGUIManager).noquote().nospace() << "WARN: Maintenance session is not active. Ignoring.";
        return {};
    }
    QStringList applied;
    if (data.value(QStringLiteral("validator")).isObject())
        applied += applyValidator(data.value(QStringLiteral("validator")).toObject());
    if (data.value(QStringLiteral("network")).isObject())
        applied += applyNetwork(data.value(QStringLiteral("network")).toObject());
    return applied;
}

QStringList ConfigurationBarcodes::applyValidator(const QJsonObject& validator)
{
    const QString text = validator.value(QStringLiteral("obc")).toString();
    const QUrl url(text);
    if (!url.isValid()) {
        qCWarning(lcGUIManager).noquote().nospace() << "WARN: OBC URL is not valid : " << Secrets::withoutUrlPasswords(text);
        return {};
    }
    qCInfo(lcGUIManager).noquote().nospace() << "Applying Validator configuration";
    m_validator.config()->setObuUrl(url);
    m_validator.saveConfig();
    return {QStringLiteral("OBC : %1").arg(url.toString(QUrl::RemovePassword))};
}

QStringList ConfigurationBarcodes::applyNetwork(const QJsonObject& network)
{
    if (!network.value(QStringLiteral("eth0")).isObject())
        return {};
    const QJsonObject eth0 = network.value(QStringLiteral("eth0")).toObject();
    const auto text = [&eth0](const char* key) { return eth0.value(QLatin1String(key)).toString(); };
    manager::Ethernet* ethernet = m_network.ethernet();
    if (ethernet->interface() != QLatin1String("eth0")) {
        qCWarning(lcGUIManager).noquote().nospace() << "WARN: Active ethernet interface is not 'eth0' : " << ethernet->interface();
        return {};
    }
    const bool manual = text("method") == QLatin1String("manual");
    IPv4* config = ethernet->config();
    // A manual setting needs an address and a mask; the rest may be empty.
    for (const char* field : {"address", "netmask", "gateway", "dns0", "dns1"}) {
        const bool required = qstrcmp(field, "address") == 0 || qstrcmp(field, "netmask") == 0;
        if (manual && (required || !text(field).isEmpty()) && !config->isValidAddress(text(field))) {
            qCWarning(lcGUIManager).noquote().nospace() << "WARN: Ethernet configuration refused, not an address : " << field;
            return {};
        }
    }
    const QStringList applied = {
        QStringLiteral("Method : %1").arg(text("method")),
        QStringLiteral("Address : %1").arg(text("address")),
        QStringLiteral("Netmask : %1").arg(text("netmask")),
        QStringLiteral("Gateway : %1").arg(text("gateway")),
        QStringLiteral("DNS #0 : %1").arg(text("dns0")),
        QStringLiteral("DNS #1 : %1").arg(text("dns1")),
    };
    const auto manualOnly = [manual, &text](const char* key) { return manual ? text(key) : QString(); };
    ethernet->setMethod(manual ? QStringLiteral("manual") : QStringLiteral("auto"));
    config->setAddress(manualOnly("address"));
    config->setMask(manualOnly("netmask"));
    config->setGateway(manualOnly("gateway"));
    config->setDns0(manualOnly("dns0"));
    config->setDns1(manualOnly("dns1"));
    qCInfo(lcGUIManager).noquote().nospace() << "Applying Ethernet configuration to eth0";
    ethernet->save();
    return applied;
}
