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

AppWindow::AppWindow() : m_settings("K12345678\n") {}

// The manager goes before the peer and the store it reads.
AppWindow::~AppWindow()
{
    m_manager.reset();
    m_simulator.kill();
    m_simulator.waitForFinished(5000);
    m_peer.reset();
}

bool AppWindow::start(const QString& peerFilter, const QVariantMap& settings, bool simulator)
{
    if (!prepare(peerFilter, settings) || (simulator && !startSimulator()))
        return false;

    m_manager = std::make_unique<GUIManager>(m_settings.config());
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
    if (!m_settings.isValid() || !m_broker.start())
        return false;
    Config& config = m_settings.config();
    config.set(QStringLiteral("mqtt/host"), m_broker.host());
    config.set(QStringLiteral("mqtt/port"), m_broker.port());
    config.set(QStringLiteral("gui/displayOffMin"), 0);
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        config.set(it.key(), it.value());

    m_peer = std::make_unique<MqttPeer>(m_broker.port());
    return m_peer->connectAndWait() && m_peer->subscribeAndWait(peerFilter);
}

bool AppWindow::startSimulator()
{
    return m_broker.startSimulator(m_simulator, m_settings.filePath(QStringLiteral("simulator.log")))
           && m_peer->waitFor(QStringLiteral("kivo/device/status"));
}

QStringList AppWindow::qmlWarnings() const
{
    return qmlLog();
}

void AppWindow::clearQmlWarnings()
{
    qmlLog().clear();
}

