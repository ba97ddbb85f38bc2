#include "Log.h"

#include <QMessageLogger>

namespace manager {

namespace {

QDebug tagged(QDebug stream, const QString& tag)
{
    return stream.noquote().nospace() << tag;
}

} // namespace

Log::Log(const QString& tag)
    : m_tag(tag)
{
}

QDebug Log::debug() const
{
    return tagged(QMessageLogger().debug(), m_tag);
}

QDebug Log::info() const
{
    return tagged(QMessageLogger().info(), m_tag);
}

QDebug Log::warning() const
{
    return tagged(QMessageLogger().warning(), m_tag);
}

QDebug Log::critical() const
{
    return tagged(QMessageLogger().critical(), m_tag);
}

const QString& Log::tag() const
{
    return m_tag;
}

} // namespace manager
