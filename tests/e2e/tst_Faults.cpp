#include "DeviceUnderTest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <memory>

#include <unistd.h>

namespace {

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

} // namespace

// The real application fed garbage: in the files it reads at start, and on
// every topic it listens to.
class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void garbageInFilesAndOnTheBus();
    void readOnlyFilesAtStart();
    void secretsStayOnTheDevice();

private:
    bool start(const QByteArray& settings, const QByteArray& events, bool readOnly = false);
    QString folder() const { return m_device->filePath(QString()); }
    static QList<QByteArray> payloads();
    void flood(int rounds);

    std::unique_ptr<DeviceUnderTest> m_device;
    MqttPeer* m_peer = nullptr;
    QStringList m_topics;
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

// Read-only files: root writes through file modes, so for root the folder is
// bound read-only in a mount namespace of the application's own.
bool TestFaults::start(const QByteArray& settings, const QByteArray& events, bool readOnly)
{
    QFile confFile(m_device->filePath(QStringLiteral("gui.conf")));
    QFile eventsFile(m_device->filePath(QStringLiteral("events.ini")));
    if (!confFile.open(QIODevice::WriteOnly) || !eventsFile.open(QIODevice::WriteOnly)
        || confFile.write(settings) != settings.size() || eventsFile.write(events) != events.size()) {
        return false;
    }
    confFile.close();
    eventsFile.close();
    QStringList wrapper;
    if (readOnly && geteuid() == 0) {
        wrapper = QStringList{QStringLiteral("unshare"), QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                              QStringLiteral("mount --bind -o ro \"$0\" \"$0\" && exec \"$@\""), folder()};
    } else if (readOnly) {
        for (const QString& name : QDir(folder()).entryList(QDir::Files))
            QFile::setPermissions(QDir(folder()).filePath(name), QFile::ReadOwner);
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner);
    }
    return m_device->launchApplication(wrapper);
}

QList<QByteArray> TestFaults::payloads()
{
    static const QList<QByteArray> garbage{
        QByteArray(), "{", "not json", "[1, 2, 3]", "null", "42", randomBytes(512), QByteArray(2000, '['),
        "{\"service\": \"yes\", \"device\": 5, \"state\": []}",
        "{\"transaction\": [], \"uid\": {}, \"type\": \"x\"}",
        "{\"update\": {\"software\": 7}, \"internal\": \"loud\"}",
        "{\"primaryConnection\": 1, \"ipv4\": \"x\", \"interface\": null}",
        "{\"a\": \"" + QByteArray(64 * 1024, 'x') + "\"}",
    };
    return garbage;
}

void TestFaults::flood(int rounds)
{
    for (int r = 0; r < rounds; ++r) {
        for (const QString& topic : qAsConst(m_topics)) {
            for (const QByteArray& p : payloads())
                m_peer->publish(topic, p);
        }
        QCoreApplication::processEvents();
    }
}

// Started on corrupted files, then flooded on every topic it listens to: it
// stays up and answers. Leaks are the sanitizer run's to find.
void TestFaults::garbageInFilesAndOnTheBus()
{
    // The log settings come first, so the topics it subscribes show in its log.
    QVERIFY(start("[log]\nsyslog=false\n[gui\n=\n\x01\x02 deviceId\nlevel=banana\n" + randomBytes(4096),
                  "[events]\nsize=1000000\n1\\timestamp=yesterday\n" + randomBytes(4096)));
    QVERIFY(QTest::qWaitFor([this] { return m_device->log().contains("Subscribing to 'kivo/ui/config/set'"); }, 15000));
    static const QRegularExpression line(QStringLiteral("Subscribing to '([^']+)'"));
    for (auto it = line.globalMatch(QString::fromUtf8(m_device->log())); it.hasNext();)
        m_topics << it.next().captured(1);
    m_topics.removeDuplicates();
    // Settings from the bus would change the test's own setup.
    m_topics.removeAll(QStringLiteral("kivo/ui/config/set"));
    QVERIFY2(m_topics.size() > 30, qPrintable(m_topics.join(' ')));
    flood(20);
    QVERIFY(m_device->answers());
    QCOMPARE(m_device->application().state(), QProcess::Running);
    QVERIFY(m_device->log().contains("Failed to parse JSON message: "));
}

// A change over the broker is applied and kept, though neither file can be
// written; both files stay as they were.
void TestFaults::readOnlyFilesAtStart()
{
    const QByteArray settings = "[gui]\ndeviceId=" + m_device->filePath(QStringLiteral("serialnumber")).toUtf8()
                                + "\ndisplayOffMin=5\n\n[log]\nsyslog=false\n";
    const QByteArray events = "[events]\n1\\category=General\n1\\name=Earlier start\n1\\desc=\n1\\timestamp="
                              + QDateTime::currentDateTime().addSecs(-60).toString(Qt::ISODate).toUtf8()
                              + "\nsize=1\n";
    QVERIFY(start(settings, events, true));
    QVERIFY(m_device->answers());
    QVERIFY(m_device->waitLog("[EventManager] WARN: Cannot write events file : ", 0));

    m_peer->publish(QStringLiteral("kivo/ui/config/set"), QByteArray(R"({"gui":{"displayOffMin":9}})"));
    QVERIFY(m_device->waitLog("[Config] WARN: Cannot write config file : ", 0));
    const int from = m_peer->size();
    m_peer->publish(QStringLiteral("kivo/ui/config/get"), QByteArray("{}"));
    QCOMPARE(m_peer->waitJson(QStringLiteral("kivo/ui/config"), from, 30000)["gui"].toObject()["displayOffMin"]
                 .toVariant().toInt(), 9);
    QCOMPARE(m_device->application().state(), QProcess::Running);
    QFile conf(m_device->filePath(QStringLiteral("gui.conf")));
    QFile stored(m_device->filePath(QStringLiteral("events.ini")));
    QVERIFY(conf.open(QIODevice::ReadOnly) && stored.open(QIODevice::ReadOnly));
    QCOMPARE(conf.readAll(), settings);
    QCOMPARE(stored.readAll(), events);
}

// A PIN, a broker password and an on-board computer's password: none of them
// in any payload on the bus nor in any line of the log at debug level.
void TestFaults::secretsStayOnTheDevice()
{
    const QByteArray pin = "86420753";
    const QByteArray brokerPassword = "Pw-9f3kQ7";
    const QByteArray obcPassword = "Obc-x7Lm2";
    const QByteArray newPin = "13572468";
    m_device->broker().stop();
    m_device->broker().addUser(QStringLiteral("quillon"), QString::fromUtf8(brokerPassword));
    m_device->broker().addUser(QStringLiteral("peer"), QStringLiteral("peer-pw"));
    m_peer->client().setUsername(QStringLiteral("peer"));
    m_peer->client().setPassword(QStringLiteral("peer-pw"));
    m_peer->client().disconnectFromHost();
    QVERIFY(m_device->broker().start());
    QVERIFY(m_peer->connectAndWait() && m_peer->subscribeAndWait(QStringLiteral("#")));
    const QByteArray settings = "[gui]\ndeviceId=" + m_device->filePath(QStringLiteral("serialnumber")).toUtf8()
                                + "\nsettingsPin=" + pin + "\n\n[log]\nlevel=3\nsyslog=false\n\n[mqtt]\nusername=quillon\npassword="
                                + brokerPassword + "\n";
    QVERIFY(start(settings, QByteArray()));
    QVERIFY(m_device->answers());

    m_peer->publish(QStringLiteral("kivo/blm/config"),
                    QJsonObject{{"blm", QJsonObject{{"obu_host", "obu.local"}, {"obu_username", "tech"},
                                                    {"obu_password", QString::fromUtf8(obcPassword)},
                                                    {"obu_port", "1883"}}}});
    m_peer->publish(QStringLiteral("kivo/ui/config/get"), QByteArray("{}"));
    m_peer->publish(QStringLiteral("kivo/ui/config/set"), QJsonObject{{"gui", QJsonObject{{"settingsPin", QString::fromUtf8(newPin)}}}});
    QVERIFY(m_device->waitLog("[GUIManager] Config changed : ", 0));
    QVERIFY(m_device->answers());

    const QByteArray log = m_device->log();
    QVERIFY(log.contains("Received on topic: kivo/blm/config"));
    for (const QByteArray& secret : {pin, brokerPassword, obcPassword, newPin}) {
        QVERIFY2(!log.contains(secret), secret.constData());
        for (const MqttPeer::Message& m : m_peer->messages()) {
            if (!m.topic.endsWith(QLatin1String("/set")) && m.topic != QLatin1String("kivo/blm/config"))
                QVERIFY2(!m.payload.contains(secret), qPrintable(m.topic));
        }
    }
}

QTEST_MAIN(TestFaults)
#include "tst_Faults.moc"
