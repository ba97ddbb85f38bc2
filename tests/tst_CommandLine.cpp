#include "CommandLine.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Child mode: parse the given arguments and print the overrides with their types.
int runParser(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QVariantMap overrides = CommandLine::parseCLIArgs();
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        printf("%s=%s:%s\n", qPrintable(it.key()), it.value().typeName(), qPrintable(it.value().toString()));
    return 0;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QProcess* start(const QString& program, const QStringList& args)
    {
        auto* process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(m_dir.path());
        process->start(program, args);
        return process;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(QFile::exists(qEnvironmentVariable("QUILLON_BIN")), "QUILLON_BIN must name the quillon binary");
    }

    void exitsAtOnce_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("output");
        QTest::newRow("version") << QStringList { "-V" } << 0 << "Quillon 1.0.21\n";
        QTest::newRow("unknown option") << QStringList { "--bogus" } << 1 << "ERROR: ";
        QTest::newRow("missing value") << QStringList { "-f" } << 1 << "ERROR: ";
    }

    // Nothing is started and no settings file is written.
    void exitsAtOnce()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, output);
        QProcess* process = start(qEnvironmentVariable("QUILLON_BIN"), args);
        QVERIFY(process->waitForFinished(10000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), code);
        const QString printed = process->readAllStandardOutput() + process->readAllStandardError();
        QVERIFY2(printed.contains(output), qPrintable(printed));
        QVERIFY(!QFile::exists(m_dir.filePath("gui.conf")));
    }

    void overrides_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("overrides");
        QTest::newRow("none") << QStringList {} << QByteArray();
        QTest::newRow("verbose, stderr, color")
            << QStringList { "-v", "3", "-e", "-c" } << QByteArray("log/color=bool:true\nlog/level=int:3\nlog/stderr=bool:true\n");
        QTest::newRow("bad port is 0") << QStringList { "-P", "abc" } << QByteArray("mqtt/port=int:0\n");
        QTest::newRow("credentials") << QStringList { "-u", "bob", "-p", "secret" }
                                     << QByteArray("mqtt/password=QString:secret\nmqtt/username=QString:bob\n");
        QTest::newRow("host and file") << QStringList { "-H", "broker", "-f", "x.conf" }
                                       << QByteArray("config=QString:x.conf\nmqtt/host=QString:broker\n");
    }

    void overrides()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, overrides);
        QProcess* child = start(QCoreApplication::applicationFilePath(), QStringList { "--parse" } + args);
        QVERIFY(child->waitForFinished(10000));
        QCOMPARE(child->exitCode(), 0);
        QCOMPARE(child->readAllStandardOutput(), overrides);
        // The password is never echoed.
        QVERIFY(!child->readAllStandardError().contains("secret"));
    }
};

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--parse") == 0) {
        argv[1] = argv[0];
        return runParser(argc - 1, argv + 1);
    }
    QCoreApplication app(argc, argv);
    TestCommandLine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CommandLine.moc"
