#include "ConfigKeys.h"

#include "GUIManager.h"

const QVariantMap GUIManager::Defaults = {
    { key::LogLevel, 2 },
    { key::LogSyslog, true },
    { key::LogStderr, true },
    { key::LogColor, false },
    { key::MqttHost, QStringLiteral("localhost") },
    { key::MqttPort, 1883 },
    { key::MqttUsername, QStringLiteral("") },
    { key::MqttPassword, QStringLiteral("") },
    { key::MqttBase, QStringLiteral("kivo/ui") },
    { key::SettingsPin, QStringLiteral("7315") },
    { key::ShowCursor, true },
    { key::DeviceId, QStringLiteral("/etc/serialnumber") },
    { key::Locale, QStringLiteral("el_GR") },
    { key::DisplayOffMin, 3 },
    { key::ShutdownDelaySec, 60 },
    { key::ShowErrorDesc, false },
    { key::ScreenSaverBg, QStringLiteral("black") },
    { key::ScreenSaverImg, QStringLiteral("qrc:/qml/images/Icons/kivo.png") },
    { key::AnimSwitchSec, 0 },
    { key::TopicBarcode, QStringLiteral("kivo/barcode") },
    { key::TopicBlm, QStringLiteral("kivo/blm") },
    { key::TopicBoard, QStringLiteral("kivo/board") },
    { key::TopicInspector, QStringLiteral("kivo/inspector") },
    { key::TopicNetwork, QStringLiteral("kivo/network") },
    { key::TopicDevice, QStringLiteral("kivo/device") },
};
