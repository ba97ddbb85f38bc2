import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// The bar between a result's title and its details, in the theme's text colour.
Item {
    width: parent ? parent.width : 480
    height: 4

    Rectangle {
        anchors.centerIn: parent
        width: parent.width - 70
        height: 4
        radius: 4
        color: Material.foreground
    }
}
