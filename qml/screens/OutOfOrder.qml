import QtQuick 2.15
import "../controls"
import "../style"

ResultPage {
    icon: "warning"
    iconColor: Style.error
    iconSize: Style.stateIcon
    title: manager.dynTr + qsTr("OUT OF ORDER")
    titleSize: Style.titleSmall

    TextBox {
        objectName: "message"
        text: manager.message
        size: Style.body
    }
}
