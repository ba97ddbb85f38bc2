#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

// The barcode reader as the validation service reports it.
class ValidatorBarcode : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(QString firmware READ firmware NOTIFY firmwareChanged)
    Q_PROPERTY(QString version READ version NOTIFY versionChanged)
    Q_PROPERTY(QString manufacturer READ manufacturer NOTIFY manufacturerChanged)
    Q_PROPERTY(QString model READ model NOTIFY modelChanged)
public:
    explicit ValidatorBarcode(QObject* parent = nullptr);

    bool active() const;
    bool enabled() const;
    QString firmware() const;
    QString version() const;
    QString manufacturer() const;
    QString model() const;

    // Only the members present are applied: status messages carry a subset.
    ValidatorBarcode& fromJson(const QJsonObject& data);

signals:
    void activeChanged();
    void enabledChanged();
    void firmwareChanged();
    void versionChanged();
    void manufacturerChanged();
    void modelChanged();

private:
    void setActive(bool active);
    void setEnabled(bool enabled);
    void setFirmware(const QString& firmware);
    void setManufacturer(const QString& manufacturer);
    void setModel(const QString& model);

    bool m_active = false;
    bool m_enabled = false;
    QString m_firmware;
    QString m_version;
    QString m_manufacturer;
    QString m_model;
};
