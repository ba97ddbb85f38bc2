#pragma once

#include <QObject>
#include <QUrl>

// The validation service's settings a technician may change.
class ValidatorConfig : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl obuUrl READ obuUrl WRITE setObuUrl NOTIFY obuUrlChanged)
    // The URL as a page shows it: never with its password.
    Q_PROPERTY(QString obuAddress READ obuAddress NOTIFY obuUrlChanged)
    Q_PROPERTY(int passbackSecs READ passbackSecs WRITE setPassbackSecs NOTIFY passbackSecsChanged)
    Q_PROPERTY(bool passbackQrEnabled READ passbackQrEnabled WRITE setPassbackQrEnabled
                   NOTIFY passbackQrEnabledChanged)
public:
    explicit ValidatorConfig(QObject* parent = nullptr);

    QUrl obuUrl() const;
    QString obuAddress() const;
    int passbackSecs() const;
    bool passbackQrEnabled() const;

    void setObuUrl(const QUrl& url);
    void setPassbackSecs(int secs);
    void setPassbackQrEnabled(bool enabled);

public slots:
    // A URL typed without a password keeps the stored one for the same user.
    void editObuUrl(const QString& text);

signals:
    void obuUrlChanged();
    void passbackSecsChanged();
    void passbackQrEnabledChanged();

private:
    QUrl m_obuUrl;
    int m_passbackSecs = 0;
    bool m_passbackQrEnabled = false;
};
