import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "../../style"

// Maintenance PIN entry.
Item {
    id: page
    property string pin: ""
    readonly property bool empty: pin.length === 0
    readonly property int keyWidth: 118
    readonly property int keyHeight: 70
    readonly property int padWidth: 3 * keyWidth + 2 * 6
    property real shake: 0
    readonly property int lockoutSecs: sessionManager.lockoutSecs

    function duration(secs) {
        const s = secs % 60
        return Math.floor(secs / 60) + ":" + (s < 10 ? "0" : "") + s
    }

    function press(key) {
        if (key === "\u2190")
            pin = pin.slice(0, -1)
        else if (key === "CLR")
            pin = ""
        else
            pin += key
    }
    function reset() {
        pin = ""
    }

    onVisibleChanged: reset()

    Connections {
        target: manager
        function onSettingsAccessGranted() {
            console.log("[QML] Settings access granted")
            manager.screen = "Settings"
        }
        function onSettingsAccessDenied() {
            console.warn("[QML] Settings access denied")
            page.reset()
            shakeAnimation.restart()
        }
    }

    SequentialAnimation {
        id: shakeAnimation
        loops: 2
        NumberAnimation { target: page; property: "shake"; to: 10; duration: 50 }
        NumberAnimation { target: page; property: "shake"; from: 10; to: -10; duration: 100 }
        NumberAnimation { target: page; property: "shake"; to: 0; duration: 50 }
    }

    Column {
        id: form
        objectName: "loginForm"
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: page.shake
        spacing: 7

        Label {
            objectName: "lockText"
            width: page.padWidth
            visible: page.lockoutSecs > 0
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: manager.dynTr + qsTr("Too many wrong PINs.\nTry again in %1").arg(page.duration(page.lockoutSecs))
            color: Material.color(Material.Red)
            font.pointSize: Style.body
        }
        Rectangle {
            width: page.padWidth
            height: 70
            color: Style.black
            border.width: 1
            border.color: Style.disabled

            TintedIcon {
                id: lock
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                width: 35
                height: 35
                name: "lock"
                color: Material.accent
            }
            Text {
                objectName: "pinText"
                anchors.left: lock.right
                anchors.leftMargin: 20
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: page.empty ? manager.dynTr + qsTr("Pin") : page.pin
                color: page.empty ? Style.disabled : Style.white
                font.family: Style.keypadFamily
                font.pointSize: 16
                font.letterSpacing: 1.2
                elide: Text.ElideLeft
            }
        }

        Column {
            spacing: 5

            Grid {
                columns: 3
                columnSpacing: 6
                rowSpacing: 7

                Repeater {
                    model: ["1", "2", "3", "4", "5", "6", "7", "8", "9", "\u2190", "0", "CLR"]

                    CustomButton {
                        readonly property bool digit: /^[0-9]$/.test(modelData)
                        objectName: "key_" + (modelData === "\u2190" ? "back" : modelData)
                        width: page.keyWidth
                        height: page.keyHeight
                        radius: 4
                        color: digit ? Style.black : Style.functionKey
                        text: modelData === "CLR" ? manager.dynTr + qsTr("CLR") : modelData
                        font.family: Style.keypadFamily
                        font.pointSize: 16
                        font.weight: Font.Medium
                        onClicked: page.press(modelData)
                    }
                }
            }

            CustomButton {
                objectName: "loginButton"
                width: page.padWidth
                height: 70
                radius: 4
                enabled: !page.empty
                color: enabled ? Material.accent : Style.disabled
                text: manager.dynTr + qsTr("LOGIN")
                font.family: Style.keypadFamily
                font.pointSize: Style.title
                font.bold: true
                font.letterSpacing: 2.2
                onClicked: manager.settingsLoginRequest(page.pin)
            }
        }
    }
}
