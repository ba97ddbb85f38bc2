#pragma once

#include "Model/Event.h"

// "Maintenance logout" with the time.
class EventLogout : public Event
{
    Q_OBJECT
public:
    explicit EventLogout(QObject* parent = nullptr);
};
