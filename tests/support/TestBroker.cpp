#include "TestBroker.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

TestBroker::TestBroker() : m_port(freePort())
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

TestBroker::~TestBroker()
{
    stop();
}

// Below the kernel's ephemeral range (32768 and up), where neither the
// outgoing connections of tests running beside this one nor another
// listener asking for "any port" can take it between the check and the use.
quint16 TestBroker::freePort()
{
    for (;;) {
        const auto port = quint16(QRandomGenerator::global()->bounded(20000, 32000));
        QTcpServer server;
        if (server.listen(QHostAddress::LocalHost, port))
            return port;
    }
}

void TestBroker::addUser(const QString& user, const QString& password)
{
    QStringList args{QStringLiteral("-b")};
    if (!m_withUsers)
        args.prepend(QStringLiteral("-c"));
    m_withUsers = true;
    QProcess::execute(QStringLiteral("mosquitto_passwd"),
                      args + QStringList{m_dir.filePath(QStringLiteral("passwd")), user, password});
}

void TestBroker::addConfig(const QByteArray& text)
{
    m_extraConfig += text + "\n";
}

bool TestBroker::writeConfig()
{
    const QString passwd = m_dir.filePath(QStringLiteral("passwd"));
    if (m_withUsers)
        QFile::setPermissions(passwd, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile conf(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text = "listener " + QByteArray::number(m_port) + " 127.0.0.1\n";
    // Stays root so it can read the private folder it runs from.
    text += "user root\npersistence false\nlog_dest none\n";
    if (m_withUsers)
        text += "allow_anonymous false\npassword_file " + passwd.toUtf8() + "\n";
    else
        text += "allow_anonymous true\n";
    conf.write(text + m_extraConfig);
    return true;
}

// A port taken after all the first time moves the broker to another one;
// a restart keeps its port, which its clients know.
bool TestBroker::start()
{
    if (isRunning())
        return true;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (launch())
            return true;
        stop();
        if (!m_started)
            m_port = freePort();
    }
    return false;
}

bool TestBroker::launch()
{
    if (!writeConfig())
        return false;
    m_process.start(QStringLiteral("mosquitto"),
                    {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    const bool up = m_process.waitForStarted(5000) && waitForPort(15000);
    m_started = m_started || up;
    return up;
}

void TestBroker::stop()
{
    if (!isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool TestBroker::startSimulator(ChildProcess& simulator, const QString& logFile) const
{
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.setStandardOutputFile(logFile);
    simulator.start(QStringLiteral(QUILLON_BINARY_DIR "/tools/simulator/quillon-simulator"),
                    {QStringLiteral("-H"), host(), QStringLiteral("-P"), QString::number(m_port)});
    return simulator.waitForStarted(5000);
}

// The port answers and the broker is still ours: one that could not listen
// has exited.
bool TestBroker::waitForPort(int millis) const
{
    return QTest::qWaitFor([this] {
        if (!isRunning())
            return true;
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        return socket.waitForConnected(200);
    }, millis) && isRunning();
}
