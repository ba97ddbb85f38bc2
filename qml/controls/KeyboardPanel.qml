import QtQuick 2.15
import QtQuick.VirtualKeyboard 2.15
import "../style"

// The application's one on-screen keyboard, resting below the window and
// sliding up over the bottom of whatever page has focus. Enter hides it,
// whichever field it typed into.
InputPanel {
    id: panel
    objectName: "keyboard"
    readonly property real shownY: parent.height - height
    // Digits and the dot take the small numeric layout, centred in the panel:
    // a wider panel makes its keys larger, and what spills over the window's
    // sides is empty.
    readonly property bool numeric: (InputContext.inputMethodHints
                                     & (Qt.ImhDigitsOnly | Qt.ImhFormattedNumbersOnly)) !== 0

    width: numeric ? Style.numericKeyboardWidth : parent.width
    x: (parent.width - width) / 2
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
