#pragma once

#include "BoardService.h"
#include "InspectorService.h"
#include "NetworkService.h"
#include "TimeService.h"
#include "UpdateService.h"
#include "ValidationService.h"

#include "Common/MqttClient.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Every simulated service on one broker, driven by typed commands or by
// commands published on the command topic.
class Simulator : public QObject
{
    Q_OBJECT
public:
    static const QString CommandTopic;

    explicit Simulator(QObject* parent = nullptr);

    void start(const QString& host, quint16 port);
    // False when the line is not a command; the reason is logged.
    bool execute(const QString& line);

signals:
    void quitRequested();

private:
    struct Command {
        QString verb;
        QString usage;
        std::function<bool(const QStringList&)> run;
    };

    void addCommands();
    void printHelp() const;
    bool tap(const QStringList& args);
    bool scan(const QStringList& args);
    bool scanConfiguration(const QStringList& args);
    bool setServiceOnline(const QStringList& args);
    bool setValidatorHealth(const QStringList& args);
    bool setNtp(const QStringList& args);
    bool setUpdate(const QStringList& args);
    void onControlReceived(const QByteArray& payload, const QByteArray& topic);
    void onNtpChanged();
    QList<SimulatedService*> services();

    ValidationService m_validation;
    BoardService m_board;
    InspectorService m_inspector;
    NetworkService m_network;
    TimeService m_time;
    UpdateService m_update;
    manager::MqttClient m_control;
    QList<Command> m_commands;
    bool m_appOnline = false;
};
