#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace manager {

// What the application's objects need of a broker connection: connect,
// subscribe, publish, and hear what arrives. The MQTT client is the one the
// product uses; tests put an in-process bus in its place.
class MessageBus : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void connected();
    void disconnected();
    void received(QByteArray data, QByteArray from);
    void error(QString error);

public slots:
    virtual void connect() = 0;
    virtual void subscribe(const QString& topic, quint8 qos = 0) = 0;
    virtual bool publish(const QByteArray& data, const QString& topic, quint8 qos = 0, bool retain = false) = 0;
};

} // namespace manager
