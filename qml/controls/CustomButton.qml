import QtQuick 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Controls 2.15
import "../style"

// Flat button whose press floods it from the touch point with a darker shade.
Rectangle {
    id: root
    property alias text: label.text
    property alias textColor: label.color
    property alias font: label.font
    // An icon drawn by the build in `iconColor` at `iconSize`.
    property string icon: ""
    property color iconColor: Style.white
    property int iconSize: 32
    property color borderColor: Style.none
    property int borderWidth: 0
    readonly property bool down: area.pressed

    signal clicked()
    signal pressed()
    signal released()

    width: 200
    height: 60
    color: Material.accent
    border.width: borderWidth
    border.color: borderColor
    clip: true

    Rectangle {
        id: fill
        property real diameter: 0
        width: diameter
        height: diameter
        radius: diameter / 2
        x: area.mouseX - diameter / 2
        y: area.mouseY - diameter / 2
        color: Qt.darker(root.color, 1.5)
        visible: area.pressed

        NumberAnimation {
            id: grow
            target: fill
            property: "diameter"
            from: 0
            to: 3 * Math.max(root.width, root.height)
            duration: 300
        }
    }

    Item {
        id: iconSlot
        visible: root.icon !== ""
        width: visible ? root.width * 0.35 : 0
        height: root.height

        TintedIcon {
            anchors.centerIn: parent
            width: root.iconSize
            height: root.iconSize
            name: root.icon
            color: root.iconColor
        }
    }

    Label {
        id: label
        anchors.left: iconSlot.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.leftMargin: iconSlot.visible ? 0 : 8
        anchors.rightMargin: 8
        horizontalAlignment: iconSlot.visible ? Text.AlignLeft : Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: Style.white
        wrapMode: Text.WordWrap
    }

    MouseArea {
        id: area
        anchors.fill: parent
        onPressed: {
            grow.restart()
            root.pressed()
        }
        onReleased: root.released()
        onClicked: root.clicked()
    }
}
