#pragma once

#include "ChildProcess.h"
#include "ScratchSettings.h"
#include "TestBroker.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class Config;
class GUIManager;
class MqttPeer;
class QQuickWindow;

// The application in-process: a real GUIManager with its main window on a
// private broker, a serial number on file, a peer that sees the bus and,
// when asked, the device simulator playing every service.
class AppWindow
{
public:
    AppWindow();
    ~AppWindow();

    // `settings` go into the store before the manager starts; the peer
    // listens to `peerFilter`. True once the window shows and the
    // application has announced its status.
    bool start(const QString& peerFilter, const QVariantMap& settings = QVariantMap(), bool simulator = false);
    // What the window's QML reported: errors, unregistered property types, binding loops.
    QStringList qmlWarnings() const;
    void clearQmlWarnings();

    QString path() const { return m_settings.path(); }
    Config* config() { return &m_settings.config(); }
    GUIManager* manager() const { return m_manager.get(); }
    MqttPeer* peer() const { return m_peer.get(); }
    QQuickWindow* window() const { return m_window; }

private:
    // Broker, serial number, store and peer.
    bool prepare(const QString& peerFilter, const QVariantMap& settings);
    bool startSimulator();

    ScratchSettings m_settings;
    TestBroker m_broker;
    std::unique_ptr<MqttPeer> m_peer;
    std::unique_ptr<GUIManager> m_manager;
    QQuickWindow* m_window = nullptr;
    ChildProcess m_simulator;
};
