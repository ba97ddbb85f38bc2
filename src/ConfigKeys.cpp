#include "ConfigKeys.h"

#include "GUIManager.h"

#include <QColor>
#include <QDir>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

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

namespace {

bool isBool(const QVariant& value)
{
    if (value.type() == QVariant::Bool)
        return true;
    const QString text = value.toString().toLower();
    return text == QLatin1String("true") || text == QLatin1String("false");
}

ConfigRules::Check intIn(int low, int high)
{
    return [low, high](const QVariant& value) {
        bool ok = false;
        const int number = value.toString().toInt(&ok);
        return ok && number >= low && number <= high;
    };
}

bool matches(const QVariant& value, const QString& pattern)
{
    return value.type() != QVariant::Bool && QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                                                 .match(value.toString()).hasMatch();
}

// Levels of plain names: no wildcard, no empty level, nothing a broker's
// configuration could read otherwise.
bool isTopic(const QVariant& value)
{
    return matches(value, QStringLiteral("[A-Za-z0-9_-]+(/[A-Za-z0-9_-]+)*"));
}

// The application's own base: a topic apart from every device service's
// topics, so that nothing meant for the application reaches a service, and a
// fleet link made from it carries no service's topics.
bool isOwnBase(const QVariant& value)
{
    if (!isTopic(value))
        return false;
    const QString base = value.toString() + QLatin1Char('/');
    QStringList services{QStringLiteral("kivo/rfid")};
    for (auto it = GUIManager::Defaults.cbegin(); it != GUIManager::Defaults.cend(); ++it) {
        if (it.key().startsWith(QLatin1String("topics/")))
            services << it.value().toString();
    }
    return std::none_of(services.cbegin(), services.cend(), [&base](const QString& service) {
        const QString other = service + QLatin1Char('/');
        return base.startsWith(other) || other.startsWith(base);
    });
}

bool isPin(const QVariant& value)
{
    return matches(value, QStringLiteral("[0-9]{4,8}"));
}

bool isHost(const QVariant& value)
{
    return matches(value, QStringLiteral("[A-Za-z0-9.:_-]{1,253}"));
}

// No control characters, nothing beyond what a broker takes.
bool isPlainText(const QVariant& value)
{
    return matches(value, QStringLiteral("[^\\x00-\\x1f\\x7f]{0,256}"));
}

bool isLocale(const QVariant& value)
{
    return matches(value, QStringLiteral("[a-z]{2,3}(_[A-Z]{2})?"));
}

bool isColour(const QVariant& value)
{
    return QColor::isValidColor(value.toString());
}

// The application's own resources or a local file; nothing fetched from afar.
bool isLocalImage(const QVariant& value)
{
    const QUrl url(value.toString(), QUrl::StrictMode);
    if (!url.isValid() || !url.host().isEmpty())
        return false;
    return (url.scheme() == QLatin1String("qrc") || url.scheme() == QLatin1String("file")) && !url.path().isEmpty();
}

// An absolute path to a file; not a device or a kernel interface.
bool isDeviceIdPath(const QVariant& value)
{
    const QString path = value.toString();
    if (!QDir::isAbsolutePath(path) || path.contains(QLatin1String("/../")) || path.endsWith(QLatin1String("/..")))
        return false;
    for (const char* system : {"/dev/", "/proc/", "/sys/"}) {
        if (path.startsWith(QLatin1String(system)))
            return false;
    }
    return true;
}

} // namespace

const ConfigRules GUIManager::Rules = {
    {
        { key::LogLevel, intIn(0, 4) },
        { key::LogSyslog, isBool },
        { key::LogStderr, isBool },
        { key::LogColor, isBool },
        { key::MqttHost, isHost },
        { key::MqttPort, intIn(1, 65535) },
        { key::MqttUsername, isPlainText },
        { key::MqttPassword, isPlainText },
        { key::MqttBase, isOwnBase },
        { key::SettingsPin, isPin },
        { key::ShowCursor, isBool },
        { key::DeviceId, isDeviceIdPath },
        { key::Locale, isLocale },
        { key::DisplayOffMin, intIn(0, 1440) },
        { key::ShutdownDelaySec, intIn(0, 86400) },
        { key::ShowErrorDesc, isBool },
        { key::ScreenSaverBg, isColour },
        { key::ScreenSaverImg, isLocalImage },
        { key::AnimSwitchSec, intIn(0, 600000) },
        { key::TopicBarcode, isTopic },
        { key::TopicBlm, isTopic },
        { key::TopicBoard, isTopic },
        { key::TopicInspector, isTopic },
        { key::TopicNetwork, isTopic },
        { key::TopicDevice, isTopic },
    },
    { key::MqttPassword, key::SettingsPin },
};
