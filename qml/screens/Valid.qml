import QtQuick 2.15
import "../controls"
import "../style"

TicketResult {
    icon: "valid"
    iconColor: Style.valid
    title: manager.dynTr + qsTr("VALID")
    titleSize: Style.titleLarge
    trContext: "Valid"
    shownTypes: [0, 5, 16, 12, 14, 8, 2, 15]
}
