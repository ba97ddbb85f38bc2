import QtQuick 2.15
import QtQuick.VirtualKeyboard 2.15

// On-screen keyboard resting below the page; it slides up while text is entered.
InputPanel {
    id: panel
    readonly property real shownY: parent.height - height

    width: parent.width
    height: 250
    y: active ? shownY : parent.height
    z: 100

    Behavior on y {
        NumberAnimation { duration: 150; easing.type: Easing.InOutQuad }
    }
}
