#include "Common/logger.h"

#include <QLoggingCategory>
#include <QMutexLocker>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <syslog.h>

namespace manager {

namespace {

const char* const PlainPattern =
    "%{if-fatal}%{function} at %{file}:%{line} (%{pid}:%{threadid}:%{qthreadptr}) - %{endif}%{message}";

const char* const ColorPattern =
    "%{if-category}[%{category}] %{endif}"
    "%{if-info}%{message}%{endif}"
    "%{if-warning}\033[33m%{message}\033[39m%{endif}"
    "%{if-debug}\033[35m%{message}\033[39m%{endif}"
    "%{if-critical}\033[31m%{message}\033[39m%{endif}"
    "%{if-fatal}%{function} at %{file}:%{line} (%{pid}:%{threadid}:%{qthreadptr}) - \033[31m%{message}\033[39m%{endif}";

// The application's categories: "quillon." and the class's name.
const QLatin1String OwnCategories("quillon.");

double realtimeMillis()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return (double(now.tv_sec) * 1e9 + double(now.tv_nsec)) / 1e6;
}

void writeSyslog(int priority, const QByteArray& line)
{
    ::syslog(priority, "%s", line.constData());
}

struct SyslogFormat
{
    int priority;
    const char* format;
};

SyslogFormat syslogFormat(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return { LOG_DEBUG, "[%9.03f] [debug] %s" };
    case QtWarningMsg:
        return { LOG_WARNING, "[%9.03f] [warning] %s" };
    case QtCriticalMsg:
        return { LOG_CRIT, "[%9.03f] [error] %s" };
    case QtFatalMsg:
        return { LOG_ERR, "[%9.03f] [fatal] %s" };
    case QtInfoMsg:
        break;
    }
    return { LOG_INFO, "[%9.03f] %s" };
}

} // namespace

Logger* Logger::s_instance = nullptr;
Logger::SyslogSink Logger::s_syslogSink = writeSyslog;
QtMessageHandler Logger::s_earlyHandler = nullptr;

Logger::Logger()
    : m_startTime(realtimeMillis())
{
    setColor(false);
    setLevel(INFO);
}

Logger* Logger::instance()
{
    if (!s_instance) {
        s_instance = new Logger;
        qInstallMessageHandler(handleMessage);
    }
    return s_instance;
}

void Logger::setSyslogSink(SyslogSink sink)
{
    s_syslogSink = sink ? sink : writeSyslog;
}

QMutex& Logger::getMutex()
{
    return m_mutex;
}

bool Logger::getSyslog()
{
    QMutexLocker lock(&m_mutex);
    return m_syslog;
}

bool Logger::getStderr()
{
    QMutexLocker lock(&m_mutex);
    return m_stderr;
}

double Logger::getStartTime()
{
    QMutexLocker lock(&m_mutex);
    return m_startTime;
}

void Logger::setSyslog(bool on)
{
    QMutexLocker lock(&m_mutex);
    m_syslog = on;
}

void Logger::setStderr(bool on)
{
    QMutexLocker lock(&m_mutex);
    m_stderr = on;
}

void Logger::setColor(bool on)
{
    QMutexLocker lock(&m_mutex);
    qSetMessagePattern(QString::fromLatin1(on ? ColorPattern : PlainPattern));
}

void Logger::setLevel(Level level)
{
    static const char* const rules[] = {
        "*=true\n*.warning=false\n*.info=false\n*.debug=false\nqt.*=false",
        "*=true\n*.info=false\n*.debug=false\nqt.*=false",
        "*=true\n*.debug=false\nqt.*=false",
        "*=true\nqt.*=false",
        "*=true",
    };
    if (level < ERROR || level > TRACE)
        return;
    QMutexLocker lock(&m_mutex);
    QLoggingCategory::setFilterRules(QString::fromLatin1(rules[level]));
}

void Logger::setLevel(int level)
{
    switch (level) {
    case ERROR:
    case WARNING:
    case DEBUG:
    case TRACE:
        setLevel(Level(level));
        return;
    default:
        setLevel(INFO);
    }
}

QString Logger::tagged(const QMessageLogContext& context, const QString& text)
{
    const QLatin1String category(context.category ? context.category : "");
    if (!category.startsWith(OwnCategories))
        return text;
    QString tag = category.mid(OwnCategories.size());
    return QLatin1Char('[') + tag.replace(QLatin1Char('.'), QLatin1String("][")) + QLatin1String("] ") + text;
}

void Logger::tagEarlyMessages()
{
    if (!s_instance && !s_earlyHandler)
        s_earlyHandler = qInstallMessageHandler(handleEarlyMessage);
}

void Logger::handleEarlyMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    s_earlyHandler(type, untagged(context), tagged(context, text));
}

// The application's tag is part of the text, so the output shows no category
// for it.
QMessageLogContext Logger::untagged(const QMessageLogContext& context)
{
    const bool own = QLatin1String(context.category ? context.category : "").startsWith(OwnCategories);
    return QMessageLogContext(context.file, context.line, context.function, own ? "default" : context.category);
}

void Logger::handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    Logger* logger = instance();
    QMutexLocker lock(&logger->m_mutex);
    const QByteArray message = qFormatLogMessage(type, untagged(context), tagged(context, text)).toUtf8();
    const double elapsed = (realtimeMillis() - logger->m_startTime) / 1000.0;

    if (logger->m_syslog) {
        const SyslogFormat out = syslogFormat(type);
        const int size = snprintf(nullptr, 0, out.format, elapsed, message.constData());
        QByteArray line(size, Qt::Uninitialized);
        snprintf(line.data(), size_t(size) + 1, out.format, elapsed, message.constData());
        s_syslogSink(out.priority, line);
    }
    if (logger->m_stderr) {
        fprintf(stderr, "[%9.03f] %s\n", elapsed, message.constData());
        fflush(stderr);
    }
    if (type == QtFatalMsg)
        abort();
}

} // namespace manager
