#pragma once

#include "SimulatedService.h"

#include <QJsonObject>

// The network service with the wired interface eth0.
class NetworkService : public SimulatedService
{
    Q_OBJECT
public:
    explicit NetworkService(const QString& base, QObject* parent = nullptr);

    void publishState() override;

    void setLinkUp(bool up);

private:
    void publishStatus();
    void publishEthernetState();
    void publishEthernetConfig();
    void onConfigSet(const QJsonObject& message);
    // The addresses in use: the stored ones, or what the DHCP server gave.
    QJsonObject liveAddresses() const;

    bool m_up = true;
    QJsonObject m_config;
};
