import QtQuick 2.15
import "../controls"
import "../style"

TicketResult {
    icon: "qrc:/qml/images/Icons/valid.svg"
    iconColor: Style.valid
    title: manager.dynTr + qsTr("VALID")
    titleSize: Style.titleLarge
    trContext: "Valid"
}
