#pragma once

#include <QString>

// The application's configuration keys, written once: the defaults table,
// the properties and the change handlers all name them from here.
namespace key {

inline const QString LogLevel = QStringLiteral("log/level");
inline const QString LogSyslog = QStringLiteral("log/syslog");
inline const QString LogStderr = QStringLiteral("log/stderr");
inline const QString LogColor = QStringLiteral("log/color");
inline const QString MqttHost = QStringLiteral("mqtt/host");
inline const QString MqttPort = QStringLiteral("mqtt/port");
inline const QString MqttUsername = QStringLiteral("mqtt/username");
inline const QString MqttPassword = QStringLiteral("mqtt/password");
inline const QString MqttBase = QStringLiteral("mqtt/base");
inline const QString SettingsPin = QStringLiteral("gui/settingsPin");
inline const QString ShowCursor = QStringLiteral("gui/showCursor");
inline const QString DeviceId = QStringLiteral("gui/deviceId");
inline const QString Locale = QStringLiteral("gui/locale");
inline const QString DisplayOffMin = QStringLiteral("gui/displayOffMin");
inline const QString ShutdownDelaySec = QStringLiteral("gui/shutdownDelaySec");
inline const QString ShowErrorDesc = QStringLiteral("gui/showErrorDesc");
inline const QString ScreenSaverBg = QStringLiteral("gui/screenSaverBg");
inline const QString ScreenSaverImg = QStringLiteral("gui/screenSaverImg");
inline const QString AnimSwitchSec = QStringLiteral("gui/animSwitchSec");
inline const QString TopicBarcode = QStringLiteral("topics/barcode");
inline const QString TopicBlm = QStringLiteral("topics/blm");
inline const QString TopicBoard = QStringLiteral("topics/board");
inline const QString TopicInspector = QStringLiteral("topics/inspector");
inline const QString TopicNetwork = QStringLiteral("topics/network");
inline const QString TopicDevice = QStringLiteral("topics/device");

} // namespace key
