import QtQuick 2.15
import "../controls"

Item {
    Column {
        anchors.fill: parent

        ImageBox {
            objectName: "resultIcon"
            source: "qrc:/qml/images/Icons/retry.svg"
            color: "#fcdb03"
        }
        TextBox {
            objectName: "title"
            text: manager.dynTr + qsTr("PLEASE TRY AGAIN")
            size: 24
            bold: true
            height: 200
            leftMargin: 40
            rightMargin: 40
        }
        Separator {}
        Item { width: 1; height: 100 }
    }
}
