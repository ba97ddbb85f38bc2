import QtQuick 2.15
import "../controls"
import "../style"

TicketResult {
    icon: "warning"
    iconColor: Style.warning
    title: manager.dynTr + qsTr("ALREADY VALIDATED")
    titleSize: Style.title
    trContext: "AlreadyValid"
}
