#include "Model/ValidatorConfig.h"

#include "Common/AssignIfDifferent.h"

ValidatorConfig::ValidatorConfig(QObject* parent) : QObject(parent)
{
}

QUrl ValidatorConfig::obuUrl() const
{
    return m_obuUrl;
}

QString ValidatorConfig::obuAddress() const
{
    return m_obuUrl.toString(QUrl::RemovePassword);
}

void ValidatorConfig::editObuUrl(const QString& text)
{
    QUrl url(text.trimmed());
    if (url.password().isEmpty() && url.userName() == m_obuUrl.userName())
        url.setPassword(m_obuUrl.password());
    setObuUrl(url);
}

int ValidatorConfig::passbackSecs() const
{
    return m_passbackSecs;
}

bool ValidatorConfig::passbackQrEnabled() const
{
    return m_passbackQrEnabled;
}

void ValidatorConfig::setObuUrl(const QUrl& url)
{
    if (manager::assignIfDifferent(m_obuUrl, url))
        emit obuUrlChanged();
}

void ValidatorConfig::setPassbackSecs(int secs)
{
    if (manager::assignIfDifferent(m_passbackSecs, secs))
        emit passbackSecsChanged();
}

void ValidatorConfig::setPassbackQrEnabled(bool enabled)
{
    if (manager::assignIfDifferent(m_passbackQrEnabled, enabled))
        emit passbackQrEnabledChanged();
}
