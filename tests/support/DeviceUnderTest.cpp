#include "DeviceUnderTest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QTest>

#include <algorithm>

DeviceUnderTest::DeviceUnderTest(const QByteArray& serial) : m_serial(serial)
{
    QFile serialFile(filePath(QStringLiteral("serialnumber")));
    QFile conf(filePath(QStringLiteral("gui.conf")));
    if (serialFile.open(QIODevice::WriteOnly))
        serialFile.write(serial + "\n");
    if (conf.open(QIODevice::WriteOnly))
        conf.write("[gui]\ndeviceId=" + serialFile.fileName().toUtf8()
                   + "\nlocale=en_GB\nshutdownDelaySec=1\n\n[log]\nsyslog=false\n");
    m_app.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_app, &QProcess::readyReadStandardOutput, this,
            [this] { m_appLog += m_app.readAllStandardOutput(); });
}

DeviceUnderTest::~DeviceUnderTest()
{
    for (QProcess* p : {&m_app, &m_sim}) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}

bool DeviceUnderTest::startBroker(const QString& watched)
{
    if (!m_broker.start())
        return false;
    m_peer = std::make_unique<MqttPeer>(m_broker.port());
    return m_peer->connectAndWait() && m_peer->subscribeAndWait(watched);
}

bool DeviceUnderTest::startServices()
{
    if (!startBroker())
        return false;
    if (!m_broker.startSimulator(m_sim, filePath(QStringLiteral("simulator.log")))
        || !m_peer->waitFor(QStringLiteral("kivo/device/status")))
        return false;
    // Once a retry command comes back the simulator hears the application.
    return QTest::qWaitFor(
        [this] {
            const int from = m_peer->size();
            command(QStringLiteral("retry"));
            return m_peer->waitFor(QStringLiteral("kivo/blm/rfid/retry"), 1000, from);
        },
        30000);
}

bool DeviceUnderTest::launchApplication(const QStringList& wrapper)
{
    if (!QFile::exists(qEnvironmentVariable("QUILLON_BIN")))
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLON_EVENTS_FILE"), filePath(QStringLiteral("events.ini")));
    m_app.setProcessEnvironment(env);
    m_app.setWorkingDirectory(m_dir.path());
    QStringList command = wrapper;
    command << qEnvironmentVariable("QUILLON_BIN") << QStringLiteral("-f") << filePath(QStringLiteral("gui.conf"))
            << QStringLiteral("-e") << QStringLiteral("-H") << m_broker.host() << QStringLiteral("-P")
            << QString::number(m_broker.port());
    m_app.start(command.takeFirst(), command);
    return m_app.waitForStarted(5000);
}

bool DeviceUnderTest::startApplication()
{
    return launchApplication() && waitForPassengerScreen();
}

// The passenger screen needs the validation service's state, which the
// simulator sends again as soon as the application announces itself.
bool DeviceUnderTest::waitForPassengerScreen(int from)
{
    // Under emulation (the arm64 road) loading the pages can outlast the
    // broker's keep-alive, and the application first reconnects.
    return waitLog("Setting screen : ScanScreens", from, 60000);
}

void DeviceUnderTest::killApplication()
{
    m_app.kill();
    m_app.waitForFinished(30000);
}

void DeviceUnderTest::printLogs() const
{
    qWarning().noquote() << m_serial << "application log:\n" << m_appLog.right(6000);
    QFile sim(filePath(QStringLiteral("simulator.log")));
    if (sim.open(QIODevice::ReadOnly))
        qWarning().noquote() << m_serial << "simulator log:\n" << sim.readAll().right(6000);
}

void DeviceUnderTest::command(const QString& line)
{
    m_peer->publish(QStringLiteral("kivo/simulator/command"), line.toUtf8());
}

bool DeviceUnderTest::waitLog(const QByteArray& text, int from, int millis)
{
    return QTest::qWaitFor([&] { return m_appLog.indexOf(text, from) >= 0; }, millis);
}

bool DeviceUnderTest::findWindow()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                             QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                             QString::number(m_app.processId())});
    if (!search.waitForFinished(10000) || search.exitCode() != 0)
        return false;
    m_window = QString::fromUtf8(search.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    return !m_window.isEmpty()
        && pointer({QStringLiteral("windowmove"), m_window, QStringLiteral("0"), QStringLiteral("0")})
        && pointer({QStringLiteral("windowraise"), m_window});
}

bool DeviceUnderTest::pointer(const QStringList& actions)
{
    QProcess xdo;
    xdo.start(QStringLiteral("xdotool"), actions);
    return xdo.waitForFinished(10000) && xdo.exitCode() == 0;
}

// Presses for `hold` seconds at x, y.
bool DeviceUnderTest::press(int x, int y, const char* hold)
{
    return pointer(QStringLiteral("mousemove --window %1 %2 %3 mousedown 1 sleep %4 mouseup 1")
                       .arg(m_window).arg(x).arg(y).arg(QLatin1String(hold))
                       .split(QLatin1Char(' ')));
}

bool DeviceUnderTest::tapAt(int x, int y)
{
    if (!press(x, y, "0.1"))
        return false;
    QTest::qWait(150);
    return true;
}

bool DeviceUnderTest::holdAt(int x, int y)
{
    return press(x, y, "1.5");
}

// A page still moving gives the last grab.
QImage DeviceUnderTest::grab(int stillMillis)
{
    const QString file = filePath(QStringLiteral("grab.png"));
    // A finger leaves nothing hovered behind, a pointer does: it goes beside the window.
    if (!pointer({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window, QStringLiteral("600"),
                  QStringLiteral("900")}))
        return {};
    QImage last;
    QElapsedTimer still;
    for (int i = 0; i < 30; ++i) {
        QFile::remove(file);
        if (QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), m_window, file}) != 0)
            return {};
        const QImage image = QImage(file).convertToFormat(QImage::Format_RGB32);
        if (image != last) {
            last = image;
            still.start();
        } else if (still.elapsed() >= stillMillis) {
            break;
        }
        QTest::qWait(100);
    }
    return last;
}

// The application handles its messages in order, so an answer to a request
// sent last means everything before it has been dealt with and its event loop
// is free. It tells of itself on the same topic once it has subscribed: what
// comes after that is an answer. A request can be lost on a loaded machine.
bool DeviceUnderTest::answers()
{
    if (!m_peer->waitFor(QStringLiteral("kivo/ui/info"), 60000))
        return false;
    return QTest::qWaitFor(
        [this] {
            const int from = m_peer->size();
            m_peer->publish(QStringLiteral("kivo/ui/info/get"), QByteArray("{}"));
            return m_peer->waitFor(QStringLiteral("kivo/ui/info"), 10000, from);
        },
        60000);
}

// After start-up the application builds its pages in one go; a press and
// release it takes only after that count as a tap, not a hold.
bool DeviceUnderTest::openPinPage()
{
    // A machine stalled in the middle of the hold can still turn it into a tap.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int mark = logMark();
        if (answers() && holdAt(355, 60) && waitLog("Setting screen : Login", mark))
            return true;
    }
    return false;
}

bool DeviceUnderTest::typePin(const QString& pin)
{
    // Rows of three from "1"; "0" in the middle of the fourth row.
    for (const QChar c : pin) {
        const int digit = c.digitValue();
        const QPoint key = digit == 0 ? QPoint(240, 561)
                                      : QPoint(116 + 124 * ((digit - 1) % 3), 330 + 77 * ((digit - 1) / 3));
        if (!tapAt(key.x(), key.y()))
            return false;
    }
    return tapAt(240, 636);
}

// Press and hold the header clock, then the built-in PIN 7315 and LOGIN.
bool DeviceUnderTest::loginFromTheClock()
{
    // On a loaded machine (the sanitized build) a hold can come too late for the
    // page or a key too early for it: the whole login is tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int mark = logMark();
        if (!openPinPage())
            continue;
        QTest::qWait(500);
        typePin(QStringLiteral("7315"));
        if (waitLog("Setting screen : Settings", mark))
            return true;
        // Back to the passenger screen before the next hold.
        waitLog("Setting screen : ScanScreens", mark, 20000);
    }
    return false;
}
