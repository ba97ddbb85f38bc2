// Feeds arbitrary payloads to every manager the application wires to the
// broker connection, and to the configuration's JSON form, as if they had
// arrived on one of the subscribed topics. Input: one selector byte picking
// the topic, then the payload.

#include "Common/Config.h"
#include "Common/MqttClient.h"
#include "Diagnostics.h"
#include "GUIManager.h"
#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"
#include "Peripheral/Validator.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

// What the managers subscribe to under the default base topics.
const char* const Topics[] = {
    "kivo/blm/info", "kivo/blm/status", "kivo/blm/config", "kivo/blm/rfid/retry",
    "kivo/blm/rfid/removed", "kivo/blm/rfid/scanned", "kivo/blm/barcode/scanned",
    "kivo/blm/barcode/maintenance/scanned", "kivo/rfid/card/removed", "kivo/rfid/card/found",
    "kivo/board/info", "kivo/board/status", "kivo/board/config", "kivo/board/display",
    "kivo/board/power", "kivo/board/audio", "kivo/board/event",
    "kivo/inspector/info", "kivo/inspector/status", "kivo/inspector/audio",
    "kivo/inspector/stats/cpu", "kivo/inspector/stats/memory", "kivo/inspector/stats/disk",
    "kivo/network/info", "kivo/network/status", "kivo/network/ethernet/state",
    "kivo/network/ethernet/config",
    "kivo/device/status", "kivo/device/update/software/status",
    "kivo/device/update/software/progress", "kivo/device/update/software/progess",
    "kivo/device/clock/ntp/status", "kivo/device/clock/ntp/config",
    // Not a broker subscription of a manager: the configuration's JSON form,
    // as the application reads it from its own "/config/set".
    "kivo/ui/config/set",
};
constexpr std::size_t TopicCount = sizeof(Topics) / sizeof(Topics[0]);

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

struct Rig {
    int argc = 1;
    char name[16] = "fuzz_Messages";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    QTemporaryDir dir;
    Config config{dir.filePath(QStringLiteral("quillon.ini")), GUIManager::Defaults};
    manager::MqttClient mqtt;
    manager::Validator validator{mqtt, QStringLiteral("kivo/blm")};
    manager::Board board{mqtt, QStringLiteral("kivo/board")};
    manager::Inspector inspector{mqtt, QStringLiteral("kivo/inspector")};
    manager::Network network{mqtt, QStringLiteral("kivo/network")};
    manager::Update update{mqtt, QStringLiteral("kivo/device")};
    manager::Clock clock{mqtt, QStringLiteral("kivo/device")};
    QString deviceId = QStringLiteral("FUZZ0001");
    Diagnostics diagnostics{deviceId, board, network, validator};
};

Rig& rig()
{
    static Rig* instance = [] {
        qInstallMessageHandler(quiet);
        return new Rig;
    }();
    return *instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Rig& r = rig();
    const QByteArray topic(Topics[data[0] % TopicCount]);
    const QByteArray payload(reinterpret_cast<const char*>(data + 1), int(size - 1));
    if (topic.endsWith("/ui/config/set")) {
        r.config.fromJson(QJsonDocument::fromJson(payload).object());
        QJsonDocument(r.config.toJson()).toJson();
    } else {
        emit r.mqtt.received(payload, topic);
    }
    QCoreApplication::processEvents();
    return 0;
}
