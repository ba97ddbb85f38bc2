#include "CommandLine.h"
#include "Common/Config.h"
#include "Common/MqttClient.h"
#include "Common/logger.h"
#include "GUIManager.h"

#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {

void applyLogSettings(const Config& config)
{
    manager::Logger* logger = manager::Logger::instance();
    logger->setLevel(config.get("log/level").toInt());
    logger->setStderr(config.get("log/stderr").toBool());
    logger->setSyslog(config.get("log/syslog").toBool());
    logger->setColor(config.get("log/color").toBool());
}

void startMqtt(manager::MqttClient& mqtt, const Config& config)
{
    mqtt.setClientId(QStringLiteral("%1_%2").arg(QCoreApplication::applicationName())
                         .arg(QCoreApplication::applicationPid()));
    mqtt.setWillMessage(QByteArrayLiteral("{\"service\": false}"));
    mqtt.setWillTopic(config.get("mqtt/base").toString() + QStringLiteral("/status"));
    mqtt.setHostname(config.get("mqtt/host").toString());
    mqtt.setPort(config.get("mqtt/port").toUInt());
    mqtt.setUsername(config.get("mqtt/username").toString());
    mqtt.setPassword(config.get("mqtt/password").toString());
    mqtt.connect();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_IM_MODULE", QByteArrayLiteral("qtvirtualkeyboard"));
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quillon"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillon"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    QGuiApplication::setOrganizationName(QStringLiteral("kivo"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("kivo.example"));

    const QVariantMap overrides = CommandLine::parseCLIArgs();
    const QString filename = overrides.value("config", QStringLiteral("gui.conf")).toString();
    Config config(filename, GUIManager::Defaults);
    config.addOverrides(overrides);

    QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    applyLogSettings(config);
    config.print();
    manager::MqttClient mqtt;
    startMqtt(mqtt, config);
    return app.exec();
}
