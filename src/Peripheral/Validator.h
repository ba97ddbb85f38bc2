#pragma once

#include "Model/ValidatorBarcode.h"
#include "Model/ValidatorConfig.h"
#include "Model/ValidatorRfid.h"
#include "Peripheral/StatusServiceManager.h"

#include <QJsonObject>
#include <QString>
#include <QUrl>

class Transaction;

namespace manager {

// Client of the validation service: its health as status, reason and code,
// its configuration, the two reader records, card events and validation
// results. The service publishes its readers' card events on absolute
// topics, outside its base.
class Validator : public StatusServiceManager
{
    Q_OBJECT
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString reason READ reason NOTIFY reasonChanged)
    Q_PROPERTY(QString version READ version NOTIFY versionChanged)
    Q_PROPERTY(QString route READ route NOTIFY routeChanged)
    Q_PROPERTY(QString vehicle READ vehicle NOTIFY vehicleChanged)
    Q_PROPERTY(ValidatorConfig* config READ config NOTIFY configChanged)
    // The readers' records never change; their own properties do.
    Q_PROPERTY(ValidatorBarcode* barcode READ barcode CONSTANT)
    Q_PROPERTY(ValidatorRfid* rfid READ rfid CONSTANT)
public:
    Validator(MessageBus& mqtt, const QString& base, QObject* parent = nullptr);

    QString reason() const;
    QString reasonCode() const;
    QString version() const;
    QString route() const;
    QString vehicle() const;
    ValidatorConfig* config();
    ValidatorBarcode* barcode();
    ValidatorRfid* rfid();

signals:
    void reasonChanged();
    void versionChanged();
    void routeChanged();
    void vehicleChanged();
    void configChanged();
    void barcodeChanged();
    void rfidChanged();
    void cardDetected(const QString& uid, const QString& type);
    void cardRemoved();
    void cardRetry();
    // The transaction lives only while this signal is delivered.
    void ticketValidated(const Transaction& transaction);
    void maintenanceBarcodeScanned(const QJsonObject& data);

public slots:
    void enableBarcode();
    void disableBarcode();
    void enableRfid();
    void disableRfid();
    void saveConfig();
    void refreshConfig();

protected:
    void logStatus(const QString& status) const override;

private:
    void onMqttDisconnected();
    void onInfoReceived(const QJsonObject& message, const QString& topic);
    void onStatusReceived(const QJsonObject& message, const QString& topic);
    void onConfigReceived(const QJsonObject& message, const QString& topic);
    void onCardFound(const QJsonObject& message, const QString& topic);
    void onCardScannedReceived(const QJsonObject& message, const QString& topic);
    void deriveStatus(const QJsonObject& state);
    void setReason(const QString& reason, const QString& code);
    static QUrl parseUrl(const QJsonObject& blm);
    static QString mapCardType(int type);

    QString m_reason;
    QString m_reasonCode;
    QString m_version;
    QString m_route;
    QString m_vehicle;
    ValidatorConfig m_config;
    ValidatorBarcode m_barcode;
    ValidatorRfid m_rfid;
};

} // namespace manager
