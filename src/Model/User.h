#pragma once

#include <QString>

// A maintenance user; the PIN is compared as an exact string.
struct User {
    int id = 0;
    QString name;
    QString surname;
    QString pin;
};
