#include "GUIManager.h"

#include <QString>

const QVariantMap GUIManager::Defaults = {
    { QStringLiteral("log/level"), 2 },
    { QStringLiteral("log/syslog"), true },
    { QStringLiteral("log/stderr"), true },
    { QStringLiteral("log/color"), false },
    { QStringLiteral("mqtt/host"), QStringLiteral("localhost") },
    { QStringLiteral("mqtt/port"), 1883 },
    { QStringLiteral("mqtt/username"), QStringLiteral("") },
    { QStringLiteral("mqtt/password"), QStringLiteral("") },
    { QStringLiteral("mqtt/base"), QStringLiteral("kivo/ui") },
    { QStringLiteral("gui/settingsPin"), QStringLiteral("7315") },
    { QStringLiteral("gui/showCursor"), true },
    { QStringLiteral("gui/deviceId"), QStringLiteral("/etc/serialnumber") },
    { QStringLiteral("gui/locale"), QStringLiteral("el_GR") },
    { QStringLiteral("gui/displayOffMin"), 3 },
    { QStringLiteral("gui/shutdownDelaySec"), 60 },
    { QStringLiteral("gui/showErrorDesc"), false },
    { QStringLiteral("gui/screenSaverBg"), QStringLiteral("black") },
    { QStringLiteral("gui/screenSaverImg"), QStringLiteral("qrc:/qml/images/Icons/kivo.png") },
    { QStringLiteral("gui/animSwitchSec"), 0 },
    { QStringLiteral("topics/barcode"), QStringLiteral("kivo/barcode") },
    { QStringLiteral("topics/blm"), QStringLiteral("kivo/blm") },
    { QStringLiteral("topics/board"), QStringLiteral("kivo/board") },
    { QStringLiteral("topics/inspector"), QStringLiteral("kivo/inspector") },
    { QStringLiteral("topics/network"), QStringLiteral("kivo/network") },
    { QStringLiteral("topics/device"), QStringLiteral("kivo/device") },
};
