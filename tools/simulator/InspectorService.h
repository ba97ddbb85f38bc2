#pragma once

#include "SimulatedService.h"

// The system inspector: audio output, statistics, reboot and shutdown.
class InspectorService : public SimulatedService
{
    Q_OBJECT
public:
    explicit InspectorService(const QString& base, QObject* parent = nullptr);

    void publishState() override;

private:
    void publishAudio();

    int m_volume = 70;
};
