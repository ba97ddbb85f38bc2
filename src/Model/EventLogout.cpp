#include "Model/EventLogout.h"

EventLogout::EventLogout(QObject* parent)
    : Event(parent)
{
    m_category = QStringLiteral("General");
    m_name = QStringLiteral("Maintenance logout");
    m_timestamp = QDateTime::currentDateTime();
    m_descr = QStringLiteral("Date : %1").arg(m_timestamp.toString());
}
