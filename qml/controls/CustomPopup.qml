import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../style"

// Shared modal message. A dialog asks Yes or No and can only be left by an
// answer; an information popup goes away on any touch.
Popup {
    id: root
    property bool dialog: false
    property alias text: message.text
    property url image: ""
    readonly property bool hasImage: image.toString() !== ""
    // A phone must read the code off the screen: whole pixels per module, at least five.
    readonly property int codeSide: 360

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
    width: hasImage ? Math.max(400, codeZone.width + leftPadding + rightPadding) : 400
    height: hasImage ? codeZone.height + 150 : 200
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

            // White quiet zone of four modules around the code.
            Rectangle {
                id: codeZone
                objectName: "codeZone"
                anchors.horizontalCenter: parent.horizontalCenter
                visible: root.hasImage
                width: root.hasImage ? code.width + 6 * code.moduleSize : 0
                height: width
                color: Style.white

                // Drawn at one pixel per module and scaled without smoothing, so
                // module edges stay sharp.
                Image {
                    id: code
                    objectName: "codeImage"
                    readonly property int modules: Math.max(1, implicitWidth)
                    readonly property int moduleSize: Math.max(5, Math.floor(root.codeSide / modules))
                    anchors.centerIn: parent
                    source: root.image
                    width: modules * moduleSize
                    height: width
                    smooth: false
                }
            }
            Label {
                id: message
                width: parent.width
                height: parent.height - (root.hasImage ? codeZone.height + 10 : 0)
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                font.pointSize: Style.caption
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
