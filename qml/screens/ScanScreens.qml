import QtQuick 2.15
import "../controls"

// Idle page: the card and the ticket prompt take turns.
Item {
    id: page
    // 0: card, 1: ticket.
    property int mode: 0
    property int frame: 0
    readonly property int lastFrame: mode === 0 ? 6 : 8
    readonly property bool timedSwitch: manager.animSwitchSec > 0
    // Set once per step so that no mixed mode and frame is ever loaded.
    property url frameSource: frameUrl(0, 0)

    function frameUrl(m, n) {
        var last = m === 0 ? 6 : 8
        return "qrc:/qml/images/" + (m === 0 ? "NFC/" : "Barcode/") + (n > last ? 0 : n) + ".png"
    }
    function nextFrame() {
        if (frame < lastFrame) {
            frame += 1
        } else {
            frame = 0
            if (!timedSwitch)
                mode = 1 - mode
        }
        frameSource = frameUrl(mode, frame)
    }
    function switchMode() {
        mode = 1 - mode
        frame = 0
        frameSource = frameUrl(mode, frame)
    }

    // Hidden, the page neither decodes frames nor makes the window redraw.
    Timer {
        interval: 300
        repeat: true
        running: page.visible
        onTriggered: page.nextFrame()
    }
    Timer {
        interval: Math.max(1, manager.animSwitchSec)
        repeat: true
        running: page.visible && page.timedSwitch
        onTriggered: page.switchMode()
    }

    ScanPrompt {
        objectName: "prompt"
        text: page.mode === 0 ? manager.dynTr + qsTr("SCAN\nYOUR CARD")
                              : manager.dynTr + qsTr("SCAN\nYOUR TICKET")
        source: page.frameSource
    }
}
