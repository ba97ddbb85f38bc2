import QtQuick 2.15
import "../controls"

Item {
    Column {
        anchors.fill: parent

        ImageBox {
            objectName: "resultIcon"
            source: "qrc:/qml/images/Icons/warning.svg"
            color: "#fcdb03"
            imageWidth: 300
            imageHeight: 300
        }
        TextBox {
            objectName: "title"
            text: manager.dynTr + qsTr("OUT OF SERVICE")
            size: 20
            bold: true
            leftMargin: 35
            rightMargin: 35
        }
        Item { width: 1; height: 100 }
    }
}
