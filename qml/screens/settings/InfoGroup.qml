import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

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
        font.family: "DejaVu Sans"
        font.pixelSize: 18
        font.bold: true
    }

    Column {
        id: column
        width: root.availableWidth
        spacing: 2
    }
}
