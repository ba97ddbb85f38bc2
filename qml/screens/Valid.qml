import QtQuick 2.15
import "../controls"
import "../style"

TicketResult {
    icon: "valid"
    iconColor: Style.valid
    title: manager.dynTr + qsTr("VALID")
    titleSize: Style.titleLarge
    trContext: "Valid"
}
