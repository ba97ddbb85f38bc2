#include "LogCapture.h"

#include <QLoggingCategory>

namespace {

QList<LogCapture::Line>& captured()
{
    static QList<LogCapture::Line> lines;
    return lines;
}

} // namespace

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

void LogCapture::handler(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    captured().append({type, text});
}

QList<LogCapture::Line> LogCapture::lines() const
{
    return captured();
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
    int n = 0;
    for (const Line& line : captured()) {
        if (line.text.contains(part))
            ++n;
    }
    return n;
}

bool LogCapture::contains(const QString& part) const
{
    return count(part) > 0;
}

bool LogCapture::contains(QtMsgType type, const QString& text) const
{
    for (const Line& line : captured()) {
        if (line.type == type && line.text == text)
            return true;
    }
    return false;
}

void LogCapture::clear()
{
    captured().clear();
}
