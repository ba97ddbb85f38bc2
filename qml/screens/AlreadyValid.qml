import QtQuick 2.15
import "../controls"
import "../style"

// Capping products have nothing meaningful to show on a repeat tap.
TicketResult {
    icon: "warning"
    iconColor: Style.warning
    title: manager.dynTr + qsTr("ALREADY VALIDATED")
    titleSize: Style.title
    trContext: "AlreadyValid"
    shownTypes: [0, 5, 12, 14, 8, 2]
}
