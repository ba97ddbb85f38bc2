#include "Common/logger.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtTest>

using manager::Logger;

namespace {

Q_LOGGING_CATEGORY(appCategory, "app.test")
Q_LOGGING_CATEGORY(toolkitCategory, "qt.test")

QList<QPair<int, QByteArray>> syslogLines;

void captureSyslog(int priority, const QByteArray& line)
{
    syslogLines << qMakePair(priority, line);
}

// The bracketed elapsed time is "[" + nine characters + "]".
const QRegularExpression Stamp(QStringLiteral("^\\[ *\\d+\\.\\d{3}\\] $"));

QByteArray withoutStamp(const QByteArray& line)
{
    if (line.size() < 12 || !Stamp.match(QString::fromUtf8(line.left(12))).hasMatch())
        return "<bad stamp> " + line;
    return line.mid(12);
}

void emitSample()
{
    qDebug("d");
    qInfo("i");
    qWarning("w");
    qCritical("c");
    qCDebug(appCategory, "ad");
    qCWarning(toolkitCategory, "qw");
    qCDebug(toolkitCategory, "qd");
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Logger::setSyslogSink(captureSyslog);
    }

    void init()
    {
        Logger::instance()->setColor(false);
        Logger::instance()->setLevel(Logger::INFO);
        syslogLines.clear();
    }

    // What each level keeps, at which syslog priority, in which pattern.
    void levelsAndPatterns_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("color");
        QTest::addColumn<QByteArrayList>("expected");
        const QByteArrayList info { "6 i", "4 [warning] w", "2 [error] c" };
        QTest::newRow("error") << 0 << false << QByteArrayList { "2 [error] c" };
        QTest::newRow("info") << 2 << false << info;
        QTest::newRow("debug") << 3 << false << QByteArrayList { "7 [debug] d" } + info + QByteArrayList { "7 [debug] ad" };
        QTest::newRow("trace") << 4 << false
                               << QByteArrayList { "7 [debug] d" } + info + QByteArrayList { "7 [debug] ad", "4 [warning] qw", "7 [debug] qd" };
        QTest::newRow("color") << 2 << true << QByteArrayList { "6 i", "4 [warning] \033[33mw\033[39m",
                                                                "2 [error] \033[31mc\033[39m" };
    }

    void levelsAndPatterns()
    {
        QFETCH(int, level);
        QFETCH(bool, color);
        QFETCH(QByteArrayList, expected);
        Logger::instance()->setLevel(Logger::TRACE);
        Logger::instance()->setLevel(level);
        Logger::instance()->setColor(color);
        emitSample();
        QByteArrayList lines;
        for (const auto& line : qAsConst(syslogLines))
            lines << QByteArray::number(line.first) + ' ' + withoutStamp(line.second);
        QCOMPARE(lines, expected);
    }
};

QTEST_GUILESS_MAIN(TestLogger)

#include "tst_Logger.moc"
