import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Brightness, cursor, theme and the display-off interval.
Column {
    id: root
    padding: 15
    readonly property int innerWidth: width - 30
    readonly property var appWindow: ApplicationWindow.window

    Component.onCompleted: board.monitor(1000)
    Component.onDestruction: board.monitor(0)

    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Brightness Mode")
        ComboBox {
            objectName: "modeBox"
            anchors.fill: parent
            model: ["auto", "manual"]
            currentIndex: Math.max(0, model.indexOf(board.displayBrightnessMode))
            onActivated: board.setDisplayBrightnessMode(currentText)
        }
    }
    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Display Brightness")
        Slider {
            id: brightness
            objectName: "brightnessSlider"
            anchors.left: parent.left
            anchors.right: brightnessLabel.left
            anchors.verticalCenter: parent.verticalCenter
            from: 0
            to: 100
            value: board.displayBrightness
            enabled: board.displayBrightnessMode === "manual"
            onPressedChanged: if (!pressed) board.setDisplayBrightness(Math.round(value))
        }
        Label {
            id: brightnessLabel
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 50
            horizontalAlignment: Text.AlignRight
            text: Math.round(brightness.value) + "%"
            font.pixelSize: 17
        }
    }
    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Ambient Light Sensor")
        Label {
            objectName: "ambientLight"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: board.ambientLightSensor
            font.pixelSize: 17
        }
    }
    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Show Cursor")
        Switch {
            objectName: "cursorSwitch"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            checked: manager.showCursor
            onToggled: manager.showCursor = checked
        }
    }
    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Dark Theme")
        Switch {
            objectName: "themeSwitch"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            checked: root.appWindow ? root.appWindow.Material.theme === Material.Dark : true
            onToggled: {
                console.log(checked ? "[QML] Switching to dark theme" : "[QML] Switching to light theme")
                if (root.appWindow)
                    root.appWindow.Material.theme = checked ? Material.Dark : Material.Light
            }
        }
    }
    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Display OFF (min)")
        tip: manager.dynTr + qsTr("The interval, in minutes, after which \nthe display will turn off , if in Out-\nof-Order or Out-of-Service state.")
        SpinBox {
            objectName: "displayOffBox"
            anchors.fill: parent
            from: 0
            to: 86400
            stepSize: 1
            editable: true
            value: manager.displayOffMin
            onValueModified: manager.displayOffMin = value
        }
    }
}
