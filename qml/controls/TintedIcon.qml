import QtQuick 2.15
import QtGraphicalEffects 1.15

// An icon painted in one colour, whatever colours its artwork has; an image
// that must keep its own colours is shown as it is.
Item {
    id: root
    property alias source: image.source
    property alias color: overlay.color
    property alias fillMode: image.fillMode
    property bool tinted: true

    Image {
        id: image
        anchors.fill: parent
        sourceSize: Qt.size(root.width, root.height)
        smooth: true
        visible: !root.tinted
    }
    ColorOverlay {
        id: overlay
        anchors.fill: image
        source: image
        visible: root.tinted
    }
}
