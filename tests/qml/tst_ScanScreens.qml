import QtQuick 2.15
import QtTest 1.15

Item {
    id: root
    width: 480
    height: 680

    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
        property int animSwitchSec: 0
    }

    Loader {
        id: loader
        anchors.fill: parent
        active: false
        source: "qrc:/qml/screens/ScanScreens.qml"
    }

    // Every frame image shown, as "NFC/3".
    property var shown: []
    Connections {
        target: loader.item ? test.findChild(loader.item, "frameImage") : null
        function onSourceChanged() {
            root.shown.push(target.source.toString().replace(/^.*images\/(.*)\.png$/, "$1"))
        }
    }

    TestCase {
        id: test
        name: "ScanScreens"
        when: windowShown

        function start(switchMs) {
            manager.animSwitchSec = switchMs
            root.shown = []
            loader.active = true
            tryVerify(function() { return loader.status === Loader.Ready })
            loader.item.frameMillis = 40
        }
        function cleanup() {
            loader.active = false
        }
        function prompt() {
            return findChild(loader.item, "prompt").text
        }

        function test_alternatesAfterEachAnimation() {
            start(0)
            compare(prompt(), "SCAN\nYOUR CARD")
            tryCompare(loader.item, "mode", 1)
            compare(root.shown.slice(0, 7), ["NFC/1", "NFC/2", "NFC/3", "NFC/4", "NFC/5", "NFC/6", "Barcode/0"])
            compare(prompt(), "SCAN\nYOUR TICKET")
            tryCompare(loader.item, "mode", 0)
            compare(root.shown.slice(6, 16), ["Barcode/0", "Barcode/1", "Barcode/2", "Barcode/3", "Barcode/4",
                                          "Barcode/5", "Barcode/6", "Barcode/7", "Barcode/8", "NFC/0"])
        }

        // The card animation wraps without changing the mode; the switch starts the ticket's at its first frame.
        function test_timedSwitchIgnoresAnimationEnd() {
            start(1000)
            tryCompare(loader.item, "mode", 1)
            var first = root.shown.findIndex(function(frame) { return frame.indexOf("Barcode") === 0 })
            verify(root.shown.slice(0, first).indexOf("NFC/0") > root.shown.indexOf("NFC/6"), root.shown)
            compare(root.shown[first], "Barcode/0")
            compare(prompt(), "SCAN\nYOUR TICKET")
            tryCompare(loader.item, "mode", 0)
        }
    }
}
