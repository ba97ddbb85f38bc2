import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: page

    Column {
        anchors.fill: parent
        anchors.topMargin: 200
        spacing: 30

        BusyIndicator {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(page.width, page.height) / 5
            height: width
            running: page.visible
        }
        Label {
            objectName: "message"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: manager.message
            font.pointSize: 22
        }
    }
}
