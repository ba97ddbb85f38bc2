#include "DeviceIdFile.h"

#include "LogCategories.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

bool DeviceIdFile::isValid(const QString& id)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[CK][0-9]{8}")));
    return pattern.match(id).hasMatch();
}

QString DeviceIdFile::load(const QString& path) const
{
    qCInfo(lcGUIManager).noquote().nospace() << "Loading device id from : " << path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCCritical(lcGUIManager).noquote().nospace() << "ERROR: Could not load device S/N from file : " << path << " ("
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
    qCInfo(lcGUIManager).noquote().nospace() << "Saving device id to : " << path;
    const QString error = folderTakesNewFiles(path) ? replace(path, id) : overwrite(path, id);
    if (!error.isEmpty())
        qCCritical(lcGUIManager).noquote().nospace() << "ERROR: Could not save device S/N to file : " << path << " (" << error << ")";
    return error;
}

// Asked with the process's effective ids, the ones that write; a read-only
// file system answers no as well.
bool DeviceIdFile::folderTakesNewFiles(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Written beside the target and renamed over it, so a failure never leaves a
// truncated serial number behind.
QString DeviceIdFile::replace(const QString& path, const QString& id)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(id.toUtf8()) >= 0 && file.commit())
        return {};
    return file.errorString();
}

// A folder that cannot take a new file (read-only modes, or a read-only root
// with the file bound writable over it): the file itself is written, the new
// number over the old before the rest is cut off, so it is never empty.
QString DeviceIdFile::overwrite(const QString& path, const QString& id)
{
    QFile file(path);
    const QByteArray bytes = id.toUtf8();
    if (file.open(QIODevice::ReadWrite) && file.write(bytes) == bytes.size() && file.flush()
        && file.resize(bytes.size()))
        return {};
    return file.errorString();
}
