#pragma once

#include <QVariantMap>

// Turns the application's arguments into configuration overrides.
class CommandLine
{
public:
    // Prints help or version and exits, or exits with 1 on a parse error.
    static QVariantMap parseCLIArgs();
};
