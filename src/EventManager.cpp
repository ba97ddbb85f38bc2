#include "EventManager.h"

#include <QLoggingCategory>

#include <QCoreApplication>
#include <QDebug>
#include <QSettings>

#include <algorithm>

Q_LOGGING_CATEGORY(lcEventManager, "quillon.EventManager")

namespace {

const int MaxLoaded = 1000;
const int MaxHeld = 1000;
const int RetentionDays = 30;


QTime endOfDay()
{
    return QTime(23, 59, 59, 999);
}

} // namespace

EventManager::EventManager(Config& config, QObject* parent, const QString& filename)
    : QObject(parent)
    , m_config(config)
    , m_filename(filename.isEmpty() ? defaultFilename() : filename)
{
    load();
    clear(QDateTime::currentDateTime().addDays(-RetentionDays));
}

QString EventManager::defaultFilename()
{
    const QString overridden = qEnvironmentVariable("QUILLON_EVENTS_FILE");
    if (!overridden.isEmpty())
        return overridden;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/events.ini");
}

QVariant EventManager::data() const
{
    // QML takes a list of QObject pointers as a model.
    QList<QObject*> objects;
    objects.reserve(m_visible.size());
    for (Event* event : m_visible)
        objects.append(event);
    return QVariant::fromValue(objects);
}

QList<Event*> EventManager::events() const
{
    return m_data;
}

void EventManager::push(Event* event)
{
    if (!event)
        return;
    if (m_data.size() > MaxHeld)
        m_data.takeFirst()->deleteLater();
    event->setParent(this);
    m_data.append(event);
    save();
    update();
    emit pushed(event);
}

void EventManager::clear(const QDateTime& before)
{
    int count = 0;
    for (auto it = m_data.begin(); it != m_data.end();) {
        if ((*it)->timestamp() <= before) {
            (*it)->deleteLater();
            it = m_data.erase(it);
            ++count;
        } else {
            ++it;
        }
    }
    qCInfo(lcEventManager).noquote().nospace() << "Deleted " << count << " event(s) older than "
               << before.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (count != 0)
        save();
    update();
}

void EventManager::clear()
{
    if (m_data.isEmpty())
        return;
    for (Event* event : qAsConst(m_data))
        event->deleteLater();
    m_data.clear();
    save();
    update();
}

void EventManager::applyFilter(const QString& name)
{
    qCInfo(lcEventManager).noquote().nospace() << "Filtering : name=" << name;
    m_filterName = name;
    update();
}

void EventManager::applyFilter(int severity)
{
    qCInfo(lcEventManager).noquote().nospace() << "Filtering : severity=" << severity;
    m_filterSeverity = severity;
    update();
}

void EventManager::applyFilter(const QDateTime& from, const QDateTime& to)
{
    qCInfo(lcEventManager).noquote().nospace() << "Filtering : from=" << from.toString() << " to=" << to.toString();
    m_filterFrom = from;
    m_filterTo = to;
    update();
}

void EventManager::applyFilterPeriod(const QString& period)
{
    qCInfo(lcEventManager).noquote().nospace() << "Filtering (period) : " << period;
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    if (period == QLatin1String("Last hour"))
        applyFilter(now.addSecs(-3600), now);
    else if (period == QLatin1String("Last 2 hours"))
        applyFilter(now.addSecs(-7200), now);
    else if (period == QLatin1String("Last 5 hours"))
        applyFilter(now.addSecs(-18000), now);
    else if (period == QLatin1String("Today"))
        applyFilter(QDateTime(today, QTime(0, 0)), QDateTime(today, endOfDay()));
    else if (period == QLatin1String("Yesterday"))
        applyFilter(QDateTime(today.addDays(-1), QTime(0, 0)),
                    QDateTime(today.addDays(-1), endOfDay()));
    else if (period == QLatin1String("Last week"))
        applyFilter(QDateTime(today.addDays(-7), QTime(0, 0)), now);
    else if (period == QLatin1String("Last month"))
        applyFilter(QDateTime(today.addMonths(-1), QTime(0, 0)), now);
    else
        applyFilter(QDateTime(), QDateTime());
}

void EventManager::load()
{
    QSettings file(m_filename, QSettings::NativeFormat);
    const int size = file.beginReadArray(QStringLiteral("events"));
    const int first = size > MaxLoaded ? size - MaxLoaded : 0;
    qCInfo(lcEventManager).noquote().nospace() << "Loading saved events : from=" << first << " to=" << size;
    for (int i = first; i < size; ++i) {
        file.setArrayIndex(i);
        m_data.append(new Event(file.value(QStringLiteral("category")).toString(),
                                file.value(QStringLiteral("name")).toString(),
                                file.value(QStringLiteral("desc")).toString(),
                                file.value(QStringLiteral("timestamp")).toDateTime(), this));
    }
    file.endArray();
}

void EventManager::save()
{
    QSettings file(m_filename, QSettings::NativeFormat);
    file.clear();
    file.beginWriteArray(QStringLiteral("events"), m_data.size());
    for (int i = 0; i < m_data.size(); ++i) {
        const Event* event = m_data.at(i);
        file.setArrayIndex(i);
        file.setValue(QStringLiteral("category"), event->category());
        file.setValue(QStringLiteral("name"), event->name());
        file.setValue(QStringLiteral("desc"), event->description());
        file.setValue(QStringLiteral("timestamp"), event->timestamp());
    }
    file.endArray();
    file.sync();
    if (!file.isWritable() || file.status() == QSettings::AccessError)
        qCWarning(lcEventManager).noquote().nospace() << "WARN: Cannot write events file : " << m_filename
                                       << ", events are kept in memory only";
}

void EventManager::update()
{
    m_visible.clear();
    for (Event* event : qAsConst(m_data)) {
        if (isVisible(event))
            m_visible.append(event);
    }
    std::stable_sort(m_visible.begin(), m_visible.end(), [](const Event* a, const Event* b) {
        return a->timestamp() > b->timestamp();
    });
    emit dataChanged();
}

bool EventManager::isVisible(const Event* event) const
{
    if (m_filterFrom.isValid() && event->timestamp() < m_filterFrom)
        return false;
    if (m_filterTo.isValid() && m_filterTo < event->timestamp())
        return false;
    return m_filterName.isEmpty() || event->name().contains(m_filterName, Qt::CaseInsensitive);
}
