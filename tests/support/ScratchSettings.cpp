#include "ScratchSettings.h"

#include "Common/Config.h"
#include "GUIManager.h"

#include <QFile>

ScratchSettings::ScratchSettings(const QByteArray& serialFile)
{
    // The stand-in time-zone command keeps its state here; the event log would
    // otherwise grow beside the test binary run after run.
    qputenv("PATH", QByteArray(QUILLON_SOURCE_DIR "/tools/timedatectl:") + qgetenv("PATH"));
    qputenv("TIMEDATECTL_DIR", m_dir.path().toUtf8());
    qputenv("QUILLON_EVENTS_FILE", filePath(QStringLiteral("events.ini")).toUtf8());
    QFile serial(filePath(QStringLiteral("serialnumber")));
    if (serial.open(QIODevice::WriteOnly))
        serial.write(serialFile);
    m_config = std::make_unique<Config>(filePath(QStringLiteral("gui.conf")), GUIManager::Defaults, GUIManager::Rules);
    m_config->set(QStringLiteral("gui/deviceId"), serial.fileName());
    m_config->set(QStringLiteral("log/syslog"), false);
}

ScratchSettings::~ScratchSettings() = default;
