import QtQuick 2.15
import "../controls"
import "../style"

ResultPage {
    icon: "warning"
    iconColor: Style.warning
    iconSize: Style.stateIcon
    title: manager.dynTr + qsTr("OUT OF SERVICE")
    titleSize: Style.titleSmall
    titleMargin: Style.resultMargin

    Item { width: 1; height: Style.resultRow }
}
