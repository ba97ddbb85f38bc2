#pragma once

#include "SimulatedService.h"

#include <QJsonObject>
#include <QString>

// The validation service with its card and barcode readers.
class ValidationService : public SimulatedService
{
    Q_OBJECT
public:
    enum class Health { Online, Init, NoRoute, RfidError, RfidUpdating };

    explicit ValidationService(const QString& base, QObject* parent = nullptr);

    void publishState() override;

    // Deny reason 0 means accepted.
    void tapCard(int type, int denyReason);
    void scanTicket(int denyReason);
    void askRetry();
    void scanConfiguration(const QJsonObject& barcode);

    void setHealth(Health health);
    void setDegraded(bool obuLost, bool qrLost);
    // Unknown leaves the NTP flag out of the status, as when NTP is not used.
    enum class Ntp { Unknown, Synced, Lost };
    void setNtp(Ntp ntp);

private:
    void publishInfo();
    void publishStatus();
    void publishConfig();
    void onConfigSet(const QJsonObject& message);
    void setRfidEnabled(bool enabled);
    void setBarcodeEnabled(bool enabled);
    QJsonObject rfidStatus() const;
    QJsonObject stateFlags() const;

    Health m_health = Health::Online;
    bool m_obuLost = false;
    bool m_qrLost = false;
    Ntp m_ntp = Ntp::Synced;
    bool m_rfidEnabled = false;
    bool m_barcodeEnabled = false;
    QJsonObject m_blm;
    QJsonObject m_validator;
    int m_cardCounter = 0;
};
