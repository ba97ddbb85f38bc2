import QtQuick 2.15
import QtQuick.VirtualKeyboard 2.15

// The application's one on-screen keyboard, resting below the window and
// sliding up over the bottom of whatever page has focus. Enter hides it,
// whichever field it typed into.
InputPanel {
    id: panel
    readonly property real shownY: parent.height - height

    width: parent.width
    height: 250
    y: active ? shownY : parent.height
    z: 100
    // Resting below the window it must not catch touches meant for the page.
    visible: y < parent.height

    Behavior on y {
        NumberAnimation { duration: 150; easing.type: Easing.InOutQuad }
    }

    Connections {
        target: InputContext.inputEngine
        function onVirtualKeyClicked(key) {
            if (key === Qt.Key_Return || key === Qt.Key_Enter)
                Qt.inputMethod.hide()
        }
    }
}
