#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QtGlobal>

namespace manager {

// Process-wide log filter and output: one message handler that writes every
// message that passes the level's rules to syslog, standard error or both.
class Logger
{
public:
    enum Level { ERROR = 0, WARNING = 1, INFO = 2, DEBUG = 3, TRACE = 4 };

    // Where syslog lines go; replaceable so the system log can be observed.
    using SyslogSink = void (*)(int priority, const QByteArray& line);

    static Logger* instance();
    static void setSyslogSink(SyslogSink sink);
    // The text with its class tag in front: a message of the category
    // "quillon.Network.Ethernet" reads "[Network][Ethernet] <text>"; other
    // categories leave it as it is.
    static QString tagged(const QMessageLogContext& context, const QString& text);
    // Until the logger takes over, the toolkit's own output shows the tags too.
    static void tagEarlyMessages();

    QMutex& getMutex();
    bool getSyslog();
    bool getStderr();
    double getStartTime();

    void setSyslog(bool on);
    void setStderr(bool on);
    void setColor(bool on);
    void setLevel(Level level);
    void setLevel(int level);

private:
    Logger();
    Q_DISABLE_COPY(Logger)

    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text);
    static void handleEarlyMessage(QtMsgType type, const QMessageLogContext& context, const QString& text);
    static QMessageLogContext untagged(const QMessageLogContext& context);

    static Logger* s_instance;
    static SyslogSink s_syslogSink;
    static QtMessageHandler s_earlyHandler;

    QMutex m_mutex;
    bool m_syslog = true;
    bool m_stderr = false;
    double m_startTime = 0;
};

} // namespace manager
