#include "Model/Event.h"

Event::Event(QObject* parent)
    : QObject(parent)
{
}

Event::Event(const QString& category, const QString& name, const QString& description,
             const QDateTime& timestamp, QObject* parent)
    : QObject(parent)
    , m_category(category)
    , m_name(name)
    , m_descr(description)
    , m_timestamp(timestamp)
{
}

QString Event::category() const
{
    return m_category;
}

QString Event::name() const
{
    return m_name;
}

QString Event::description() const
{
    return m_descr;
}

QDateTime Event::timestamp() const
{
    return m_timestamp;
}
