import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/controls"

Item {
    id: root
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
    }

    SignalSpy {
        id: requests
        target: clock
        signalName: "maintenanceRequested"
    }

    TestCase {
        name: "HeaderClock"
        when: windowShown

        function tap(n) {
            for (var i = 0; i < n; ++i)
                mouseClick(clock)
        }
        function init() {
            requests.clear()
            // Let any earlier one-second window run out.
            wait(1100)
        }

        function test_threeTapsOpenMaintenance() {
            tap(3)
            // Counted at the end of the second, not at the third tap.
            compare(requests.count, 0)
            requests.wait(1500)
            compare(requests.count, 1)
        }

        function test_twoTapsDoNot() {
            tap(2)
            wait(1300)
            compare(requests.count, 0)
        }

        function test_tapsAcrossTwoWindowsDoNotAdd() {
            tap(2)
            wait(1100)
            tap(2)
            wait(1300)
            compare(requests.count, 0)
        }

        function test_pressAndHold() {
            // A real pointer event from the X server landing during the hold
            // moves the press off the clock and cancels it; a missing hold
            // handler fails every attempt.
            for (var attempt = 0; attempt < 3 && requests.count === 0; ++attempt) {
                wait(1100)
                mousePress(clock)
                for (var t = 0; t < 30 && requests.count === 0; ++t)
                    wait(100)
                mouseRelease(clock)
            }
            wait(1200)
            compare(requests.count, 1)
        }
    }
}
