import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Date and time in the header. It doubles as the hidden maintenance button:
// press and hold, or three presses within a second.
Item {
    id: root
    property date now: new Date()
    property int presses: 0
    // The window for three presses; tests shorten it.
    property int tapMillis: 1000
    readonly property var locale: ApplicationWindow.window ? ApplicationWindow.window.locale : Qt.locale()

    signal maintenanceRequested()

    width: 200
    height: 65

    Timer {
        interval: 1000
        repeat: true
        running: root.visible
        triggeredOnStart: true
        onTriggered: root.now = new Date()
    }

    // Counts presses for one second from the first one.
    Timer {
        id: tapWindow
        interval: root.tapMillis
        onTriggered: {
            if (root.presses > 2)
                root.maintenanceRequested()
            root.presses = 0
        }
    }

    Column {
        anchors.fill: parent

        Label {
            objectName: "clockDate"
            width: parent.width
            height: 22
            horizontalAlignment: Text.AlignHCenter
            text: root.now.toLocaleDateString(root.locale, "dd-MMM-yyyy")
            color: Material.foreground
            font.pixelSize: 20
            font.weight: Font.Medium
            font.letterSpacing: 0.2
        }
        Label {
            objectName: "clockTime"
            width: parent.width
            height: 43
            horizontalAlignment: Text.AlignHCenter
            text: root.now.toLocaleTimeString(root.locale, "hh:mm")
            color: Material.foreground
            font.pixelSize: 42
            font.bold: true
            font.letterSpacing: 0.8
        }
    }

    MouseArea {
        anchors.fill: parent
        onPressed: {
            if (root.presses === 0)
                tapWindow.start()
            root.presses += 1
        }
        onClicked: console.log("[QML] Clock tapped.")
        onPressAndHold: root.maintenanceRequested()
    }
}
