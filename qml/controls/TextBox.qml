import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// A word-wrapped label in a transparent row.
Item {
    id: root
    property alias text: label.text
    property int size: 16
    property int horizontalAlignment: Text.AlignHCenter
    property int verticalAlignment: Text.AlignVCenter
    property bool bold: false
    property real letterSpacing: 1.0
    property int leftMargin: 0
    property int rightMargin: 0
    property alias label: label

    width: parent ? parent.width : 480
    height: 100

    Label {
        id: label
        anchors.fill: parent
        anchors.leftMargin: root.leftMargin
        anchors.rightMargin: root.rightMargin
        color: Material.foreground
        font.pointSize: root.size
        font.bold: root.bold
        font.letterSpacing: root.letterSpacing
        horizontalAlignment: root.horizontalAlignment
        verticalAlignment: root.verticalAlignment
        wrapMode: Text.WordWrap
    }
}
