import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../controls"
import "../style"

// First start: the technician enters the device serial number.
Item {
    id: page
    readonly property bool inputValid: manager.isDeviceIdValid(serialField.text)

    function askToSave() {
        if (!inputValid)
            return
        Qt.inputMethod.hide()
        serialField.focus = false
        confirmPopup.showDialog(manager.dynTr + qsTr("Please confirm the serial number")
                                + "\n\n" + serialField.text)
    }

    clip: true
    // A dialog or keyboard left open must not cover the page that replaces this one.
    onVisibleChanged: {
        if (visible)
            return
        confirmPopup.close()
        Qt.inputMethod.hide()
    }

    Flickable {
        id: form
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        // The window's keyboard covers the bottom of the page while it is up.
        height: parent.height - (Qt.inputMethod.visible ? Qt.inputMethod.keyboardRectangle.height : 0)
        contentHeight: formColumn.height + 40
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: formColumn
            y: 40
            width: parent.width
            spacing: 25

            TextBox {
                text: manager.dynTr + qsTr("Enter Serial Number")
                size: 18
                bold: true
                height: 60
            }
            TextField {
                id: serialField
                objectName: "serialField"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 350
                horizontalAlignment: TextInput.AlignHCenter
                placeholderText: "K00000000"
                text: manager.deviceId
                font.pointSize: 18
                inputMethodHints: Qt.ImhUppercaseOnly | Qt.ImhNoPredictiveText
                // The hint alone does not stop a keyboard from typing lower case.
                onTextChanged: {
                    const upper = text.toUpperCase()
                    if (upper === text)
                        return
                    const position = cursorPosition
                    text = upper
                    cursorPosition = position
                }
                onAccepted: page.askToSave()
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
    }

    CustomPopup {
        id: confirmPopup
        objectName: "confirmPopup"
        onButtonYesPressed: manager.saveDeviceIdRequest(serialField.text)
    }
}
