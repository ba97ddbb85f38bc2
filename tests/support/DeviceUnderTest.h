#pragma once

#include "ChildProcess.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// One validator on the test machine: a private broker, the device
// simulator, the real application binary (QUILLON_BIN) with its own serial
// number and settings file, and a peer that sees the whole local bus. The
// application's log is kept for waiting on its screens.
class DeviceUnderTest : public QObject
{
    Q_OBJECT
public:
    explicit DeviceUnderTest(const QByteArray& serial = "E2E-0001");
    ~DeviceUnderTest() override;

    // Broker and a peer on `watched`.
    bool startBroker(const QString& watched = QStringLiteral("#"));
    // Broker, peer on "#" and a simulator that hears the bus.
    bool startServices();
    // `wrapper` is a command line the application is started under.
    bool launchApplication(const QStringList& wrapper = QStringList());
    // Launches and waits for the passenger screen.
    bool startApplication();
    bool waitForPassengerScreen(int from = 0);
    void killApplication();
    void printLogs() const;

    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QByteArray serial() const { return m_serial; }
    TestBroker& broker() { return m_broker; }
    MqttPeer& peer() { return *m_peer; }
    QProcess& application() { return m_app; }
    // A line on the simulator's console.
    void command(const QString& line);

    int logMark() const { return m_appLog.size(); }
    QByteArray log() const { return m_appLog; }
    bool waitLog(const QByteArray& text, int from, int millis = 30000);
    // True once the application has answered a request sent now.
    bool answers();

    // Real pointer input through the X server, in the window's own 480 x 800
    // coordinates. The window is moved to the corner and raised, so that the
    // windows of tests running beside this one do not take its taps.
    bool findWindow();
    bool tapAt(int x, int y);
    // Holds the header clock until the PIN page shows.
    bool openPinPage();
    // The digits on the PIN page's pad, then LOGIN.
    bool typePin(const QString& pin);
    bool loginFromTheClock();
    // The window as the X server shows it, grabbed from the screen once the
    // picture has held still for `stillMillis` (two grabs in a row at least).
    QImage grab(int stillMillis = 0);

private:
    // A press held long enough to count as press and hold.
    bool holdAt(int x, int y);
    bool pointer(const QStringList& actions);
    bool press(int x, int y, const char* hold);

    QTemporaryDir m_dir;
    QByteArray m_serial;
    TestBroker m_broker;
    std::unique_ptr<MqttPeer> m_peer;
    ChildProcess m_sim;
    ChildProcess m_app;
    QByteArray m_appLog;
    QString m_window;
};
