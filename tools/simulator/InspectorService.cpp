#include "InspectorService.h"

#include <QJsonArray>
#include <QJsonObject>

InspectorService::InspectorService(const QString& base, QObject* parent)
    : SimulatedService(QStringLiteral("Inspector"), base, parent)
{
    setWill(QStringLiteral("/status"), QJsonObject{{"service", false}});
    handle(QStringLiteral("/info/get"), [this](const QJsonObject&) {
        publish(QStringLiteral("/info"), QJsonObject{{"service", QJsonObject{{"version", "1.4.0-sim"}}}});
    });
    handle(QStringLiteral("/status/get"), [this](const QJsonObject&) {
        publish(QStringLiteral("/status"), QJsonObject{{"service", true}});
    });
    handle(QStringLiteral("/audio/get"), [this](const QJsonObject&) { publishAudio(); });
    handle(QStringLiteral("/stats/cpu/get"), [this](const QJsonObject&) {
        publish(QStringLiteral("/stats/cpu"),
                QJsonObject{{"cores", 4}, {"usage", 12.5}, {"load", QJsonArray{0.31, 0.27, 0.22}}});
    });
    handle(QStringLiteral("/stats/memory/get"), [this](const QJsonObject&) {
        publish(QStringLiteral("/stats/memory"), QJsonObject{{"total", 1024}, {"used", 412}, {"unit", "MB"}});
    });
    handle(QStringLiteral("/stats/disk/get"), [this](const QJsonObject&) {
        publish(QStringLiteral("/stats/disk"),
                QJsonObject{{"/", QJsonObject{{"total", 7450}, {"used", 2210}, {"unit", "MB"}}}});
    });
    handle(QStringLiteral("/audio/set"), [this](const QJsonObject& m) {
        const QJsonValue volume = m.value(QStringLiteral("internal")).toObject().value(QStringLiteral("volume"));
        if (volume.isDouble())
            m_volume = qBound(0, volume.toInt(), 100);
        log(QStringLiteral("Volume %1%").arg(m_volume));
        publishAudio();
    });
    handle(QStringLiteral("/audio/play"), [this](const QJsonObject& m) {
        log(QStringLiteral("Playing sound '%1' on card '%2'")
                .arg(m.value(QStringLiteral("filepath")).toString(), m.value(QStringLiteral("device")).toString()));
    });
    handle(QStringLiteral("/power/reboot/request/1"), [this](const QJsonObject&) {
        log(QStringLiteral("System reboot requested (simulated: nothing happens)"));
    });
    handle(QStringLiteral("/power/shutdown/request/1"), [this](const QJsonObject&) {
        log(QStringLiteral("System shutdown requested (simulated: nothing happens)"));
    });
}

void InspectorService::publishState()
{
    publish(QStringLiteral("/info"), QJsonObject{{"service", QJsonObject{{"version", "1.4.0-sim"}}}});
    publish(QStringLiteral("/status"), QJsonObject{{"service", true}});
    publishAudio();
}

void InspectorService::publishAudio()
{
    publish(QStringLiteral("/audio"), QJsonObject{{"internal", QJsonObject{{"volume", m_volume}}}});
}
