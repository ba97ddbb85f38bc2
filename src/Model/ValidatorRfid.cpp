#include "Model/ValidatorRfid.h"

#include "Common/AssignIfDifferent.h"

#include <QJsonValue>

ValidatorRfid::ValidatorRfid(QObject* parent) : QObject(parent)
{
}

bool ValidatorRfid::active() const
{
    return m_active;
}

bool ValidatorRfid::enabled() const
{
    return m_state == QLatin1String("Searching") || m_state == QLatin1String("CardFound");
}

int ValidatorRfid::numberOfSlots() const
{
    return m_slots.size();
}

QString ValidatorRfid::state() const
{
    return m_state;
}

QString ValidatorRfid::error() const
{
    return m_error;
}

QString ValidatorRfid::firmware() const
{
    return m_firmware;
}

QString ValidatorRfid::version() const
{
    return m_version;
}

QString ValidatorRfid::manufacturer() const
{
    return m_manufacturer;
}

QString ValidatorRfid::model() const
{
    return m_model;
}

QString ValidatorRfid::deviceUid() const
{
    return m_deviceUid;
}

SAM* ValidatorRfid::sam() const
{
    return m_sams.isEmpty() ? nullptr : m_sams.first();
}

ValidatorRfid& ValidatorRfid::fromJson(const QJsonObject& data)
{
    if (data.contains(QLatin1String("firmware")))
        parseInfo(data);
    if (data.contains(QLatin1String("state")))
        parseStatus(data);
    return *this;
}

void ValidatorRfid::parseInfo(const QJsonObject& data)
{
    setFirmware(data.value(QLatin1String("firmware")).toString());
    setModel(data.value(QLatin1String("model")).toString());
    setManufacturer(data.value(QLatin1String("manufacturer")).toString());
    setDeviceUid(data.value(QLatin1String("uid")).toString());
}

void ValidatorRfid::parseStatus(const QJsonObject& data)
{
    setActive(data.value(QLatin1String("active")).toBool());
    setError(data.value(QLatin1String("error")).toString());
    setState(mapState(data.value(QLatin1String("state")).toInt()));
    setSlots(data.value(QLatin1String("slots")).toArray());
    setSams(data.value(QLatin1String("sams")).toArray());
}

void ValidatorRfid::setSlots(const QJsonArray& slotList)
{
    m_slots.clear();
    for (const QJsonValue& slot : slotList)
        m_slots.append(slot.toBool());
    emit numberOfSlotsChanged();
}

void ValidatorRfid::setSams(const QJsonArray& sams)
{
    // QML may still hold the old ones until control returns to the event loop.
    for (SAM* sam : qAsConst(m_sams))
        sam->deleteLater();
    m_sams.clear();
    for (const QJsonValue& sam : sams)
        m_sams.append(new SAM(sam.toObject(), this));
    emit samChanged();
}

QString ValidatorRfid::mapState(int state)
{
    switch (state) {
    case 0:
        return QStringLiteral("Init");
    case 1:
        return QStringLiteral("Idle");
    case 2:
        return QStringLiteral("Searching");
    case 3:
        return QStringLiteral("CardFound");
    case 4:
        return QStringLiteral("Updating");
    case 5:
        return QStringLiteral("Error");
    default:
        return QStringLiteral("Unknown");
    }
}

void ValidatorRfid::setActive(bool active)
{
    if (manager::assignIfDifferent(m_active, active))
        emit activeChanged();
}

void ValidatorRfid::setState(const QString& state)
{
    if (!manager::assignIfDifferent(m_state, state))
        return;
    emit stateChanged();
    emit enabledChanged();
}

void ValidatorRfid::setError(const QString& error)
{
    if (manager::assignIfDifferent(m_error, error))
        emit errorChanged();
}

void ValidatorRfid::setFirmware(const QString& firmware)
{
    if (manager::assignIfDifferent(m_firmware, firmware))
        emit firmwareChanged();
}

void ValidatorRfid::setManufacturer(const QString& manufacturer)
{
    if (manager::assignIfDifferent(m_manufacturer, manufacturer))
        emit manufacturerChanged();
}

void ValidatorRfid::setModel(const QString& model)
{
    if (manager::assignIfDifferent(m_model, model))
        emit modelChanged();
}

void ValidatorRfid::setDeviceUid(const QString& uid)
{
    if (manager::assignIfDifferent(m_deviceUid, uid))
        emit deviceUidChanged();
}
