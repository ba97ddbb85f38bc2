import QtQuick 2.15
import "../style"

// A single-colour icon centred in a row as tall as the icon.
Item {
    id: root
    property alias name: image.name
    property int imageWidth: Style.resultIcon
    property int imageHeight: Style.resultIcon
    property alias color: image.color

    width: parent ? parent.width : imageWidth
    height: imageHeight

    TintedIcon {
        id: image
        anchors.centerIn: parent
        width: root.imageWidth
        height: root.imageHeight
        color: Style.valid
    }
}
