#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class Config;

// The application's settings in a folder of their own, with the serial-number
// file, the event log and the time-zone command's stand-in there too: what a
// GUI manager in a test process needs besides its bus.
class ScratchSettings
{
public:
    explicit ScratchSettings(const QByteArray& serialFile = "SN-0042\n");
    ~ScratchSettings();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    Config& config() { return *m_config; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Config> m_config;
};
