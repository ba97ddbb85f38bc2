#include "DeviceIdFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

DeviceIdFile::DeviceIdFile(const manager::Log& log)
    : m_log(log)
{
}

bool DeviceIdFile::isValid(const QString& id)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[CK][0-9]{8}")));
    return pattern.match(id).hasMatch();
}

QString DeviceIdFile::load(const QString& path) const
{
    m_log.info() << "Loading device id from : " << path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_log.critical() << "ERROR: Could not load device S/N from file : " << path << " ("
                         << file.errorString() << ")";
        return {};
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty())
            return line;
    }
    return {};
}

QString DeviceIdFile::save(const QString& path, const QString& id) const
{
    m_log.info() << "Saving device id to : " << path;
    // Written beside the target and renamed, so a failure never leaves a
    // truncated serial number behind; where the folder is read-only but the
    // file is not, written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(id.toUtf8()) >= 0 && file.commit())
        return {};
    const QString error = file.errorString();
    m_log.critical() << "ERROR: Could not save device S/N to file : " << path << " (" << error << ")";
    return error;
}
