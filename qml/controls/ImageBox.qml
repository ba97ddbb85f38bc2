import QtQuick 2.15
import "../style"

// A single-colour icon centred in a row as tall as the icon.
Item {
    id: root
    property alias source: image.source
    property int imageWidth: Style.resultIcon
    property int imageHeight: Style.resultIcon
    property color color: Style.valid

    width: parent ? parent.width : imageWidth
    height: imageHeight

    TintedIcon {
        id: image
        anchors.centerIn: parent
        width: root.imageWidth
        height: root.imageHeight
        // Stretched (the icons are square): the overlay then colours the image's
        // own texture instead of rendering it into a layer each time a page shows.
        color: root.color
    }
}
