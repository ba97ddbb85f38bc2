import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// A setting's caption at the left and its control at the right.
Item {
    id: root
    property alias label: caption.text
    // Shown while the caption is held.
    property string tip: ""
    default property alias control: slot.data

    // Inside its column's padding.
    width: parent ? parent.width - parent.leftPadding - parent.rightPadding : 460
    height: 60

    Label {
        id: caption
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width * 0.4
        wrapMode: Text.WordWrap
        font.pixelSize: Style.settingText

        MouseArea {
            id: tipArea
            anchors.fill: parent
            enabled: root.tip !== ""
        }
        ToolTip.visible: tipArea.pressed
        ToolTip.text: root.tip
    }
    Item {
        id: slot
        anchors.left: caption.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
    }
}
