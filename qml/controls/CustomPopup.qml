import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Shared modal message. A dialog asks Yes or No and can only be left by an
// answer; an information popup goes away on any touch.
Popup {
    id: root
    property bool dialog: false
    property alias text: message.text
    property url image: ""

    signal buttonYesPressed()
    signal buttonNoPressed()

    function showInformation(msg) {
        dialog = false
        text = msg
        open()
    }
    function showDialog(msg) {
        dialog = true
        text = msg
        open()
    }

    parent: Overlay.overlay
    modal: true
    width: 400
    height: image.toString() === "" ? 200 : 300
    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: parent ? Math.round((parent.height - height) / 2) : 0
    closePolicy: dialog ? Popup.NoAutoClose : Popup.CloseOnReleaseOutside | Popup.CloseOnEscape

    background: Rectangle {
        color: Material.background
        border.color: Material.accent
        border.width: 2
        radius: 4
    }

    contentItem: Item {
        MouseArea {
            anchors.fill: parent
            enabled: !root.dialog
            onClicked: root.close()
        }
        Column {
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: root.dialog ? buttons.top : parent.bottom
            anchors.bottomMargin: 10
            spacing: 10

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                visible: root.image.toString() !== ""
                source: root.image
                width: 100
                height: 100
                sourceSize: Qt.size(100, 100)
                fillMode: Image.PreserveAspectFit
            }
            Label {
                id: message
                width: parent.width
                height: parent.height - (root.image.toString() === "" ? 0 : 110)
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                font.family: "DejaVu Sans"
                font.pointSize: 10
            }
        }
        Row {
            id: buttons
            visible: root.dialog
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15 - root.bottomPadding
            spacing: 60

            CustomButton {
                objectName: "popupYes"
                width: 100
                height: 40
                text: manager.dynTr + qsTr("Yes")
                font.pixelSize: 16
                font.bold: true
                onClicked: {
                    root.close()
                    root.buttonYesPressed()
                }
            }
            CustomButton {
                objectName: "popupNo"
                width: 100
                height: 40
                text: manager.dynTr + qsTr("No")
                font.pixelSize: 16
                font.bold: true
                onClicked: {
                    root.close()
                    root.buttonNoPressed()
                }
            }
        }
    }
}
