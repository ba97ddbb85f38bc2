import QtQuick 2.15
import "../controls"
import "../style"

ResultPage {
    icon: "retry"
    iconColor: Style.warning
    title: manager.dynTr + qsTr("PLEASE TRY AGAIN")
    titleSize: Style.title
    titleHeight: 2 * Style.resultRow
    titleMargin: 40

    Separator {}
    Item { width: 1; height: Style.resultRow }
}
