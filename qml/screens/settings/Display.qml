import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../style"

// Brightness, cursor, theme and the display-off interval.
Column {
    id: root
    padding: Style.pagePadding
    readonly property var appWindow: ApplicationWindow.window

    Component.onCompleted: board.monitor(1000)
    Component.onDestruction: board.monitor(0)

    SettingRow {
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
        label: manager.dynTr + qsTr("Display Brightness")
        PercentSlider {
            objectName: "brightnessSlider"
            value: board.displayBrightness
            movable: board.displayBrightnessMode === "manual"
            onChosen: board.setDisplayBrightness(value)
        }
    }
    SettingRow {
        label: manager.dynTr + qsTr("Ambient Light Sensor")
        Label {
            objectName: "ambientLight"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: board.ambientLightSensor
            font.pixelSize: Style.settingText
        }
    }
    SwitchRow {
        label: manager.dynTr + qsTr("Show Cursor")
        switchName: "cursorSwitch"
        checked: manager.showCursor
        onToggled: manager.showCursor = checked
    }
    SwitchRow {
        label: manager.dynTr + qsTr("Dark Theme")
        switchName: "themeSwitch"
        checked: root.appWindow ? root.appWindow.Material.theme === Material.Dark : true
        onToggled: {
            console.log(checked ? "[QML] Switching to dark theme" : "[QML] Switching to light theme")
            if (root.appWindow)
                root.appWindow.Material.theme = checked ? Material.Dark : Material.Light
        }
    }
    SettingRow {
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
