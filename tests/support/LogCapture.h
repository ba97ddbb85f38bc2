#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every message logged while it exists; debug messages included.
class LogCapture
{
public:
    struct Line {
        QtMsgType type;
        QString text;
        // When it was logged, on the monotonic clock.
        qint64 millis;
    };

    LogCapture();
    ~LogCapture();

    QList<Line> lines() const { return captured(); }
    QStringList texts() const;
    // Lines that contain `part`.
    int count(const QString& part) const;
    bool contains(const QString& part) const { return count(part) > 0; }
    bool contains(QtMsgType type, const QString& text) const;
    void clear() { captured().clear(); }

private:
    static QList<Line>& captured();
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QtMessageHandler m_previous;
};
