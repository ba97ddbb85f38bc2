#include "DeviceUnderTest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

#include <memory>
#include <vector>

// Two validators, each the real application with its own broker and
// simulator, joined to one central broker by the bridge that the shipped
// script writes; a central client watches and steers them.
class TestFleet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase() { m_devices.clear(); }
    void centreSeesEveryDevice();
    void configurationChangeReachesOneDevice();
    void testReportAndEventReachTheCentre();
    void killedApplicationIsSeenThroughItsWill();
    void onlyTheApplicationCrossesTheBridge();

private:
    bool bridge(DeviceUnderTest& device);
    QString topic(int device, const QString& suffix) const;

    TestBroker m_centre;
    std::unique_ptr<MqttPeer> m_peer;
    std::vector<std::unique_ptr<DeviceUnderTest>> m_devices;
};

void TestFleet::initTestCase()
{
    auto onFailure = qScopeGuard([this] { cleanup(); });
    const QList<QByteArray> serials{"FLEET-0001", "FLEET-0002"};
    for (const QByteArray& serial : serials)
        m_centre.addUser(QString::fromUtf8(serial), QStringLiteral("pw-") + serial);
    m_centre.addUser(QStringLiteral("centre"), QStringLiteral("pw-centre"));
    // As the fleet page advises for the centre: without it every message
    // from the centre waits some 40 ms for a delayed acknowledgement.
    m_centre.addConfig("set_tcp_nodelay true");
    QVERIFY(m_centre.start());
    m_peer = std::make_unique<MqttPeer>(m_centre.port(), QStringLiteral("centre"));
    m_peer->client().setUsername(QStringLiteral("centre"));
    m_peer->client().setPassword(QStringLiteral("pw-centre"));
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(QStringLiteral("#")));

    for (const QByteArray& serial : serials) {
        m_devices.push_back(std::make_unique<DeviceUnderTest>(serial));
        QVERIFY(bridge(*m_devices.back()));
        QVERIFY(m_devices.back()->startServices());
        QTRY_COMPARE_WITH_TIMEOUT(m_peer->last(topic(int(m_devices.size()) - 1, QStringLiteral("link"))),
                                  QByteArray("1"), 10000);
    }
    // Side by side, as a fleet starts.
    for (auto& device : m_devices)
        QVERIFY(device->launchApplication());
    for (auto& device : m_devices)
        QVERIFY(device->waitForPassengerScreen());
    onFailure.dismiss();
}

// The bridge as a device gets it: the script run over the device's own
// settings and serial-number file, included into its broker's configuration.
bool TestFleet::bridge(DeviceUnderTest& device)
{
    QFile fleet(device.filePath(QStringLiteral("fleet.conf")));
    if (!fleet.open(QIODevice::WriteOnly))
        return false;
    fleet.write("host=127.0.0.1\nport=" + QByteArray::number(m_centre.port()) + "\nusername=" + device.serial()
                + "\npassword=pw-" + device.serial() + "\n");
    fleet.close();
    const QString out = device.filePath(QStringLiteral("bridge.conf"));
    if (QProcess::execute(QStringLiteral(QUILLON_SOURCE_DIR "/dist/quillon-bridge.sh"),
                          {QStringLiteral("-f"), fleet.fileName(), QStringLiteral("-g"),
                           device.filePath(QStringLiteral("gui.conf")), QStringLiteral("-o"), out})
        != 0) {
        return false;
    }
    QFile conf(out);
    if (!conf.open(QIODevice::ReadOnly))
        return false;
    device.broker().addConfig(conf.readAll());
    return true;
}

void TestFleet::cleanup()
{
    for (const auto& device : m_devices) {
        if (QTest::currentTestFailed())
            device->printLogs();
    }
}

QString TestFleet::topic(int device, const QString& suffix) const
{
    return QStringLiteral("fleet/FLEET-000%1/%2").arg(device + 1).arg(suffix);
}

void TestFleet::centreSeesEveryDevice()
{
    for (int i = 0; i < 2; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(m_peer->lastJson(topic(i, QStringLiteral("status")))["service"].toBool(), 10000);
        QVERIFY(!m_peer->lastJson(topic(i, QStringLiteral("info")))["version"].toString().isEmpty());
    }
}

// A change from the centre reaches the one device it names: its settings
// file, its log, and its configuration back at the centre.
void TestFleet::configurationChangeReachesOneDevice()
{
    QFile other(m_devices.at(1)->filePath(QStringLiteral("gui.conf")));
    QVERIFY(other.open(QIODevice::ReadOnly));
    const QByteArray before = other.readAll();
    const int from = m_peer->size();
    m_peer->publish(topic(0, QStringLiteral("config/set")), QJsonObject{{"gui", QJsonObject{{"displayOffMin", 29}}}});
    QCOMPARE(m_peer->waitJson(topic(0, QStringLiteral("config")), from)["gui"].toObject()["displayOffMin"].toInt(), 29);

    QFile changed(m_devices.at(0)->filePath(QStringLiteral("gui.conf")));
    QVERIFY(changed.open(QIODevice::ReadOnly));
    QVERIFY(changed.readAll().contains("displayOffMin=29"));
    QVERIFY(m_devices.at(0)->log().contains("Display OFF interval changed : 29 min(s)"));
    other.seek(0);
    QCOMPARE(other.readAll(), before);
}

// Reports are saved only from the diagnostics page: the technician's road
// through the screen, by real pointer input on the first device.
void TestFleet::testReportAndEventReachTheCentre()
{
    DeviceUnderTest& device = *m_devices.at(0);
    const int from = m_peer->size();
    QVERIFY(device.findWindow(800));
    QVERIFY(device.loginFromTheClock());
    QCOMPARE(m_peer->waitJson(topic(0, QStringLiteral("event")), from)["name"].toString(),
             QStringLiteral("Maintenance login"));

    const int mark = device.logMark();
    QVERIFY(device.tapAt(240, 207));
    QVERIFY(device.waitLog("Starting Diagnostic check", mark));
    // FINISH, until a tap lands after the page has slid in.
    QVERIFY(QTest::qWaitFor([&] { return device.tapAt(396, 759) && device.waitLog("Saving Diagnostics report", mark, 1500); },
                            10000));
    const QString text = m_peer->waitJson(topic(0, QStringLiteral("report")), from)["text"].toString();
    QVERIFY(text.contains(QLatin1String("DEVICE TEST REPORT")) && text.contains(QLatin1String("FLEET-0001")));
    const QStringList files = QDir(device.filePath(QString())).entryList({QStringLiteral("TestReport_*.txt")});
    QCOMPARE(files.size(), 1);
    QFile file(device.filePath(files.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), text);
}

void TestFleet::killedApplicationIsSeenThroughItsWill()
{
    const int from = m_peer->size();
    m_devices.at(0)->killApplication();
    QCOMPARE(m_peer->waitJson(topic(0, QStringLiteral("status")), from), (QJsonObject{{"service", false}}));
}

void TestFleet::onlyTheApplicationCrossesTheBridge()
{
    DeviceUnderTest& device = *m_devices.at(1);
    // Reader, board and inspector traffic on the device's own bus.
    const int localFrom = device.peer().size();
    device.command(QStringLiteral("tap valid"));
    QVERIFY(device.peer().waitFor(QStringLiteral("kivo/inspector/audio/play"), 5000, localFrom));
    // The centre tries a device topic that is not the application's, and a
    // bare one; a configuration request after them shows they had their chance.
    const QStringList probes{topic(1, QStringLiteral("inspector/power/shutdown/request")),
                           QStringLiteral("kivo/inspector/power/shutdown/request")};
    for (const QString& probe : probes)
        QVERIFY(m_peer->publish(probe, QByteArray("from-centre")));
    const int from = m_peer->size();
    QVERIFY(m_peer->publish(topic(1, QStringLiteral("config/get")), QByteArray("{}")));
    QVERIFY(m_peer->waitFor(topic(1, QStringLiteral("config")), 5000, from));

    QSet<QString> local;
    for (const MqttPeer::Message& message : device.peer().messages()) {
        QVERIFY2(message.payload != "from-centre", qPrintable(message.topic));
        local.insert(message.topic.section(QLatin1Char('/'), 0, 1));
    }
    QVERIFY(local.contains(QSet<QString>{"kivo/blm", "kivo/board", "kivo/inspector"}));
    const QRegularExpression allowed(QStringLiteral(
        "^fleet/FLEET-000[12]/(info|status|config|report|event|link|config/set|info/get|status/get|config/get)$"));
    for (const MqttPeer::Message& message : m_peer->messages()) {
        if (!probes.contains(message.topic))
            QVERIFY2(allowed.match(message.topic).hasMatch(), qPrintable(message.topic));
    }
}

QTEST_MAIN(TestFleet)
#include "tst_Fleet.moc"
