import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// Framed group of label and value rows.
GroupBox {
    id: root
    default property alias rows: column.data

    width: parent ? parent.width : 460
    label: Label {
        x: root.leftPadding
        width: root.availableWidth
        text: root.title
        elide: Text.ElideRight
        font.pixelSize: Style.groupText
        font.bold: true
    }

    Column {
        id: column
        width: root.availableWidth
        spacing: 2
    }
}
