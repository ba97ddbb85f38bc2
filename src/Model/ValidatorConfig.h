#pragma once

#include <QObject>
#include <QUrl>

// The validation service's settings a technician may change.
class ValidatorConfig : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl obuUrl READ obuUrl WRITE setObuUrl NOTIFY obuUrlChanged)
    Q_PROPERTY(int passbackSecs READ passbackSecs WRITE setPassbackSecs NOTIFY passbackSecsChanged)
    Q_PROPERTY(bool passbackQrEnabled READ passbackQrEnabled WRITE setPassbackQrEnabled
                   NOTIFY passbackQrEnabledChanged)
public:
    explicit ValidatorConfig(QObject* parent = nullptr);

    QUrl obuUrl() const;
    int passbackSecs() const;
    bool passbackQrEnabled() const;

    void setObuUrl(const QUrl& url);
    void setPassbackSecs(int secs);
    void setPassbackQrEnabled(bool enabled);

signals:
    void obuUrlChanged();
    void passbackSecsChanged();
    void passbackQrEnabledChanged();

private:
    QUrl m_obuUrl;
    int m_passbackSecs = 0;
    bool m_passbackQrEnabled = false;
};
