import QtQuick 2.15
import "../controls"

Item {
    Column {
        anchors.fill: parent

        ImageBox {
            objectName: "resultIcon"
            source: "qrc:/qml/images/Icons/valid.svg"
            color: "#41b987"
        }
        TextBox {
            objectName: "title"
            text: manager.dynTr + qsTr("VALID")
            size: 32
            bold: true
        }
        TextBox {
            text: transaction.fareProduct || ""
            size: 14
        }
        Separator {}
        ResultDetails {
            trContext: "Valid"
            shownTypes: [0, 5, 16, 12, 14, 8, 2, 15]
        }
    }
}
