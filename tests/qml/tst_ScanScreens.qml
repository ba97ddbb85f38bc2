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
        target: loader.item ? findFrameImage() : null
        function onSourceChanged() {
            root.shown.push(target.source.toString().replace(/^.*images\/(.*)\.png$/, "$1"))
        }
    }
    function findFrameImage() {
        return test.findChild(loader.item, "frameImage")
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
        }
        function cleanup() {
            loader.active = false
        }
        function prompt() {
            return findChild(loader.item, "prompt")
        }

        function test_alternatesAfterEachAnimation() {
            start(0)
            compare(loader.item.mode, 0)
            compare(prompt().text, "SCAN\nYOUR CARD")
            tryCompare(loader.item, "mode", 1, 6000)
            compare(root.shown, ["NFC/1", "NFC/2", "NFC/3", "NFC/4", "NFC/5", "NFC/6", "Barcode/0"])
            compare(prompt().text, "SCAN\nYOUR TICKET")
            tryCompare(loader.item, "mode", 0, 8000)
            compare(root.shown.slice(6), ["Barcode/0", "Barcode/1", "Barcode/2", "Barcode/3", "Barcode/4",
                                          "Barcode/5", "Barcode/6", "Barcode/7", "Barcode/8", "NFC/0"])
        }

        function test_timedSwitchIgnoresAnimationEnd() {
            start(4000)
            // The card animation wraps at 2100 ms without changing the mode.
            tryVerify(function() { return root.shown.indexOf("NFC/0") >= 0 }, 3500)
            compare(loader.item.mode, 0)
            tryCompare(loader.item, "mode", 1, 3000)
            compare(root.shown[root.shown.length - 1], "Barcode/0")
            compare(prompt().text, "SCAN\nYOUR TICKET")
            tryCompare(loader.item, "mode", 0, 5000)
        }
    }
}
