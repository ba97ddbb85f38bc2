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

// Child modes: run in a separate process because they touch stderr or abort.
int runChild(const QByteArray& mode)
{
    qInfo("before");
    Logger::setSyslogSink(printSyslog);
    Logger* logger = Logger::instance();
    logger->setSyslog(mode == "fatal");
    logger->setStderr(true);
    qDebug("dropped at the initial level");
    qInfo("after");
    if (mode == "fatal")
        qFatal("boom");
    return 0;
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

    QProcess* runChildProcess(const QString& mode)
    {
        auto* child = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_MESSAGE_PATTERN");
        env.remove("QT_LOGGING_RULES");
        child->setProcessEnvironment(env);
        child->start(QCoreApplication::applicationFilePath(), { "--child", mode });
        child->waitForFinished(10000);
        return child;
    }

private slots:
    void initTestCase()
    {
        Logger::setSyslogSink(captureSyslog);
        QVERIFY(Logger::instance()->getSyslog());
        QVERIFY(!Logger::instance()->getStderr());
    }

    void init()
    {
        Logger::instance()->setColor(false);
        Logger::instance()->setLevel(Logger::INFO);
        syslogLines.clear();
    }

    void levelsFilterMessages_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("error") << 0 << QByteArray("c");
        QTest::newRow("warning") << 1 << QByteArray("w c");
        QTest::newRow("info") << 2 << QByteArray("i w c");
        QTest::newRow("debug") << 3 << QByteArray("d i w c ad");
        QTest::newRow("trace") << 4 << QByteArray("d i w c ad qw qd");
        QTest::newRow("unknown number is info") << 7 << QByteArray("i w c");
        QTest::newRow("negative is info") << -1 << QByteArray("i w c");
    }

    void levelsFilterMessages()
    {
        QFETCH(int, level);
        QFETCH(QByteArray, kept);
        Logger::instance()->setLevel(Logger::TRACE);
        Logger::instance()->setLevel(level);
        emitSample();
        QByteArrayList texts;
        for (const auto& line : qAsConst(syslogLines))
            texts << withoutStamp(line.second).split(' ').last();
        QCOMPARE(texts.join(' '), kept);
    }

    void syslogPrioritiesAndPatterns_data()
    {
        QTest::addColumn<bool>("color");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("plain") << false << QByteArrayList { "7 [debug] d", "6 i", "4 [warning] w", "2 [error] c",
                                                            "6 named" };
        QTest::newRow("color") << true << QByteArrayList { "7 [debug] \033[35md\033[39m", "6 i",
                                                           "4 [warning] \033[33mw\033[39m",
                                                           "2 [error] \033[31mc\033[39m", "6 [app.test] named" };
    }

    void syslogPrioritiesAndPatterns()
    {
        QFETCH(bool, color);
        QFETCH(QByteArrayList, expected);
        Logger::instance()->setLevel(Logger::DEBUG);
        Logger::instance()->setColor(color);
        qDebug("d");
        qInfo("i");
        qWarning("w");
        qCritical("c");
        qCInfo(appCategory, "named");
        QByteArrayList lines;
        for (const auto& line : qAsConst(syslogLines))
            lines << QByteArray::number(line.first) + ' ' + withoutStamp(line.second);
        QCOMPARE(lines, expected);
    }

    void stderrLinesCarryTheElapsedTime()
    {
        QProcess* child = runChildProcess("stderr");
        QCOMPARE(child->exitStatus(), QProcess::NormalExit);
        QCOMPARE(child->exitCode(), 0);
        const QByteArrayList lines = child->readAllStandardError().split('\n');
        QCOMPARE(lines.value(0), QByteArray("before"));
        QCOMPARE(withoutStamp(lines.value(1)), QByteArray("after"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(child->readAllStandardOutput(), QByteArray());
    }

    void fatalIsWrittenThenAborts()
    {
        QProcess* child = runChildProcess("fatal");
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
        const QByteArrayList syslog = child->readAllStandardOutput().split('\n');
        QCOMPARE(syslog.size(), 3);
        QVERIFY(syslog.at(1).startsWith("3 ["));
        const QByteArray fatal = withoutStamp(syslog.at(1).mid(2));
        QVERIFY2(fatal.startsWith("[fatal] ") && fatal.contains(" at ") && fatal.endsWith(") - boom"), fatal);
        QVERIFY(child->readAllStandardError().contains(") - boom\n"));
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argv[2]);
    QCoreApplication app(argc, argv);
    TestLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Logger.moc"
