#pragma once

#include "Model/Event.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class Config;

// The technician's event log: every change is written to "events.ini" next to
// the executable; the newest entries come back at start-up and entries older
// than 30 days are dropped then.
class EventManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant data READ data NOTIFY dataChanged)
public:
    // An empty `filename` means defaultFilename().
    explicit EventManager(Config& config, QObject* parent = nullptr,
                          const QString& filename = QString());

    // "events.ini" in the executable's directory; QUILLON_EVENTS_FILE replaces
    // it so a test or demo run does not write beside an installed binary.
    static QString defaultFilename();

    QVariant data() const;
    // Every held event, oldest first.
    QList<Event*> events() const;

signals:
    void dataChanged();
    // A new record, after it is stored.
    void pushed(const Event* event);

public slots:
    void push(Event* event);
    void clear(const QDateTime& before);
    void clear();
    void applyFilter(const QString& name);
    void applyFilter(int severity);
    void applyFilter(const QDateTime& from, const QDateTime& to = QDateTime::currentDateTime());
    void applyFilterPeriod(const QString& period);

private:
    void load();
    void save();
    void update();
    bool isVisible(const Event* event) const;

    Config& m_config;
    QString m_filename;
    QList<Event*> m_data;
    QList<Event*> m_visible;
    int m_filterSeverity = 0;
    QString m_filterName;
    QDateTime m_filterFrom;
    QDateTime m_filterTo;
};
