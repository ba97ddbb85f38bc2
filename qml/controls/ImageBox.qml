import QtQuick 2.15
import QtGraphicalEffects 1.15

// A single-colour icon centred in a row as tall as the icon.
Item {
    id: root
    property alias source: image.source
    property int imageWidth: 250
    property int imageHeight: 250
    property color color: "#41b987"

    width: parent ? parent.width : imageWidth
    height: imageHeight

    Image {
        id: image
        anchors.centerIn: parent
        width: root.imageWidth
        height: root.imageHeight
        sourceSize: Qt.size(root.imageWidth, root.imageHeight)
        // Stretched (the icons are square): the overlay then colours the image's
        // own texture instead of rendering it into a layer each time a page shows.
        smooth: true
        visible: false
    }
    ColorOverlay {
        anchors.fill: image
        source: image
        color: root.color
    }
}
