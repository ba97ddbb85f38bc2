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
    // Kills the broker without a clean shutdown, as a crash would.
    void kill();
    bool restart();
    bool isRunning() const;
    quint16 port() const;
    QString host() const;

    static quint16 freePort();

private:
    bool writeConfig();
    bool waitForPort(int millis) const;

    QTemporaryDir m_dir;
    ChildProcess m_process;
    quint16 m_port;
    bool m_withUsers = false;
    QByteArray m_extraConfig;
};
