import QtQuick 2.15
import "../style"

// A result or a state of the validator: an icon in one colour over a title,
// then the rows the page adds.
Item {
    id: root
    property alias icon: resultIcon.name
    property alias iconColor: resultIcon.color
    property int iconSize: Style.resultIcon
    property alias title: titleBox.text
    property alias titleSize: titleBox.size
    property alias titleHeight: titleBox.height
    // Left and right, for titles that wrap.
    property int titleMargin: 0
    default property alias rows: column.data

    Column {
        id: column
        anchors.fill: parent

        ImageBox {
            id: resultIcon
            objectName: "resultIcon"
            imageWidth: root.iconSize
            imageHeight: root.iconSize
        }
        TextBox {
            id: titleBox
            objectName: "title"
            bold: true
            leftMargin: root.titleMargin
            rightMargin: root.titleMargin
        }
    }
}
