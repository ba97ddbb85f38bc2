#include "ConsoleReader.h"
#include "Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

namespace {

bool verbose = false;

// One readable line per event; the client's own chatter only on request.
void printMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (!verbose && (type == QtDebugMsg || (type == QtInfoMsg && text.startsWith(QLatin1String("[MqttClient] ")))))
        return;
    const QByteArray line = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz ")).toUtf8()
        + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillon-simulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays the validator's device services on an MQTT broker."));
    parser.addHelpOption();
    const QCommandLineOption host({"H", "host"}, QStringLiteral("Broker host."), QStringLiteral("host"),
                                  QStringLiteral("localhost"));
    const QCommandLineOption port({"P", "port"}, QStringLiteral("Broker port."), QStringLiteral("port"),
                                  QStringLiteral("1883"));
    const QCommandLineOption verboseOption({"v", "verbose"}, QStringLiteral("Also log the MQTT client's own lines."));
    parser.addOptions({host, port, verboseOption});
    parser.process(app);

    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber == 0 || portNumber > 65535) {
        std::fprintf(stderr, "Invalid port: %s\n", qPrintable(parser.value(port)));
        return 2;
    }
    verbose = parser.isSet(verboseOption);
    qInstallMessageHandler(printMessage);

    Simulator simulator;
    ConsoleReader console;
    QObject::connect(&console, &ConsoleReader::lineRead, &simulator, &Simulator::execute);
    QObject::connect(&simulator, &Simulator::quitRequested, &app, &QCoreApplication::quit);
    simulator.start(parser.value(host), quint16(portNumber));
    return app.exec();
}
