// Times the two writes the application makes on its own: the event log after a
// push with 1000 events held, and the settings file after a change. Each is set
// beside writing the same bytes to the same file with QFile.
#include "Common/Config.h"
#include "EventManager.h"
#include "GUIManager.h"
#include "Model/Event.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

const int Rounds = 200;

double medianMicros(const std::function<void(int)>& step)
{
    std::vector<double> times;
    times.reserve(Rounds);
    QElapsedTimer timer;
    for (int i = 0; i < Rounds; ++i) {
        timer.start();
        step(i);
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double rawWriteMicros(const QString& path)
{
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    return medianMicros([&](int) {
        QFile out(path);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes);
    });
}

void print(const char* figure, double value, double baseline)
{
    QTextStream(stdout) << figure << '\t' << QString::number(value, 'f', 1) << " us\t"
                        << QString::number(baseline, 'f', 1) << " us\t" << QString::number(value / baseline, 'f', 1)
                        << "\n";
}

void eventLogPush(const QString& dir, Config& config)
{
    const QString path = dir + QStringLiteral("/events.ini");
    EventManager log(config, nullptr, path);
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600);
    for (int i = 0; i < 1000; ++i)
        log.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition on"), QStringLiteral("seed"),
                           start.addSecs(i)));
    const double push = medianMicros([&](int i) {
        log.push(new Event(QStringLiteral("General"), QStringLiteral("Maintenance login"),
                           QStringLiteral("User ID : 1"), QDateTime::currentDateTime().addMSecs(i)));
    });
    QCoreApplication::processEvents();
    print("event-log push, 1000 held", push, rawWriteMicros(path));
}

void configSave(const QString& dir)
{
    const QString path = dir + QStringLiteral("/gui.conf");
    Config config(path, GUIManager::Defaults);
    const double save = medianMicros([&](int i) { config.set(QStringLiteral("gui/displayOffMin"), i + 1); });
    print("configuration save", save, rawWriteMicros(path));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("events.conf")), GUIManager::Defaults);
    eventLogPush(dir.path(), config);
    configSave(dir.path());
    return 0;
}
