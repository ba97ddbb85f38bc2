#include "DeviceUnderTest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <memory>
#include <vector>

namespace {

const QString BridgeScript = QStringLiteral(QUILLON_SOURCE_DIR "/dist/quillon-bridge.sh");
// The second device's, with the script's placeholders, which must reach the
// bridge as they are.
const QString SecondPassword = QStringLiteral("@PASSWORD@@SERIAL@-pw");

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Exit code of `program`, or -1 if it crashed or outlived its time; its
// standard error in `errors`.
int run(const QString& program, const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
        QByteArray* errors = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The central broker's folder, as /etc/mosquitto/fleet on the shipped
// central broker: a certificate authority of the test's own that signs the
// broker's certificate (for 127.0.0.1) and the devices', the accounts and
// the access list.
class CentreFiles
{
public:
    bool create()
    {
        return openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", "ca.key", "-out", "ca.crt", "-subj", "/CN=Fleet test CA", "-days", "2"})
            && writeFile(path("server.ext"), "subjectAltName=IP:127.0.0.1\n")
            && issue(QStringLiteral("server"), QStringLiteral("127.0.0.1"), {"-extfile", "server.ext"});
    }
    // name.crt and name.key, with `commonName` as the subject.
    bool issue(const QString& name, const QString& commonName, const QStringList& extra = {})
    {
        return openssl({"req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", name + ".key", "-out", name + ".csr", "-subj", "/CN=" + commonName})
            && openssl(QStringList{"x509", "-req", "-in", name + ".csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                                   "-set_serial", QString::number(++m_serial), "-days", "2", "-out", name + ".crt"}
                       + extra);
    }
    bool addAccount(const QString& name, const QString& password)
    {
        QStringList args{"-b", path("passwd"), name, password};
        if (!QFile::exists(path("passwd")))
            args.prepend(QStringLiteral("-c"));
        return run(QStringLiteral("mosquitto_passwd"), args) == 0;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString dir() const { return m_dir.path(); }

private:
    bool openssl(const QStringList& args)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral("openssl"), args);
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    int m_serial = 0;
};

} // namespace

// Two validators, each the real application with its own broker and
// simulator, joined by the bridge that the shipped script writes to one
// central broker with the shipped configuration and access list. The first
// device proves itself with a client certificate, the second with its
// account. A harness client on a listener of its own hears and may say
// anything; the operators and a third device use the shipped accounts.
class TestFleet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase() { m_devices.clear(); }
    void centralChangeReachesOneDevice();
    void deviceAccountSpeaksOnlyForItself();
    void dashboardCannotConfigure();
    void hostileSettingsLeaveTheBridge_data();
    void hostileSettingsLeaveTheBridge();
    void killedApplicationIsSeenThroughItsWill();
    void onlyTheApplicationCrossesTheBridge();

private:
    bool startCentre();
    bool bridge(DeviceUnderTest& device, const QByteArray& identity);
    QString topic(int device, const QString& suffix) const;
    std::unique_ptr<MqttPeer> centralClient(const QString& account, const QString& clientId = QString());
    // A configuration change from the centre's console to one device. The
    // device's answer is the first `fleet/<sn>/config/result` the harness
    // hears from the index returned.
    int setFromCentre(int device, const QJsonObject& change);

    CentreFiles m_files;
    TestBroker m_centre;
    quint16 m_tlsPort = 0;
    quint16 m_accountsPort = 0;
    std::unique_ptr<MqttPeer> m_peer;
    std::unique_ptr<MqttPeer> m_console;
    std::vector<std::unique_ptr<DeviceUnderTest>> m_devices;
};

void TestFleet::initTestCase()
{
    auto onFailure = qScopeGuard([this] { cleanup(); });
    QVERIFY(m_files.create());
    QVERIFY(startCentre());
    m_peer = centralClient(QStringLiteral("centre"));
    QVERIFY(m_peer && m_peer->subscribeAndWait(QStringLiteral("#")));
    m_console = centralClient(QStringLiteral("console@ops"));
    QVERIFY(m_console);

    // The first by certificate over TLS, the second by its account.
    m_devices.push_back(std::make_unique<DeviceUnderTest>("FLEET-0001"));
    QVERIFY(m_files.issue(QStringLiteral("FLEET-0001"), QStringLiteral("FLEET-0001")));
    QVERIFY(bridge(*m_devices.back(),
                   "port=" + QByteArray::number(m_tlsPort) + "\ncafile=" + m_files.path("ca.crt").toUtf8()
                       + "\ncertfile=" + m_files.path("FLEET-0001.crt").toUtf8()
                       + "\nkeyfile=" + m_files.path("FLEET-0001.key").toUtf8() + "\n"));
    m_devices.push_back(std::make_unique<DeviceUnderTest>("FLEET-0002"));
    QVERIFY(bridge(*m_devices.back(), "port=" + QByteArray::number(m_accountsPort)
                                          + "\ninsecure=true\nusername=FLEET-0002\npassword=" + SecondPassword.toUtf8() + "\n"));
    for (int i = 0; i < int(m_devices.size()); ++i) {
        QVERIFY(m_devices.at(i)->startServices());
        QTRY_COMPARE_WITH_TIMEOUT(m_peer->last(topic(i, QStringLiteral("link"))), QByteArray("1"), 30000);
    }
    // Side by side, as a fleet starts.
    for (auto& device : m_devices)
        QVERIFY(device->launchApplication());
    for (auto& device : m_devices)
        QVERIFY(device->waitForPassengerScreen());
    onFailure.dismiss();
}

// The shipped configuration on the test's ports and files. The test's
// clients speak no TLS: the accounts' listener takes them in plain text,
// with the rest of its settings as shipped.
bool TestFleet::startCentre()
{
    const QStringList accounts{"centre", "dashboard@ops", "console@ops", "FLEET-0002", "FLEET-0003"};
    for (const QString& account : accounts) {
        if (!m_files.addAccount(account, account == QLatin1String("FLEET-0002") ? SecondPassword
                                                                                 : QStringLiteral("pw-") + account))
            return false;
    }
    // The shipped access list, plus the test's own: the harness may do
    // anything, and the others may use the markers their peers sync on.
    QByteArray acl = readFile(QStringLiteral(QUILLON_SOURCE_DIR "/dist/central/acl"));
    acl += "\nuser centre\ntopic readwrite #\n";
    for (const QString& account : accounts.mid(1))
        acl += "user " + account.toUtf8() + "\ntopic readwrite " + MqttPeer::SyncPrefix.toUtf8() + "#\n";
    if (!writeFile(m_files.path("acl"), acl))
        return false;

    m_tlsPort = TestBroker::freePort();
    m_accountsPort = TestBroker::freePort();
    QString conf = QString::fromUtf8(readFile(QStringLiteral(QUILLON_SOURCE_DIR "/dist/central/mosquitto.conf")));
    conf.replace(QLatin1String("/etc/mosquitto/fleet/"), m_files.dir() + QLatin1Char('/'));
    conf.replace(QLatin1String("listener 8883"), QStringLiteral("listener %1 127.0.0.1").arg(m_tlsPort));
    const int accountsListener = conf.indexOf(QLatin1String("listener 8884"));
    if (!conf.contains(QLatin1String("acl_file")) || accountsListener < 0)
        return false;
    QString plain = conf.mid(accountsListener);
    plain.replace(QLatin1String("listener 8884"), QStringLiteral("listener %1 127.0.0.1").arg(m_accountsPort));
    plain.remove(QRegularExpression(QStringLiteral("^(certfile|keyfile) .*\n"), QRegularExpression::MultilineOption));
    m_centre.addConfig(conf.left(accountsListener).toUtf8() + plain.toUtf8());
    return m_centre.start();
}

// A client of the accounts' listener, the harness's own listener for
// "centre"; null if it could not connect.
std::unique_ptr<MqttPeer> TestFleet::centralClient(const QString& account, const QString& clientId)
{
    const quint16 port = account == QLatin1String("centre") ? m_centre.port() : m_accountsPort;
    auto peer = std::make_unique<MqttPeer>(port, clientId.isEmpty() ? account : clientId);
    peer->client().setUsername(account);
    peer->client().setPassword(QStringLiteral("pw-") + account);
    return peer->connectAndWait() ? std::move(peer) : nullptr;
}

// The bridge as a device gets it: the script run over the device's own
// settings and serial-number file, included into its broker's configuration.
bool TestFleet::bridge(DeviceUnderTest& device, const QByteArray& identity)
{
    const QString fleet = device.filePath(QStringLiteral("fleet.conf"));
    const QString out = device.filePath(QStringLiteral("bridge.conf"));
    if (!writeFile(fleet, "host=127.0.0.1\n" + identity)
        || run(BridgeScript, {"-f", fleet, "-g", device.filePath(QStringLiteral("gui.conf")), "-o", out}) != 0)
        return false;
    device.broker().addConfig(readFile(out));
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

int TestFleet::setFromCentre(int device, const QJsonObject& change)
{
    const int from = m_peer->size();
    m_console->publish(topic(device, QStringLiteral("config/set")), change);
    return from;
}

// The centre's change reaches the one device it names, on a topic of its
// own where the application takes only the short list (the rest is refused
// and named in the reply), never on the local bus's configuration topic. A
// PIN rotation reaches the device, never the centre.
void TestFleet::centralChangeReachesOneDevice()
{
    const auto setting = [this](int device, const QString& key) {
        return QSettings(m_devices.at(device)->filePath(QStringLiteral("gui.conf")), QSettings::IniFormat).value(key);
    };
    int from = setFromCentre(0, QJsonObject{{"gui", QJsonObject{{"displayOffMin", 29}}},
                                            {"mqtt", QJsonObject{{"host", "evil.example"}}}});
    QJsonObject reply = m_peer->waitJson(topic(0, QStringLiteral("config/result")), from);
    QCOMPARE(reply["applied"].toVariant().toStringList(), QStringList{"gui/displayOffMin"});
    QCOMPARE(reply["refused"].toVariant().toStringList(), QStringList{"mqtt/host"});
    QCOMPARE(setting(0, "gui/displayOffMin").toInt(), 29);
    QCOMPARE(setting(0, "mqtt/host").toString(), QStringLiteral("localhost"));
    QVERIFY(setting(1, "gui/displayOffMin").toInt() != 29);

    const QByteArray pin = "24681357";
    from = setFromCentre(1, QJsonObject{{"gui", QJsonObject{{"settingsPin", QString::fromUtf8(pin)}}}});
    reply = m_peer->waitJson(topic(1, QStringLiteral("config/result")), from);
    QCOMPARE(reply["applied"].toVariant().toStringList(), QStringList{"gui/settingsPin"});
    QCOMPARE(setting(1, "gui/settingsPin").toString(), QString::fromUtf8(pin));
    QCOMPARE(m_peer->waitJson(topic(1, QStringLiteral("event")), from)["name"].toString(), QStringLiteral("PIN changed"));
    from = m_peer->size();
    QVERIFY(m_console->publish(topic(1, QStringLiteral("config/get")), QByteArray("{}")));
    const QJsonObject config = m_peer->waitJson(topic(1, QStringLiteral("config")), from);
    QVERIFY(!config["gui"].toObject().contains("settingsPin") && !config["mqtt"].toObject().contains("password"));
    for (const MqttPeer::Message& message : m_peer->messages()) {
        if (!message.topic.endsWith(QLatin1String("/config/set")))
            QVERIFY2(!message.payload.contains(pin), qPrintable(message.topic));
    }
}

// A third device's account, connecting with the first device's client id,
// neither takes over that device's session nor speaks in its name or the
// second's, and hears only the requests made to itself.
void TestFleet::deviceAccountSpeaksOnlyForItself()
{
    MqttPeer& first = m_devices.at(0)->peer();
    const int from = m_peer->size();
    auto rogue = centralClient(QStringLiteral("FLEET-0003"), QStringLiteral("FLEET-0001"));
    QVERIFY(rogue && rogue->subscribeAndWait(QStringLiteral("fleet/#")));
    // The first device's bridge is still the one subscribed: a request sent
    // now reaches it at once (after a takeover it would be lost).
    const int firstFrom = first.size();
    QVERIFY(m_console->publish(topic(0, QStringLiteral("config/get")), QByteArray("{}")));
    QVERIFY(first.waitFor(QStringLiteral("kivo/ui/config/get"), MqttPeer::WaitMillis, firstFrom));
    QVERIFY(m_peer->waitFor(topic(0, QStringLiteral("config")), MqttPeer::WaitMillis, from));

    const QStringList forged{topic(0, QStringLiteral("status")), topic(0, QStringLiteral("link")),
                             topic(0, QStringLiteral("config/set")), topic(1, QStringLiteral("event")),
                             QStringLiteral("fleet/FLEET-0003/config/set")};
    for (const QString& target : forged)
        QVERIFY(rogue->publish(target, QByteArray("forged"), true));
    QVERIFY(rogue->publish(QStringLiteral("fleet/FLEET-0003/status"), QByteArray("{\"service\":true}")));
    QVERIFY(m_peer->waitFor(QStringLiteral("fleet/FLEET-0003/status"), MqttPeer::WaitMillis, from));
    // Its own request comes to it, after the first device's answer had gone
    // round: that answer would have come first.
    QVERIFY(m_console->publish(QStringLiteral("fleet/FLEET-0003/info/get"), QByteArray("{}")));
    QVERIFY(rogue->waitFor(QStringLiteral("fleet/FLEET-0003/info/get")));

    for (const MqttPeer::Message& message : m_peer->messages().mid(from))
        QVERIFY2(message.payload != "forged", qPrintable(message.topic));
    QCOMPARE(rogue->messages().size(), 1);
    QCOMPARE(m_peer->last(topic(0, QStringLiteral("link"))), QByteArray("1"));
}

// A read-only operator hears the fleet but reaches no device: neither its
// change nor its request arrives, while the console's, sent after them, does.
void TestFleet::dashboardCannotConfigure()
{
    MqttPeer& device = m_devices.at(0)->peer();
    const int deviceFrom = device.size();
    auto dashboard = centralClient(QStringLiteral("dashboard@ops"));
    QVERIFY(dashboard && dashboard->subscribeAndWait(QStringLiteral("fleet/#")));
    QVERIFY(dashboard->publish(topic(0, QStringLiteral("config/set")),
                               QJsonObject{{"gui", QJsonObject{{"displayOffMin", 41}}}}));
    QVERIFY(dashboard->publish(topic(0, QStringLiteral("status/get")), QByteArray("{}")));
    QVERIFY(dashboard->sync());

    QVERIFY(m_console->publish(topic(0, QStringLiteral("info/get")), QByteArray("{}")));
    QVERIFY(device.waitFor(QStringLiteral("kivo/ui/info/get"), MqttPeer::WaitMillis, deviceFrom));
    QVERIFY(dashboard->waitFor(topic(0, QStringLiteral("info"))));
    for (const MqttPeer::Message& message : device.messages().mid(deviceFrom)) {
        QVERIFY2(!message.topic.endsWith(QLatin1String("config/set")) && !message.topic.endsWith(QLatin1String("status/get")),
                 qPrintable(message.topic));
    }
}

// Settings that would break the broker or widen the link, and serial-number
// files that would hang the script or pass for a serial number: each is
// refused, the bridge file stays byte for byte, the broker is not restarted.
void TestFleet::hostileSettingsLeaveTheBridge_data()
{
    QTest::addColumn<QByteArray>("base");
    // What gui/deviceId names: a file of the test's folder or a path.
    QTest::addColumn<QString>("serialFile");
    QTest::addColumn<QByteArray>("fleet");

    const QByteArray plain = "host=127.0.0.1\ninsecure=true\n";
    QTest::newRow("base with #") << QByteArray("kivo/#") << "serialnumber" << plain;
    QTest::newRow("base with +") << QByteArray("kivo/+") << "serialnumber" << plain;
    QTest::newRow("empty level") << QByteArray("a//b") << "serialnumber" << plain;
    QTest::newRow("placeholder in the base") << QByteArray("x@PASSWORD@") << "serialnumber" << plain;
    QTest::newRow("a service's base") << QByteArray("kivo/blm") << "serialnumber" << plain;
    QTest::newRow("base over the services") << QByteArray("kivo") << "serialnumber" << plain;
    QTest::newRow("serial file /dev/zero") << QByteArray("kivo/ui") << "/dev/zero" << plain;
    QTest::newRow("serial file a FIFO") << QByteArray("kivo/ui") << "fifo" << plain;
    QTest::newRow("huge serial file") << QByteArray("kivo/ui") << "huge" << plain;
    QTest::newRow("placeholder as serial") << QByteArray("kivo/ui") << "placeholder" << plain;
    QTest::newRow("plain text unasked") << QByteArray("kivo/ui") << "serialnumber" << QByteArray("host=127.0.0.1\n");
    QTest::newRow("certificate without key")
        << QByteArray("kivo/ui") << "serialnumber"
        << "host=127.0.0.1\ncafile=" + m_files.path("ca.crt").toUtf8() + "\ncertfile="
               + m_files.path("FLEET-0001.crt").toUtf8() + "\n";
}

void TestFleet::hostileSettingsLeaveTheBridge()
{
    QFETCH(QByteArray, base);
    QFETCH(QString, serialFile);
    QFETCH(QByteArray, fleet);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("serialnumber")), "FLEET-0009\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("huge")), "FLEET-0009\n" + QByteArray(4 << 20, 'A')));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("placeholder")), "x@PASSWORD@\n"));
    // The broker's restarts, recorded instead of made.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    const QString systemctl = dir.filePath(QStringLiteral("bin/systemctl"));
    QVERIFY(writeFile(systemctl, "#!/bin/sh\necho \"$*\" >>\"$(dirname \"$0\")/calls\"\n"));
    QVERIFY(QFile::setPermissions(systemctl, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.filePath(QStringLiteral("bin:")) + env.value(QStringLiteral("PATH")));
    const QString fleetFile = dir.filePath(QStringLiteral("fleet.conf"));
    const QString gui = dir.filePath(QStringLiteral("gui.conf"));
    const QString out = dir.filePath(QStringLiteral("bridge.conf"));
    const QString calls = dir.filePath(QStringLiteral("bin/calls"));
    const QStringList args{"-r", "-f", fleetFile, "-g", gui, "-o", out};

    QVERIFY(writeFile(fleetFile, "host=127.0.0.1\ninsecure=true\npassword=pw\n"));
    QVERIFY(writeFile(gui, "[gui]\ndeviceId=" + dir.filePath(QStringLiteral("serialnumber")).toUtf8() + "\n"));
    QCOMPARE(run(BridgeScript, args, env), 0);
    const QByteArray before = readFile(out);
    QVERIFY(before.contains("topic info out 1 kivo/ui/ fleet/FLEET-0009/"));
    QCOMPARE(readFile(calls), QByteArray("--no-block try-restart mosquitto.service\n"));

    QVERIFY(writeFile(fleetFile, fleet));
    const QString serialPath = QDir::isAbsolutePath(serialFile) ? serialFile : dir.filePath(serialFile);
    QVERIFY(writeFile(gui, "[gui]\ndeviceId=" + serialPath.toUtf8() + "\n\n[mqtt]\nbase=" + base + "\n"));
    QByteArray errors;
    const int code = run(BridgeScript, args, env, &errors);
    QVERIFY2(code > 0, errors.constData());
    QVERIFY2(errors.contains("bridge left as it was"), errors.constData());
    QVERIFY(!errors.contains("FLEET-0009") && !errors.contains("AAAA"));
    QCOMPARE(readFile(out), before);
    QCOMPARE(readFile(calls).count('\n'), 1);
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
    QVERIFY(device.peer().waitFor(QStringLiteral("kivo/inspector/audio/play"), MqttPeer::WaitMillis, localFrom));
    // The centre tries a device topic that is not the application's, and a
    // bare one; a configuration request after them shows they had their chance.
    const QStringList probes{topic(1, QStringLiteral("inspector/power/shutdown/request")),
                           QStringLiteral("kivo/inspector/power/shutdown/request")};
    for (const QString& probe : probes)
        QVERIFY(m_peer->publish(probe, QByteArray("from-centre")));
    const int from = m_peer->size();
    QVERIFY(m_peer->publish(topic(1, QStringLiteral("config/get")), QByteArray("{}")));
    QVERIFY(m_peer->waitFor(topic(1, QStringLiteral("config")), MqttPeer::WaitMillis, from));

    QSet<QString> local;
    for (const MqttPeer::Message& message : device.peer().messages()) {
        QVERIFY2(message.payload != "from-centre", qPrintable(message.topic));
        local.insert(message.topic.section(QLatin1Char('/'), 0, 1));
    }
    QVERIFY(local.contains(QSet<QString>{"kivo/blm", "kivo/board", "kivo/inspector"}));
    const QRegularExpression allowed(
        QStringLiteral("^fleet/FLEET-000[123]/(info|status|config|report|event|link|config/set|config/result|"
                       "info/get|status/get|config/get)$"));
    for (const MqttPeer::Message& message : m_peer->messages()) {
        if (!probes.contains(message.topic))
            QVERIFY2(allowed.match(message.topic).hasMatch(), qPrintable(message.topic));
    }
}

QTEST_MAIN(TestFleet)
#include "tst_Fleet.moc"
