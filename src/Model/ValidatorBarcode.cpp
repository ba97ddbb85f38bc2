#include "Model/ValidatorBarcode.h"

#include "Common/AssignIfDifferent.h"

ValidatorBarcode::ValidatorBarcode(QObject* parent) : QObject(parent)
{
}

bool ValidatorBarcode::active() const
{
    return m_active;
}

bool ValidatorBarcode::enabled() const
{
    return m_enabled;
}

QString ValidatorBarcode::firmware() const
{
    return m_firmware;
}

QString ValidatorBarcode::version() const
{
    return m_version;
}

QString ValidatorBarcode::manufacturer() const
{
    return m_manufacturer;
}

QString ValidatorBarcode::model() const
{
    return m_model;
}

ValidatorBarcode& ValidatorBarcode::fromJson(const QJsonObject& data)
{
    if (data.contains(QLatin1String("active")))
        setActive(data.value(QLatin1String("active")).toBool());
    if (data.contains(QLatin1String("enabled")))
        setEnabled(data.value(QLatin1String("enabled")).toBool());
    if (data.contains(QLatin1String("firmware")))
        setFirmware(data.value(QLatin1String("firmware")).toString());
    if (data.contains(QLatin1String("manufacturer")))
        setManufacturer(data.value(QLatin1String("manufacturer")).toString());
    if (data.contains(QLatin1String("model")))
        setModel(data.value(QLatin1String("model")).toString());
    return *this;
}

void ValidatorBarcode::setActive(bool active)
{
    if (manager::assignIfDifferent(m_active, active))
        emit activeChanged();
}

void ValidatorBarcode::setEnabled(bool enabled)
{
    if (manager::assignIfDifferent(m_enabled, enabled))
        emit enabledChanged();
}

void ValidatorBarcode::setFirmware(const QString& firmware)
{
    if (manager::assignIfDifferent(m_firmware, firmware))
        emit firmwareChanged();
}

void ValidatorBarcode::setManufacturer(const QString& manufacturer)
{
    if (manager::assignIfDifferent(m_manufacturer, manufacturer))
        emit manufacturerChanged();
}

void ValidatorBarcode::setModel(const QString& model)
{
    if (manager::assignIfDifferent(m_model, model))
        emit modelChanged();
}
