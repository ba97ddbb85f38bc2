#pragma once

#include <QString>

// The file that holds the device serial number on its first non-empty line.
class DeviceIdFile
{
public:
    // One letter C or K and eight digits.
    static bool isValid(const QString& id);

    // The serial number, empty when the file cannot be read or holds none.
    QString load(const QString& path) const;
    // The error text, empty when saved.
    QString save(const QString& path, const QString& id) const;

private:
    static bool folderTakesNewFiles(const QString& path);
    static QString replace(const QString& path, const QString& id);
    static QString overwrite(const QString& path, const QString& id);
};
