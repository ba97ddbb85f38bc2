#include "AppWindow.h"

#include "Common/Config.h"
#include "GUIManager.h"
#include "MqttPeer.h"

#include <QFile>
#include <QQmlError>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTest>

namespace {

QStringList& qmlLog()
{
    static QStringList lines;
    return lines;
}

QtMessageHandler previousHandler = nullptr;

// Property reads QML cannot convert are logged by the meta-object system, not the engine.
void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type >= QtWarningMsg && (text.contains(QLatin1String("QMetaProperty")) || text.startsWith(QLatin1String("qrc:/"))))
        qmlLog().append(text);
    previousHandler(type, context, text);
}

} // namespace

AppWindow::AppWindow() = default;

// The manager goes before the peer and the store it reads.
AppWindow::~AppWindow()
{
    m_manager.reset();
    m_simulator.kill();
    m_simulator.waitForFinished(5000);
    m_peer.reset();
    m_config.reset();
}

bool AppWindow::start(const QString& peerFilter, const QVariantMap& settings, bool simulator)
{
    if (!prepare(peerFilter, settings) || (simulator && !startSimulator()))
        return false;

    m_manager = std::make_unique<GUIManager>(*m_config);
    QObject::connect(&m_manager->engine(), &QQmlEngine::warnings, [](const QList<QQmlError>& errors) {
        for (const QQmlError& error : errors)
            qmlLog().append(error.toString());
    });
    m_manager->load();
    if (m_manager->engine().rootObjects().isEmpty())
        return false;
    m_window = qobject_cast<QQuickWindow*>(m_manager->engine().rootObjects().first());
    // The application's status is its last publication after connecting.
    return m_window && QTest::qWaitForWindowExposed(m_window)
           && m_peer->waitFor(QStringLiteral("kivo/ui/status"));
}

bool AppWindow::prepare(const QString& peerFilter, const QVariantMap& settings)
{
    if (!previousHandler)
        previousHandler = qInstallMessageHandler(watchMessages);
    if (!m_dir.isValid() || !m_broker.start() || !writeSerialNumber())
        return false;

    // The stand-in time-zone command, with its state in this folder.
    qputenv("PATH", QByteArray(QUILLON_SOURCE_DIR "/tools/timedatectl:") + qgetenv("PATH"));
    qputenv("TIMEDATECTL_DIR", m_dir.path().toUtf8());
    // Otherwise the event log would grow beside the test binary run after run.
    qputenv("QUILLON_EVENTS_FILE", m_dir.filePath(QStringLiteral("events.ini")).toUtf8());
    m_config = std::make_unique<Config>(m_dir.filePath(QStringLiteral("gui.conf")), GUIManager::Defaults,
                                        GUIManager::Rules);
    m_config->set(QStringLiteral("mqtt/host"), m_broker.host());
    m_config->set(QStringLiteral("mqtt/port"), m_broker.port());
    m_config->set(QStringLiteral("gui/deviceId"), m_dir.filePath(QStringLiteral("serialnumber")));
    m_config->set(QStringLiteral("gui/displayOffMin"), 0);
    m_config->set(QStringLiteral("log/syslog"), false);
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        m_config->set(it.key(), it.value());

    m_peer = std::make_unique<MqttPeer>(m_broker.port());
    return m_peer->connectAndWait() && m_peer->subscribeAndWait(peerFilter);
}

bool AppWindow::startSimulator()
{
    return m_broker.startSimulator(m_simulator, m_dir.filePath(QStringLiteral("simulator.log")))
           && m_peer->waitFor(QStringLiteral("kivo/device/status"));
}

void AppWindow::command(const QString& line)
{
    m_peer->publish(QStringLiteral("kivo/simulator/command"), line.toUtf8());
}

QStringList AppWindow::qmlWarnings() const
{
    return qmlLog();
}

void AppWindow::clearQmlWarnings()
{
    qmlLog().clear();
}

bool AppWindow::writeSerialNumber() const
{
    QFile serial(m_dir.filePath(QStringLiteral("serialnumber")));
    return serial.open(QIODevice::WriteOnly) && serial.write("K12345678\n") > 0;
}
