#pragma once

#include <QJsonObject>
#include <QStringList>

class SessionManager;

namespace manager {
class Network;
class Validator;
} // namespace manager

// Settings a technician scans as a barcode during a maintenance session:
// the validator's OBC address and the Ethernet configuration.
class ConfigurationBarcodes
{
public:
    ConfigurationBarcodes(manager::Validator& validator, manager::Network& network,
                          SessionManager& session);

    // What was applied, a line per setting; empty when nothing was.
    QStringList apply(const QJsonObject& data);

private:
    QStringList applyValidator(const QJsonObject& validator);
    QStringList applyNetwork(const QJsonObject& network);

    manager::Validator& m_validator;
    manager::Network& m_network;
    SessionManager& m_session;
};
