#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

// One entry of the technician's event log.
class Event : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString category READ category NOTIFY categoryChanged)
    Q_PROPERTY(QString name READ name NOTIFY nameChanged)
    Q_PROPERTY(QString description READ description NOTIFY descriptionChanged)
    Q_PROPERTY(QDateTime timestamp READ timestamp NOTIFY timestampChanged)
public:
    explicit Event(QObject* parent = nullptr);
    Event(const QString& category, const QString& name, const QString& description,
          const QDateTime& timestamp, QObject* parent = nullptr);

    QString category() const;
    QString name() const;
    QString description() const;
    QDateTime timestamp() const;

signals:
    void categoryChanged();
    void nameChanged();
    void descriptionChanged();
    void timestampChanged();

protected:
    QString m_category;
    QString m_name;
    QString m_descr;
    QDateTime m_timestamp;
};
