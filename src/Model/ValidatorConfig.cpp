#include "Model/ValidatorConfig.h"

ValidatorConfig::ValidatorConfig(QObject* parent) : QObject(parent)
{
}

QUrl ValidatorConfig::obuUrl() const
{
    return m_obuUrl;
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
    if (url == m_obuUrl)
        return;
    m_obuUrl = url;
    emit obuUrlChanged();
}

void ValidatorConfig::setPassbackSecs(int secs)
{
    if (secs == m_passbackSecs)
        return;
    m_passbackSecs = secs;
    emit passbackSecsChanged();
}

void ValidatorConfig::setPassbackQrEnabled(bool enabled)
{
    if (enabled == m_passbackQrEnabled)
        return;
    m_passbackQrEnabled = enabled;
    emit passbackQrEnabledChanged();
}
