#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// One set of IPv4 settings, kept as the map the network service speaks.
class IPv4 : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(QString gateway READ gateway WRITE setGateway NOTIFY gatewayChanged)
    Q_PROPERTY(QString mask READ mask WRITE setMask NOTIFY maskChanged)
    Q_PROPERTY(QString dns0 READ dns0 WRITE setDns0 NOTIFY dns0Changed)
    Q_PROPERTY(QString dns1 READ dns1 WRITE setDns1 NOTIFY dns1Changed)
public:
    explicit IPv4(QObject* parent = nullptr);

    QString address() const;
    QString gateway() const;
    QString mask() const;
    QString dns0() const;
    QString dns1() const;

    void setAddress(const QString& address);
    void setMask(const QString& mask);
    void setGateway(const QString& gateway);
    void setDns0(const QString& dns0);
    void setDns1(const QString& dns1);

    // Four decimal numbers from 0 to 255 joined by dots, without leading zeros:
    // what the settings page accepts in an address field.
    Q_INVOKABLE bool isValidAddress(const QString& text) const;

    const QVariantMap& toMap() const;
    IPv4& fromMap(const QVariantMap& map);

signals:
    void addressChanged();
    void maskChanged();
    void gatewayChanged();
    void dns0Changed();
    void dns1Changed();

private:
    void set(const QString& key, const QString& value, void (IPv4::*changed)());

    QVariantMap m_map;
};
