import QtQuick 2.15
import "../controls"

Item {
    Column {
        anchors.fill: parent

        ImageBox {
            objectName: "resultIcon"
            source: "qrc:/qml/images/Icons/warning.svg"
            color: "#fcdb03"
        }
        TextBox {
            objectName: "title"
            text: manager.dynTr + qsTr("ALREADY VALIDATED")
            size: 24
            bold: true
        }
        TextBox {
            text: transaction.fareProduct || ""
            size: 14
        }
        Separator {}
        // Capping products have nothing meaningful to show on a repeat tap.
        ResultDetails {
            trContext: "AlreadyValid"
            shownTypes: [0, 5, 12, 14, 8, 2]
        }
    }
}
