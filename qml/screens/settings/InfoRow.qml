import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../style"

// One label with its value right-aligned.
Item {
    id: root
    property alias label: caption.text
    property alias value: valueText.text
    property alias valueColor: valueText.color

    width: parent ? parent.width : 440
    height: 30

    Label {
        id: caption
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width * 0.45
        elide: Text.ElideRight
        font.pixelSize: Style.infoText
    }
    Label {
        id: valueText
        objectName: "value"
        anchors.right: parent.right
        anchors.left: caption.right
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignRight
        elide: Text.ElideRight
        color: Material.foreground
        font.pixelSize: Style.infoText
    }
}
