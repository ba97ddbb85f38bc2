#pragma once

#include "Model/SAM.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVector>

// The contactless card reader as the validation service reports it, with
// the secure access modules in its slots.
class ValidatorRfid : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(int numberOfSlots READ numberOfSlots NOTIFY numberOfSlotsChanged)
    Q_PROPERTY(QString state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(QString firmware READ firmware NOTIFY firmwareChanged)
    Q_PROPERTY(QString version READ version NOTIFY versionChanged)
    Q_PROPERTY(QString manufacturer READ manufacturer NOTIFY manufacturerChanged)
    Q_PROPERTY(QString model READ model NOTIFY modelChanged)
    Q_PROPERTY(QString deviceUid READ deviceUid NOTIFY deviceUidChanged)
    Q_PROPERTY(SAM* sam READ sam NOTIFY samChanged)
public:
    explicit ValidatorRfid(QObject* parent = nullptr);

    bool active() const;
    // Reading cards: searching for one or holding one.
    bool enabled() const;
    int numberOfSlots() const;
    QString state() const;
    QString error() const;
    QString firmware() const;
    QString version() const;
    QString manufacturer() const;
    QString model() const;
    QString deviceUid() const;
    SAM* sam() const;

    // Information members come with "firmware", status members with "state".
    ValidatorRfid& fromJson(const QJsonObject& data);

signals:
    void activeChanged();
    void enabledChanged();
    void numberOfSlotsChanged();
    void stateChanged();
    void errorChanged();
    void firmwareChanged();
    void versionChanged();
    void manufacturerChanged();
    void modelChanged();
    void deviceUidChanged();
    void samChanged();

private:
    void parseInfo(const QJsonObject& data);
    void parseStatus(const QJsonObject& data);
    void setSlots(const QJsonArray& slotList);
    void setSams(const QJsonArray& sams);
    static QString mapState(int state);

    void setActive(bool active);
    void setState(const QString& state);
    void setError(const QString& error);
    void setFirmware(const QString& firmware);
    void setManufacturer(const QString& manufacturer);
    void setModel(const QString& model);
    void setDeviceUid(const QString& uid);

    bool m_active = false;
    QVector<bool> m_slots;
    QString m_state;
    QString m_error;
    QString m_firmware;
    QString m_version;
    QString m_manufacturer;
    QString m_model;
    QString m_deviceUid;
    QVector<SAM*> m_sams;
};
