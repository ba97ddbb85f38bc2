import QtQuick 2.15
import "../style"

Item {
    // The whole window, the version label's strip too.
    Rectangle {
        anchors.fill: parent
        anchors.bottomMargin: -Style.footer
        color: manager.screenSaverBg

        Image {
            objectName: "screenSaverImage"
            anchors.centerIn: parent
            width: 300
            height: 300
            sourceSize: Qt.size(300, 300)
            fillMode: Image.PreserveAspectFit
            source: manager.screenSaverImg
        }
    }
}
