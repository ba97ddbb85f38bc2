import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// A slider from 0 to 100 with its value in per cent beside it. It reports a
// choice when let go, not while it moves.
Item {
    id: root
    property alias value: slider.value
    // Only the slider greys out; its figure stays readable.
    property alias movable: slider.enabled

    signal chosen(int value)

    anchors.fill: parent

    Slider {
        id: slider
        anchors.left: parent.left
        anchors.right: figure.left
        anchors.verticalCenter: parent.verticalCenter
        from: 0
        to: 100
        onPressedChanged: if (!pressed) root.chosen(Math.round(value))
    }
    Label {
        id: figure
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 50
        horizontalAlignment: Text.AlignRight
        text: Math.round(slider.value) + "%"
        font.pixelSize: Style.settingText
    }
}
