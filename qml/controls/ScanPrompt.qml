import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../style"

// Animation frame below the page centre with the prompt at the right.
Item {
    id: root
    property alias text: prompt.text
    property alias source: frameImage.source

    anchors.fill: parent

    Image {
        id: frameImage
        objectName: "frameImage"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: 10
        width: 300
        height: 300
        // The frames are drawn at the size they are shown, so none is scaled on loading.
        sourceSize: Qt.size(300, 300)
        fillMode: Image.PreserveAspectFit
        // Shown at its own size, so unfiltered drawing gives the same pixels for less.
        smooth: false
    }
    Label {
        id: prompt
        anchors.right: parent.right
        anchors.rightMargin: 20
        y: 150
        width: 150
        height: 170
        horizontalAlignment: Text.AlignRight
        color: Material.foreground
        font.pointSize: Style.body
        font.bold: true
    }
}
