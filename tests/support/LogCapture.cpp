#include "LogCapture.h"

#include "Common/logger.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>

QList<LogCapture::Line>& LogCapture::captured()
{
    static QList<Line> lines;
    return lines;
}

LogCapture::LogCapture()
{
    captured().clear();
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=true\nqt.*=false"));
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    QLoggingCategory::setFilterRules(QString());
}

// As the application's handler writes it: with the class's tag.
void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    captured().append({type, manager::Logger::tagged(context, text), QDeadlineTimer::current().deadline()});
}

QStringList LogCapture::texts() const
{
    QStringList result;
    for (const Line& line : captured())
        result.append(line.text);
    return result;
}

int LogCapture::count(const QString& part) const
{
    return texts().filter(part).size();
}

bool LogCapture::contains(QtMsgType type, const QString& text) const
{
    for (const Line& line : captured()) {
        if (line.type == type && line.text == text)
            return true;
    }
    return false;
}
