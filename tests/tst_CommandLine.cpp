#include "CommandLine.h"

#include <QProcess>
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

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        // The overrides with their types, or what the error says.
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("none") << QStringList {} << 0 << QByteArray();
        QTest::newRow("verbose, stderr, color") << QStringList { "-v", "3", "-e", "-c" } << 0
                                                << QByteArray("log/color=bool:true\nlog/level=int:3\nlog/stderr=bool:true\n");
        QTest::newRow("bad port is 0") << QStringList { "-P", "abc" } << 0 << QByteArray("mqtt/port=int:0\n");
        QTest::newRow("credentials") << QStringList { "-u", "bob", "-p", "secret" } << 0
                                     << QByteArray("mqtt/password=QString:secret\nmqtt/username=QString:bob\n");
        QTest::newRow("host and file") << QStringList { "-H", "broker", "-f", "x.conf" } << 0
                                       << QByteArray("config=QString:x.conf\nmqtt/host=QString:broker\n");
        QTest::newRow("unknown option") << QStringList { "--bogus" } << 1 << QByteArray("ERROR: ");
        QTest::newRow("missing value") << QStringList { "-f" } << 1 << QByteArray("ERROR: ");
    }

    // A wrong command line ends the program before anything is started.
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, printed);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), QStringList { "--parse" } + args);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitCode(), code);
        const QByteArray output = child.readAllStandardOutput();
        const QByteArray errors = child.readAllStandardError();
        if (code == 0)
            QCOMPARE(output, printed);
        else
            QVERIFY2(errors.contains(printed), errors.constData());
        // The password is never echoed.
        QVERIFY(!errors.contains("secret"));
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
