import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../controls"
import "../style"

// First start: the technician enters the device serial number on a key pad of
// just the characters it takes, with keys large enough for a gloved finger.
Item {
    id: page
    readonly property bool inputValid: manager.isDeviceIdValid(serialField.text)
    readonly property int keyWidth: 112
    readonly property int keyHeight: 56
    readonly property int keySpacing: 8
    readonly property int padWidth: 3 * keyWidth + 2 * keySpacing

    function askToSave() {
        if (!inputValid)
            return
        confirmPopup.showDialog(manager.dynTr + qsTr("Please confirm the serial number")
                                + "\n\n" + serialField.text)
    }
    function press(key) {
        if (key === "\u2190")
            serialField.text = serialField.text.slice(0, -1)
        else if (key === "CLR")
            serialField.text = ""
        else
            serialField.text += key
    }

    // A dialog left open must not cover the page that replaces this one.
    onVisibleChanged: if (!visible) confirmPopup.close()

    Column {
        y: 40
        width: parent.width
        spacing: 15

        TextBox {
            text: manager.dynTr + qsTr("Enter Serial Number")
            size: 18
            bold: true
            height: 60
        }
        // Typed on the pad below, so no on-screen keyboard opens over it.
        TextField {
            id: serialField
            objectName: "serialField"
            anchors.horizontalCenter: parent.horizontalCenter
            width: page.padWidth
            horizontalAlignment: TextInput.AlignHCenter
            placeholderText: "K00000000"
            text: manager.deviceId
            font.pointSize: 18
            readOnly: true
            maximumLength: 9
        }
        Label {
            objectName: "serialHint"
            width: parent.width
            height: 30
            horizontalAlignment: Text.AlignHCenter
            text: manager.dynTr + qsTr("Must start with 'C' or 'K' followed by 8 digits")
            color: Style.error
            font.pointSize: 11
            opacity: page.inputValid ? 0 : 1
        }
        Flow {
            objectName: "serialPad"
            anchors.horizontalCenter: parent.horizontalCenter
            width: page.padWidth
            spacing: page.keySpacing

            Repeater {
                model: ["1", "2", "3", "4", "5", "6", "7", "8", "9", "C", "0", "K", "\u2190", "CLR"]

                CustomButton {
                    readonly property bool digit: /^[0-9]$/.test(modelData)
                    // The last row holds two keys.
                    readonly property bool wide: index >= 12
                    objectName: "key_" + (modelData === "\u2190" ? "back" : modelData)
                    width: wide ? (page.padWidth - page.keySpacing) / 2 : page.keyWidth
                    height: page.keyHeight
                    radius: 4
                    color: digit ? Style.black : Style.functionKey
                    text: modelData === "CLR" ? manager.dynTr + qsTr("CLR") : modelData
                    font.pointSize: 16
                    font.weight: Font.Medium
                    onClicked: page.press(modelData)
                }
            }
        }
        CustomButton {
            objectName: "saveButton"
            anchors.horizontalCenter: parent.horizontalCenter
            width: 300
            height: 60
            radius: 4
            text: manager.dynTr + qsTr("SAVE")
            font.pixelSize: 20
            font.bold: true
            enabled: page.inputValid
            color: enabled ? Material.accent : Style.disabled
            onClicked: page.askToSave()
        }
    }

    CustomPopup {
        id: confirmPopup
        objectName: "confirmPopup"
        onButtonYesPressed: manager.saveDeviceIdRequest(serialField.text)
    }
}
