#include "Common/MqttClient.h"
#include "Peripheral/ServiceManager.h"

#include "LogCapture.h"
#include "MqttPeer.h"
#include "TestBroker.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using manager::MqttClient;

namespace {

// A manager-shaped double: info and status areas, one device field.
class FakeManager : public manager::ServiceManager
{
    Q_OBJECT
    Q_PROPERTY(double temperature READ temperature NOTIFY temperatureChanged)
public:
    FakeManager(MqttClient& mqtt, const QString& base)
        : ServiceManager(mqtt, base, QStringLiteral("[Fake] "), nullptr)
    {
        handle(QStringLiteral("/info"), [this](const QJsonObject& m, const QString&) {
            setInfo(m.toVariantMap());
        });
        handle(QStringLiteral("/status"), [this](const QJsonObject& m, const QString& t) {
            onStatusReceived(m, t);
        });
        setPolledAreas({QStringLiteral("status"), QStringLiteral("display")});
        refreshOnConnect();
        subscribe({QStringLiteral("/info"), QStringLiteral("/status")});
    }

    double temperature() const { return m_device.value(QStringLiteral("temperature")).toDouble(); }

    void send(const QJsonObject& request)
    {
        publishJson(m_base + QStringLiteral("/display/set"), request);
    }

signals:
    void temperatureChanged();

private:
    void onStatusReceived(const QJsonObject& message, const QString&)
    {
        QJsonObject device;
        if (!readServiceStatus(message, &device))
            return;
        const double t = device.value(QStringLiteral("temperature")).toDouble();
        if (updateField(m_device, QStringLiteral("temperature"), t, QStringLiteral("Temperature")))
            emit temperatureChanged();
    }

    QJsonObject m_device;
};

QJsonObject status(bool service, bool active, double temperature)
{
    return QJsonObject{{"service", service},
                       {"device", QJsonObject{{"active", active}, {"temperature", temperature}}}};
}

} // namespace

class TestServiceManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusRuleAndFieldUpdates();
    void receptionFiltersAndDecodes();
    void refreshAndMonitor();
    void requestsAreIndentedJson();

private:
    bool settle();

    TestBroker* m_broker = nullptr;
    MqttClient* m_mqtt = nullptr;
    FakeManager* m_manager = nullptr;
    MqttPeer* m_peer = nullptr;
    const QString m_base = QStringLiteral("kivo/fake");
    int m_markers = 0;
};

void TestServiceManager::init()
{
    m_broker = new TestBroker;
    QVERIFY(m_broker->start());
    m_mqtt = new MqttClient;
    m_mqtt->setHostname(m_broker->host());
    m_mqtt->setPort(m_broker->port());
    m_manager = new FakeManager(*m_mqtt, m_base);
    QSignalSpy connected(m_mqtt, &MqttClient::connected);
    m_mqtt->connect();
    QVERIFY(connected.wait(5000));
    m_peer = new MqttPeer(m_broker->port());
    QVERIFY(m_peer->connectAndWait());
    QVERIFY(m_peer->subscribeAndWait(m_base + QStringLiteral("/#")));
    QVERIFY(settle());
    m_peer->clear();
}

void TestServiceManager::cleanup()
{
    delete m_peer;
    delete m_manager;
    delete m_mqtt;
    delete m_broker;
}

// A round trip through the manager's own subscription: once a marker is
// back, everything published before it has been handled.
bool TestServiceManager::settle()
{
    QSignalSpy received(m_mqtt, &MqttClient::received);
    const QString marker = m_base + QStringLiteral("/info");
    for (int attempt = 0; attempt < 10; ++attempt) {
        m_peer->publish(marker, QJsonObject{{"marker", ++m_markers}});
        const bool back = QTest::qWaitFor([&] {
            for (const auto& args : received) {
                if (args.at(1).toByteArray() == marker.toUtf8())
                    return true;
            }
            return false;
        }, 300);
        if (back)
            return true;
    }
    return false;
}

void TestServiceManager::statusRuleAndFieldUpdates()
{
    LogCapture log;
    QSignalSpy statusSpy(m_manager, &FakeManager::statusChanged);
    QSignalSpy temperatureSpy(m_manager, &FakeManager::temperatureChanged);
    const QString topic = m_base + QStringLiteral("/status");

    m_peer->publish(topic, status(true, true, 41.5));
    QVERIFY(statusSpy.wait(3000));
    QCOMPARE(m_manager->status(), QStringLiteral("online"));
    QTRY_COMPARE(temperatureSpy.count(), 1);
    QCOMPARE(m_manager->temperature(), 41.5);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Fake] Status changed : online")));
    QVERIFY(log.contains(QtDebugMsg, QStringLiteral("[Fake] Temperature changed : 41.5")));

    // The same message again changes nothing.
    m_peer->publish(topic, status(true, true, 41.5));
    QVERIFY(settle());
    QCOMPARE(statusSpy.count(), 1);
    QCOMPARE(temperatureSpy.count(), 1);

    // Inactive device: "error", the other fields keep their last value.
    m_peer->publish(topic, status(true, false, 99));
    QVERIFY(statusSpy.wait(3000));
    QCOMPARE(m_manager->status(), QStringLiteral("error"));
    QCOMPARE(m_manager->temperature(), 41.5);

    // An empty retained payload reads as an empty object: the service is gone.
    m_peer->publish(topic, QByteArray(), true);
    QVERIFY(statusSpy.wait(3000));
    QCOMPARE(m_manager->status(), QStringLiteral("offline"));
    m_peer->publish(topic, QByteArray(), true);
}

void TestServiceManager::receptionFiltersAndDecodes()
{
    LogCapture log;
    QSignalSpy statusSpy(m_manager, &FakeManager::statusChanged);
    QSignalSpy infoSpy(m_manager, &FakeManager::infoChanged);

    // Malformed JSON: one critical line, nothing changes.
    m_peer->publish(m_base + QStringLiteral("/status"), QByteArray("{\"service\": tru"));
    // Base followed by more characters passes the filter but matches no handler.
    m_peer->publish(m_base + QStringLiteral("x/status"), status(true, true, 1));
    m_peer->publish(m_base + QStringLiteral("/status/extra"), status(true, true, 1));
    QVERIFY(settle());
    QCOMPARE(statusSpy.count(), 0);
    QCOMPARE(log.count(QStringLiteral("[Fake] Failed to parse JSON message: ")), 1);
    QVERIFY(infoSpy.count() >= 1);
    QVERIFY(m_manager->info().contains(QStringLiteral("marker")));
}

void TestServiceManager::refreshAndMonitor()
{
    LogCapture log;
    m_manager->monitor(300);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Fake] Monitor started : 300 msec(s)")));
    // At once, then on every tick.
    QVERIFY(m_peer->waitFor(m_base + QStringLiteral("/display/get")));
    QCOMPARE(m_peer->count(m_base + QStringLiteral("/status/get")), 1);
    QCOMPARE(m_peer->last(m_base + QStringLiteral("/status/get")), QByteArray("{}"));
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->count(m_base + QStringLiteral("/status/get")) >= 3, 3000);
    QVERIFY(log.contains(QtDebugMsg, QStringLiteral("[Fake] Refreshing data")));

    m_manager->monitor(0);
    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[Fake] Monitor stopped")));
    QVERIFY(settle());
    const int stopped = m_peer->count(m_base + QStringLiteral("/status/get"));
    QTest::qWait(700);
    QCOMPARE(m_peer->count(m_base + QStringLiteral("/status/get")), stopped);

    // Every (re)connection re-reads the state.
    QVERIFY(m_broker->restart());
    MqttPeer watcher(m_broker->port());
    QVERIFY(watcher.connectAndWait());
    QVERIFY(watcher.subscribeAndWait(m_base + QStringLiteral("/#")));
    QVERIFY(watcher.waitFor(m_base + QStringLiteral("/status/get"), 8000));
    QVERIFY(watcher.waitFor(m_base + QStringLiteral("/display/get"), 2000));
}

void TestServiceManager::requestsAreIndentedJson()
{
    m_manager->send(QJsonObject{{"mode", "auto"}, {"brightness", 80}, {"nested", QJsonObject{{"on", true}}}});
    const QString topic = m_base + QStringLiteral("/display/set");
    QVERIFY(m_peer->waitFor(topic));
    QCOMPARE(m_peer->last(topic),
             QByteArray("{\n    \"brightness\": 80,\n    \"mode\": \"auto\",\n    \"nested\": {\n"
                        "        \"on\": true\n    }\n}\n"));
}

QTEST_GUILESS_MAIN(TestServiceManager)
#include "tst_ServiceManager.moc"
