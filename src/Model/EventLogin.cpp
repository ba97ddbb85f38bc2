#include "Model/EventLogin.h"

#include "Model/User.h"

EventLogin::EventLogin(const User* user, QObject* parent)
    : Event(parent)
{
    m_category = QStringLiteral("General");
    m_name = QStringLiteral("Maintenance login");
    m_timestamp = QDateTime::currentDateTime();
    const User none;
    const User& who = user ? *user : none;
    m_descr = QStringLiteral("User ID : %1\nFirst name : %2\nLast name : %3\nDate : %4")
                  .arg(who.id)
                  .arg(who.name, who.surname, m_timestamp.toString());
}
