import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"

// Maintenance menu.
Item {
    Column {
        anchors.centerIn: parent
        spacing: 40

        TextBox {
            width: 400
            text: manager.dynTr + qsTr("Settings")
            size: 24
            bold: true
        }
        CustomButton {
            objectName: "logoutButton"
            anchors.horizontalCenter: parent.horizontalCenter
            width: 300
            height: 60
            radius: 4
            text: manager.dynTr + qsTr("LOGOUT")
            font.pixelSize: 20
            font.bold: true
            onClicked: manager.settingsLogoutRequest()
        }
    }
}
