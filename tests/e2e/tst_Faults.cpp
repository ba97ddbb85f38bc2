#include "DeviceUnderTest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <memory>

#include <unistd.h>

// The real application fed garbage: on every topic it listens to, and in the
// files it reads at start.
class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void floodOfMalformedMessagesLeavesItAliveAndFlat();
    void corruptedFilesAtStart();
    void readOnlyFilesAtStart();

private:
    bool start(const QByteArray& settings, const QByteArray& events, bool readOnly = false);
    bool answers();
    QString folder() const;
    QStringList readOnlyWrapper() const;
    QStringList subscribedTopics() const;
    qint64 rssKb() const;
    void flood(const QStringList& topics, int rounds);

    std::unique_ptr<DeviceUnderTest> m_device;
    MqttPeer* m_peer = nullptr;
};

void TestFaults::init()
{
    m_device = std::make_unique<DeviceUnderTest>("FAULT-0001");
    QVERIFY(m_device->startBroker(QStringLiteral("kivo/ui/#")));
    m_peer = &m_device->peer();
}

void TestFaults::cleanup()
{
    if (QTest::currentTestFailed())
        m_device->printLogs();
    m_device->killApplication();
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_device.reset();
}

QString TestFaults::folder() const
{
    return QFileInfo(m_device->filePath(QStringLiteral("gui.conf"))).absolutePath();
}

bool TestFaults::start(const QByteArray& settings, const QByteArray& events, bool readOnly)
{
    QFile confFile(m_device->filePath(QStringLiteral("gui.conf")));
    QFile eventsFile(m_device->filePath(QStringLiteral("events.ini")));
    if (!confFile.open(QIODevice::WriteOnly) || !eventsFile.open(QIODevice::WriteOnly))
        return false;
    confFile.write(settings);
    eventsFile.write(events);
    confFile.close();
    eventsFile.close();
    return m_device->launchApplication(readOnly ? readOnlyWrapper() : QStringList());
}

// Root writes through file modes, so for root the folder is bound read-only
// in a mount namespace of the application's own.
QStringList TestFaults::readOnlyWrapper() const
{
    if (geteuid() != 0) {
        for (const QString& name : QDir(folder()).entryList(QDir::Files))
            QFile::setPermissions(QDir(folder()).filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner);
        return QStringList();
    }
    return QStringList{QStringLiteral("unshare"), QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                       QStringLiteral("mount --bind -o ro \"$0\" \"$0\" && exec \"$@\""), folder()};
}

// The application handles its messages in order, so an answer to a request
// sent last means everything before it has been dealt with. Requests sent
// before it has subscribed are lost, hence the repeats.
bool TestFaults::answers()
{
    return QTest::qWaitFor(
        [this] {
            const int from = m_peer->size();
            m_peer->publish(QStringLiteral("kivo/ui/info/get"), QByteArray("{}"));
            return m_peer->waitFor(QStringLiteral("kivo/ui/info"), 10000, from);
        },
        30000);
}

QStringList TestFaults::subscribedTopics() const
{
    QStringList topics;
    static const QRegularExpression line(QStringLiteral("Subscribing to '([^']+)'"));
    auto it = line.globalMatch(QString::fromUtf8(m_device->log()));
    while (it.hasNext())
        topics << it.next().captured(1);
    topics.removeDuplicates();
    return topics;
}

qint64 TestFaults::rssKb() const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(m_device->application().processId()));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

void TestFaults::flood(const QStringList& topics, int rounds)
{
    QByteArray deep(2000, '[');
    QByteArray random(512, '\0');
    for (char& c : random)
        c = char(QRandomGenerator::global()->bounded(256));
    const QList<QByteArray> payloads{
        QByteArray(), "{", "not json", "[1, 2, 3]", "null", "42", random, deep,
        "{\"service\": \"yes\", \"device\": 5, \"state\": []}",
        "{\"transaction\": [], \"uid\": {}, \"type\": \"x\"}",
        "{\"update\": {\"software\": 7}, \"internal\": \"loud\"}",
        "{\"primaryConnection\": 1, \"ipv4\": \"x\", \"interface\": null}",
        "{\"a\": \"" + QByteArray(64 * 1024, 'x') + "\"}",
    };
    for (int r = 0; r < rounds; ++r) {
        for (const QString& topic : topics) {
            // Settings from the bus would change the test's own setup.
            if (topic.endsWith(QLatin1String("/config/set")) && topic.startsWith(QLatin1String("kivo/ui")))
                continue;
            for (const QByteArray& p : payloads)
                m_peer->publish(topic, p);
        }
        QCoreApplication::processEvents();
    }
}

void TestFaults::floodOfMalformedMessagesLeavesItAliveAndFlat()
{
    QVERIFY(start("[log]\nsyslog=false\n", QByteArray()));
    QVERIFY(QTest::qWaitFor([this] { return m_device->log().contains("Subscribing to 'kivo/ui/config/set'"); }, 15000));
    const QStringList topics = subscribedTopics();
    QVERIFY2(topics.size() > 30, qPrintable(topics.join(' ')));

    // The first flood warms up caches and pools; the next ones must not grow.
    flood(topics, 5);
    QVERIFY(answers());
    const qint64 warm = rssKb();
    QVERIFY(warm > 0);
    for (int i = 0; i < 3; ++i) {
        flood(topics, 5);
        QVERIFY(answers());
    }
    QCOMPARE(m_device->application().state(), QProcess::Running);
    // ASan's quarantine and shadow memory grow RSS by design; the sanitizer
    // run finds leaks itself, so only the plain build checks the growth.
    if (qEnvironmentVariableIsEmpty("QUILLON_SANITIZED")) {
        const qint64 after = rssKb();
        QVERIFY2(after - warm < 8 * 1024,
                 qPrintable(QStringLiteral("RSS %1 kB -> %2 kB").arg(warm).arg(after)));
    }
    QVERIFY(m_device->log().contains("Failed to parse JSON message: "));
}

void TestFaults::corruptedFilesAtStart()
{
    QByteArray garbage(4096, '\0');
    for (char& c : garbage)
        c = char(QRandomGenerator::global()->bounded(256));
    QVERIFY(start("[gui\n=\n\x01\x02 deviceId\n[log]\nlevel=banana\nsyslog=false\n" + garbage,
                  "[events]\nsize=1000000\n1\\timestamp=yesterday\n" + garbage));
    QVERIFY(answers());
    QCOMPARE(m_device->application().state(), QProcess::Running);
}

void TestFaults::readOnlyFilesAtStart()
{
    const QByteArray settings = "[gui]\ndeviceId=" + m_device->filePath(QStringLiteral("serialnumber")).toUtf8()
                                + "\ndisplayOffMin=5\n\n[log]\nsyslog=false\n";
    const QByteArray events = "[events]\n1\\category=General\n1\\name=Earlier start\n1\\desc=\n1\\timestamp="
                              + QDateTime::currentDateTime().addSecs(-60).toString(Qt::ISODate).toUtf8()
                              + "\nsize=1\n";
    QVERIFY(start(settings, events, true));
    QVERIFY(answers());
    QVERIFY(QTest::qWaitFor([this] { return m_device->log().contains("[EventManager] WARN: Cannot write events file : "); }));

    // A change over the broker is applied and kept, though it cannot be stored.
    m_peer->publish(QStringLiteral("kivo/ui/config/set"), QByteArray(R"({"gui":{"displayOffMin":9}})"));
    QVERIFY(QTest::qWaitFor([this] { return m_device->log().contains("[Config] WARN: Cannot write config file : "); }));
    const int from = m_peer->size();
    m_peer->publish(QStringLiteral("kivo/ui/config/get"), QByteArray("{}"));
    QVERIFY(m_peer->waitFor(QStringLiteral("kivo/ui/config"), 10000, from));
    QCOMPARE(m_peer->lastJson(QStringLiteral("kivo/ui/config"))["gui"].toObject()["displayOffMin"].toVariant().toInt(),
             9);
    QCOMPARE(m_device->application().state(), QProcess::Running);

    QFile conf(m_device->filePath(QStringLiteral("gui.conf")));
    QFile stored(m_device->filePath(QStringLiteral("events.ini")));
    QVERIFY(conf.open(QIODevice::ReadOnly) && stored.open(QIODevice::ReadOnly));
    QCOMPARE(conf.readAll(), settings);
    QCOMPARE(stored.readAll(), events);
}

QTEST_MAIN(TestFaults)
#include "tst_Faults.moc"
