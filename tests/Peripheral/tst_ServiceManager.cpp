#include "Common/MqttClient.h"
#include "Peripheral/ServiceManager.h"

#include "BrokerSession.h"
#include "LogCapture.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <memory>

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
    bool settle() { return m_session->settle(); }

    std::unique_ptr<BrokerSession> m_session;
    std::unique_ptr<FakeManager> m_manager;
    MqttPeer* m_peer = nullptr;
    const QString m_base = QStringLiteral("kivo/fake");
};

void TestServiceManager::init()
{
    m_session = std::make_unique<BrokerSession>();
    QVERIFY(m_session->start());
    m_manager = std::make_unique<FakeManager>(m_session->client(), m_base);
    // The client hears the whole bus, so the manager's own filter is what
    // keeps other services' messages out.
    m_session->client().subscribe(QStringLiteral("#"));
    QVERIFY(m_session->connect(m_base + QStringLiteral("/#")));
    m_peer = &m_session->peer();
}

void TestServiceManager::cleanup()
{
    m_manager.reset();
    m_session.reset();
}

void TestServiceManager::statusRuleAndFieldUpdates()
{
    LogCapture log;
    QSignalSpy statusSpy(m_manager.get(), &FakeManager::statusChanged);
    QSignalSpy temperatureSpy(m_manager.get(), &FakeManager::temperatureChanged);
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
    QSignalSpy statusSpy(m_manager.get(), &FakeManager::statusChanged);
    QSignalSpy infoSpy(m_manager.get(), &FakeManager::infoChanged);

    // Malformed JSON: one critical line, nothing changes; outside the base it
    // is not even read.
    m_peer->publish(m_base + QStringLiteral("/status"), QByteArray("{\"service\": tru"));
    m_peer->publish(QStringLiteral("kivo/other/status"), QByteArray("{\"service\": tru"));
    // Base followed by more characters passes the filter but matches no handler.
    m_peer->publish(m_base + QStringLiteral("x/status"), status(true, true, 1));
    m_peer->publish(m_base + QStringLiteral("/status/extra"), status(true, true, 1));
    m_peer->publish(m_base + QStringLiteral("/info"), QJsonObject{{"version", "1.2"}});
    QVERIFY(settle());
    QCOMPARE(statusSpy.count(), 0);
    QCOMPARE(log.count(QStringLiteral("[Fake] Failed to parse JSON message: ")), 1);
    QCOMPARE(infoSpy.count(), 1);
    QCOMPARE(m_manager->info().value(QStringLiteral("version")).toString(), QStringLiteral("1.2"));
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

    // Every (re)connection re-reads the state; the slow retry lets the
    // watcher subscribe first.
    m_session->client().setRetryMillis(2000);
    QVERIFY(m_session->broker().restart());
    MqttPeer watcher(m_session->broker().port());
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
