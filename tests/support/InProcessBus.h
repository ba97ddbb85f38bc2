#pragma once

#include "Common/MessageBus.h"
#include "MessageLog.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// A bus inside the test process, in place of a broker: what the code under
// test publishes is recorded, and the test plays the services by delivering
// messages, which reach the subscribers at once. Topic filters match as a
// broker matches them.
class InProcessBus : public manager::MessageBus, public MessageLog
{
    Q_OBJECT
public:
    using MessageBus::MessageBus;

    // Connects on the next turn of the event loop, as a client would.
    void connect() override;
    void subscribe(const QString& topic, quint8 qos = 0) override;
    bool publish(const QByteArray& data, const QString& topic, quint8 qos = 0, bool retain = false) override;

    // A message from a service: false when no subscription takes it.
    bool deliver(const QString& topic, const QByteArray& payload);
    bool deliver(const QString& topic, const QJsonObject& payload);
    // The link is lost; connect() brings it back.
    void drop();
    bool waitConnected();

    // Every subscription asked for, in order, repeats included.
    QStringList subscriptions() const { return m_filters; }

    static bool matches(const QString& filter, const QString& topic);

private:
    bool m_connected = false;
    QStringList m_filters;
};
