#include "CommandLine.h"

#include <QLoggingCategory>
#include "ConfigKeys.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>

#include <cstdlib>

namespace {


} // namespace

QVariantMap CommandLine::parseCLIArgs()
{
    const QCommandLineOption help({ "h", "help" }, "Print help and exit");
    const QCommandLineOption version({ "V", "version" }, "Print version and exit");
    const QCommandLineOption verbose({ "v", "verbose" }, "Set log level: 0=err, 1=warn, 2=info(dfl), 3=dbg", "level");
    const QCommandLineOption toStderr({ "e", "stderr" }, "Print messages to stderr, not just syslog");
    const QCommandLineOption color({ "c", "color" }, "Print messages in color.");
    const QCommandLineOption config({ "f", "config" }, "Set configuration file", "filename");
    const QCommandLineOption host({ "H", "host" }, "Set mqtt broker url", "hostname");
    const QCommandLineOption port({ "P", "port" }, "Set mqtt broker port", "port");
    const QCommandLineOption username({ "u", "username" }, "Set mqtt username", "username");
    const QCommandLineOption password({ "p", "password" }, "Set mqtt password", "password");

    QCommandLineParser parser;
    parser.addOptions({ help, version, verbose, toStderr, color, config, host, port, username, password });
    if (!parser.parse(QCoreApplication::arguments())) {
        qCritical().noquote().nospace() << "ERROR: " << parser.errorText();
        std::exit(1);
    }

    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    QVariantMap overrides;
    if (parser.isSet(verbose)) {
        bool ok = false;
        const int level = parser.value(verbose).toInt(&ok, 10);
        if (ok) {
            qInfo().noquote().nospace() << "Setting Log level : " << level;
            overrides.insert(key::LogLevel, level);
        }
    }
    if (parser.isSet(toStderr)) {
        qInfo().noquote().nospace() << "Log to stderr overridden from user to true";
        overrides.insert(key::LogStderr, true);
    }
    if (parser.isSet(color)) {
        qInfo().noquote().nospace() << "Log with color overridden from user to true";
        overrides.insert(key::LogColor, true);
    }
    if (parser.isSet(host)) {
        qInfo().noquote().nospace() << "Setting MQTT Host : " << parser.value(host);
        overrides.insert(key::MqttHost, parser.value(host));
    }
    if (parser.isSet(port)) {
        qInfo().noquote().nospace() << "Setting MQTT Port : " << parser.value(port);
        overrides.insert(key::MqttPort, parser.value(port).toInt(nullptr, 10));
    }
    if (parser.isSet(username)) {
        qInfo().noquote().nospace() << "Setting MQTT User : " << parser.value(username);
        overrides.insert(key::MqttUsername, parser.value(username));
    }
    if (parser.isSet(password))
        overrides.insert(key::MqttPassword, parser.value(password));
    if (parser.isSet(config)) {
        qInfo().noquote().nospace() << "Using configuration file : " << parser.value(config);
        overrides.insert("config", parser.value(config));
    }
    return overrides;
}
