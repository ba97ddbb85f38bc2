import QtQuick 2.15
import "../controls"
import "../style"

TicketResult {
    icon: "qrc:/qml/images/Icons/warning.svg"
    iconColor: Style.warning
    title: manager.dynTr + qsTr("ALREADY VALIDATED")
    titleSize: Style.title
    trContext: "AlreadyValid"
}
