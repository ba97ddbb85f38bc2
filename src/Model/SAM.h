#pragma once

#include <QDate>
#include <QJsonObject>
#include <QObject>
#include <QString>

// One secure access module in a slot of the card reader.
class SAM : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int slot READ slot NOTIFY slotChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(bool unlocked READ unlocked NOTIFY unlockedChanged)
    Q_PROPERTY(QString atr READ atr NOTIFY atrChanged)
    Q_PROPERTY(QString batch READ batch NOTIFY batchChanged)
    Q_PROPERTY(QString mode READ mode NOTIFY modeChanged)
    Q_PROPERTY(QString name READ name NOTIFY nameChanged)
    Q_PROPERTY(QDate production READ production NOTIFY productionChanged)
    Q_PROPERTY(QString uid READ uid NOTIFY uidChanged)
    Q_PROPERTY(QString vendor READ vendor NOTIFY vendorChanged)
    Q_PROPERTY(QString version READ version NOTIFY versionChanged)
public:
    explicit SAM(QObject* parent = nullptr);
    explicit SAM(const QJsonObject& data, QObject* parent = nullptr);

    int slot() const;
    bool enabled() const;
    bool unlocked() const;
    QString atr() const;
    QString batch() const;
    QString mode() const;
    QString name() const;
    QDate production() const;
    QString uid() const;
    QString vendor() const;
    QString version() const;

    SAM& fromJson(const QJsonObject& data);

signals:
    void slotChanged();
    void enabledChanged();
    void unlockedChanged();
    void atrChanged();
    void batchChanged();
    void modeChanged();
    void nameChanged();
    void productionChanged();
    void uidChanged();
    void vendorChanged();
    void versionChanged();

private:
    template <typename T>
    void assign(T& member, const T& value, void (SAM::*changed)());

    int m_slot = 0;
    bool m_enabled = false;
    bool m_unlocked = false;
    QString m_atr;
    QString m_batch;
    QString m_mode;
    QString m_name;
    QDate m_production;
    QString m_uid;
    QString m_vendor;
    QString m_version;
};
