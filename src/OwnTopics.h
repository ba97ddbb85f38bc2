#pragma once

#include "Common/TopicRouter.h"

#include <QByteArray>
#include <QJsonObject>
#include <QSet>
#include <QString>

class Config;
class Event;
class SessionManager;

namespace manager {
class MessageBus;
class MqttClient;
} // namespace manager

// The application's own presence under its base topic: information, status
// and configuration on request, events and reports as they come, and the
// few settings a fleet's centre may change, on a topic of their own.
class OwnTopics
{
public:
    // The client takes the connection's settings; the bus carries the messages.
    OwnTopics(manager::MqttClient& client, manager::MessageBus& bus, Config& config, SessionManager& session);

    QString baseTopic() const;
    // The client's identity, broker and last will from the configuration,
    // and the request topics under the current base topic.
    void prepareConnection();
    void publishInfo();
    void publishStatus();
    void publishConfig();
    void publishEvent(const Event* event);
    void publishReport(const QString& text);
    void onMessage(const QByteArray& payload, const QByteArray& topic);

private:
    void subscribe();
    // The requests under the current base topic.
    manager::TopicRouter routes();
    void applyFleetSettings(const QJsonObject& object);
    void publish(const QString& suffix, const QJsonObject& object, int qos = 0);

    manager::MqttClient& m_client;
    manager::MessageBus& m_bus;
    Config& m_config;
    SessionManager& m_session;
    QSet<QString> m_subscribedBases;
};
