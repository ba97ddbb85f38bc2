#pragma once

#include <QLoggingCategory>

namespace manager {

// A class's logging category as Q_LOGGING_CATEGORY defines it, for objects
// that log on behalf of the class that made them. Categories named
// "quillon.<Class>" are shown with the tag "[<Class>] ", a dot becoming "][".
using LogCategory = const QLoggingCategory& (*)();

} // namespace manager
