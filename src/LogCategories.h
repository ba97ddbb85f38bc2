#pragma once

#include <QLoggingCategory>

// The application objects whose parts log under the object's own tag.
Q_DECLARE_LOGGING_CATEGORY(lcGUIManager)
Q_DECLARE_LOGGING_CATEGORY(lcDiagnostics)
