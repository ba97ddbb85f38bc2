#pragma once

#include "ChildProcess.h"

#include <QString>
#include <QTemporaryDir>

// A private mosquitto on a free 127.0.0.1 port, for one test program.
class TestBroker
{
public:
    TestBroker();
    ~TestBroker();

    // Users given here are the only ones allowed in; none means anonymous access.
    void addUser(const QString& user, const QString& password);
    // Lines added to the broker's configuration, such as a bridge.
    void addConfig(const QByteArray& text);
    bool start();
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    quint16 port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1"); }

    // The device simulator on this broker, its output in `logFile`.
    bool startSimulator(ChildProcess& simulator, const QString& logFile) const;

    static quint16 freePort();

private:
    bool launch();
    bool writeConfig();
    bool waitForPort(int millis) const;

    QTemporaryDir m_dir;
    ChildProcess m_process;
    quint16 m_port;
    bool m_withUsers = false;
    // Once up, the broker keeps its port across restarts.
    bool m_started = false;
    QByteArray m_extraConfig;
};
