import QtQuick 2.15
import "../controls"
import "../style"

ResultPage {
    icon: "invalid"
    iconColor: Style.error
    title: manager.dynTr + qsTr("INVALID")
    titleSize: Style.titleLarge

    Item { width: 1; height: Style.resultRow }
    Separator {}
    TextBox {
        objectName: "denyReason"
        text: transaction.denyReason || ""
        size: Style.body
        leftMargin: Style.resultMargin
        rightMargin: 25
    }
}
