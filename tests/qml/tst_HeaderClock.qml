import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/controls"

Item {
    width: 480
    height: 120

    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
    }

    HeaderClock {
        id: clock
        anchors.centerIn: parent
        tapMillis: 300
    }

    SignalSpy {
        id: requests
        target: clock
        signalName: "maintenanceRequested"
    }

    TestCase {
        name: "HeaderClock"
        when: windowShown

        function init() {
            tryCompare(clock, "presses", 0)
            requests.clear()
        }

        // Presses are counted when the window the first one opened ends. Three
        // taps in the real window and the press and hold on the real binary
        // are tst_SettingsPages' and tst_EndToEnd's.
        function test_taps_data() {
            return [
                { tag: "three", groups: [3], requests: 1 },
                { tag: "two", groups: [2], requests: 0 },
                { tag: "two in each of two windows", groups: [2, 2], requests: 0 }
            ]
        }
        function test_taps(data) {
            for (var g = 0; g < data.groups.length; ++g) {
                for (var i = 0; i < data.groups[g]; ++i)
                    mouseClick(clock)
                compare(requests.count, 0)
                tryCompare(clock, "presses", 0)
            }
            compare(requests.count, data.requests)
        }
    }
}
