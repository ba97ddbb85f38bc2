import QtQuick 2.15
import QtQuick.Controls.Material 2.15
import "../style"

// Round accent button with a shadow; it sinks into the surface while pressed.
// The shadow is an image the build blurred for this radius.
Item {
    id: root
    property int radius: 25
    property color color: Material.accent
    // An image shown in its own colours.
    property url icon: ""
    property int iconSize: radius

    signal clicked()
    signal pressAndHold()

    width: 2 * radius
    height: 2 * radius
    scale: area.pressed ? 0.8 : 1.0

    Behavior on scale { NumberAnimation { duration: 80 } }

    Image {
        objectName: "shadow"
        x: Style.shadowOffset - Style.shadowBlur
        y: Style.shadowOffset - Style.shadowBlur
        visible: !area.pressed
        source: "qrc:/qml/images/Shadows/round-" + root.radius + ".png"
        smooth: false
    }
    Rectangle {
        anchors.fill: parent
        radius: root.radius
        color: root.color
    }
    Image {
        anchors.centerIn: parent
        width: root.iconSize
        height: root.iconSize
        // Decoded at the size shown, then drawn unfiltered.
        sourceSize: Qt.size(root.iconSize, root.iconSize)
        source: root.icon
        smooth: false
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: root.clicked()
        onPressAndHold: root.pressAndHold()
    }
}
