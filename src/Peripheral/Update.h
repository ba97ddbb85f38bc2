#pragma once

#include "Peripheral/StatusServiceManager.h"

#include <QJsonObject>
#include <QString>
#include <QTimer>

namespace manager {

// The device's update agent: installed and pending versions, checks for
// updates and the installation with its progress.
class Update : public StatusServiceManager
{
    Q_OBJECT
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString current READ current NOTIFY currentChanged)
    Q_PROPERTY(QString pending READ pending NOTIFY pendingChanged)
    Q_PROPERTY(QString progressMessage READ progressMessage NOTIFY progressMessageChanged)
    Q_PROPERTY(int progressPercent READ progressPercent NOTIFY progressPercentChanged)
public:
    Update(MessageBus& client, const QString& baseTopic, QObject* parent = nullptr);

    QString current() const;
    QString pending() const;
    QString progressMessage() const;
    int progressPercent() const;

public slots:
    void check();
    void install();

signals:
    void currentChanged();
    void pendingChanged();
    void progressMessageChanged();
    void progressPercentChanged();

private:
    void refresh();
    void onStatusReceived(const QJsonObject& message, const QString& topic);
    void onUpdateStatusReceived(const QJsonObject& message, const QString& topic);
    void onProgressReceived(const QJsonObject& message, const QString& topic);
    void onCheckTimeout();
    void onDisconnected();

    void setCurrent(const QString& current);
    void setPending(const QString& pending);
    void setProgressMessage(const QString& message);
    void setProgressPercent(int percent);
    void settleStatus();

    QString m_current;
    QString m_pending;
    QString m_progressMessage;
    int m_progressPercent = 0;
    QTimer m_checkTimer;
};

} // namespace manager
