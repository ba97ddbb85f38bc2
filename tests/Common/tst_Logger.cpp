#include "Common/logger.h"

#include <QLoggingCategory>
#include <QProcess>
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

void printSyslog(int priority, const QByteArray& line)
{
    printf("%d %s\n", priority, line.constData());
    fflush(stdout);
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

// Child mode: it takes over stderr and aborts.
int runChild()
{
    Logger::setSyslogSink(printSyslog);
    Logger* logger = Logger::instance();
    logger->setSyslog(true);
    logger->setStderr(true);
    qInfo("after");
    qFatal("boom");
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
        QTest::newRow("unknown number is info") << 7 << false << info;
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

    // Stderr lines carry the elapsed time, and a fatal message reaches both
    // sinks before the abort.
    void fatalIsWrittenThenAborts()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_MESSAGE_PATTERN");
        env.remove("QT_LOGGING_RULES");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), { "--child" });
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QByteArrayList errors = child.readAllStandardError().split('\n');
        QCOMPARE(withoutStamp(errors.value(0)), QByteArray("after"));
        QVERIFY2(errors.value(1).endsWith(") - boom"), errors.value(1));
        const QByteArrayList syslog = child.readAllStandardOutput().split('\n');
        QCOMPARE(syslog.size(), 3);
        QVERIFY(syslog.at(1).startsWith("3 ["));
        const QByteArray fatal = withoutStamp(syslog.at(1).mid(2));
        QVERIFY2(fatal.startsWith("[fatal] ") && fatal.contains(" at ") && fatal.endsWith(") - boom"), fatal);
    }
};

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--child") == 0)
        return runChild();
    QCoreApplication app(argc, argv);
    TestLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Logger.moc"
