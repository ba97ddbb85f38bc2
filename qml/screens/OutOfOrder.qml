import QtQuick 2.15
import "../controls"

Item {
    Column {
        anchors.fill: parent

        ImageBox {
            objectName: "resultIcon"
            source: "qrc:/qml/images/Icons/warning.svg"
            color: "#db4a37"
            imageWidth: 300
            imageHeight: 300
        }
        TextBox {
            objectName: "title"
            text: manager.dynTr + qsTr("OUT OF ORDER")
            size: 20
            bold: true
        }
        TextBox {
            objectName: "message"
            text: manager.message
            size: 14
        }
    }
}
