#pragma once

#include "Model/Event.h"

struct User;

// "Maintenance login" with the user's identity and the time.
class EventLogin : public Event
{
    Q_OBJECT
public:
    explicit EventLogin(const User* user, QObject* parent = nullptr);
};
