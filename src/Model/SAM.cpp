#include "Model/SAM.h"

SAM::SAM(QObject* parent) : QObject(parent)
{
}

SAM::SAM(const QJsonObject& data, QObject* parent) : QObject(parent)
{
    fromJson(data);
}

int SAM::slot() const
{
    return m_slot;
}

bool SAM::enabled() const
{
    return m_enabled;
}

bool SAM::unlocked() const
{
    return m_unlocked;
}

QString SAM::atr() const
{
    return m_atr;
}

QString SAM::batch() const
{
    return m_batch;
}

QString SAM::mode() const
{
    return m_mode;
}

QString SAM::name() const
{
    return m_name;
}

QDate SAM::production() const
{
    return m_production;
}

QString SAM::uid() const
{
    return m_uid;
}

QString SAM::vendor() const
{
    return m_vendor;
}

QString SAM::version() const
{
    return m_version;
}

SAM& SAM::fromJson(const QJsonObject& data)
{
    const auto text = [&data](const char* key) { return data.value(QLatin1String(key)).toString(); };
    assign(m_slot, data.value(QLatin1String("slot")).toInt(), &SAM::slotChanged);
    assign(m_enabled, data.value(QLatin1String("enabled")).toBool(), &SAM::enabledChanged);
    assign(m_unlocked, data.value(QLatin1String("unlocked")).toBool(), &SAM::unlockedChanged);
    assign(m_atr, text("atr"), &SAM::atrChanged);
    assign(m_batch, text("batch"), &SAM::batchChanged);
    assign(m_mode, text("mode"), &SAM::modeChanged);
    assign(m_name, text("name"), &SAM::nameChanged);
    assign(m_production, QDate::fromString(text("production"), QStringLiteral("yyyy-MM-dd")),
           &SAM::productionChanged);
    assign(m_uid, text("uid"), &SAM::uidChanged);
    assign(m_vendor, text("vendor"), &SAM::vendorChanged);
    assign(m_version, text("version"), &SAM::versionChanged);
    return *this;
}

template <typename T>
void SAM::assign(T& member, const T& value, void (SAM::*changed)())
{
    if (value == member)
        return;
    member = value;
    emit(this->*changed)();
}
