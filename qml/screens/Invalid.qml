import QtQuick 2.15
import "../controls"

Item {
    Column {
        anchors.fill: parent

        ImageBox {
            objectName: "resultIcon"
            source: "qrc:/qml/images/Icons/invalid.svg"
            color: "#db4a37"
        }
        TextBox {
            objectName: "title"
            text: manager.dynTr + qsTr("INVALID")
            size: 32
            bold: true
        }
        Item { width: 1; height: 100 }
        Separator {}
        TextBox {
            objectName: "denyReason"
            text: transaction.denyReason || ""
            size: 14
            leftMargin: 35
            rightMargin: 25
        }
    }
}
