import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// Bottom-left switch between the card and the ticket prompt. It sits one
// border width off the left edge so that only three borders show.
CustomButton {
    width: 270
    height: 120
    x: -borderWidth
    anchors.bottom: parent.bottom
    anchors.bottomMargin: 20
    color: "#000621"
    borderWidth: 10
    borderColor: down ? "#36C478" : Material.accent
    iconSize: 50
    iconColor: "white"
    textColor: "white"
    font.pointSize: 12
}
