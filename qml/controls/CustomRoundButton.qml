import QtQuick 2.15
import QtQuick.Controls.Material 2.15
import QtGraphicalEffects 1.15

// Round accent button with a shadow; it sinks into the surface while pressed.
Item {
    id: root
    property int radius: 25
    property color color: Material.accent
    property url icon: ""
    property int iconSize: radius
    property color iconColor: "white"
    readonly property bool isPng: /\.png$/i.test(icon.toString())

    signal clicked()
    signal pressAndHold()

    width: 2 * radius
    height: 2 * radius
    scale: area.pressed ? 0.8 : 1.0

    Behavior on scale { NumberAnimation { duration: 80 } }

    DropShadow {
        anchors.fill: disc
        source: disc
        visible: !area.pressed
        horizontalOffset: 3
        verticalOffset: 3
        radius: 8
        samples: 16
        color: "#80000000"
    }
    Rectangle {
        id: disc
        anchors.fill: parent
        radius: root.radius
        color: root.color
    }
    Image {
        id: iconImage
        anchors.centerIn: parent
        width: root.iconSize
        height: root.iconSize
        sourceSize: Qt.size(root.iconSize, root.iconSize)
        source: root.icon
        smooth: true
        visible: root.isPng
    }
    ColorOverlay {
        anchors.fill: iconImage
        source: iconImage
        color: root.iconColor
        visible: !root.isPng
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: root.clicked()
        onPressAndHold: root.pressAndHold()
    }
}
