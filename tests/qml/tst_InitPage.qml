import QtQuick 2.15
import QtTest 1.15

Item {
    id: root
    width: 480
    height: 680

    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
        property string deviceId: ""
        property var saved: []
        function saveDeviceIdRequest(id) { saved.push(id) }
    }

    Loader {
        id: loader
        anchors.fill: parent
        source: "qrc:/qml/screens/InitPage.qml"
    }

    // The window's one keyboard, as the application has it.
    Loader {
        anchors.fill: parent
        source: "qrc:/qml/controls/KeyboardPanel.qml"
    }

    TestCase {
        name: "InitPage"
        when: windowShown

        property var field
        property var save
        property var hint
        property var popup

        function initTestCase() {
            verify(loader.item, "page loads")
            field = findChild(loader.item, "serialField")
            save = findChild(loader.item, "saveButton")
            hint = findChild(loader.item, "serialHint")
            popup = findChild(loader.item, "confirmPopup")
            verify(field && save && hint && popup)
        }
        function init() {
            manager.saved = []
            field.text = ""
        }

        function test_validity_data() {
            return [
                { tag: "K form", text: "K00000000", valid: true },
                { tag: "C form", text: "C12345678", valid: true },
                { tag: "empty", text: "", valid: false },
                { tag: "two letters", text: "KC12345678", valid: false },
                { tag: "comma", text: ",12345678", valid: false },
                // What is typed in lower case is turned upper case.
                { tag: "lower case", text: "k12345678", valid: true },
                { tag: "other letter", text: "A12345678", valid: false },
                { tag: "seven digits", text: "K1234567", valid: false },
                { tag: "nine digits", text: "K123456789", valid: false },
                { tag: "trailing blank", text: "K12345678 ", valid: false },
                { tag: "letter among digits", text: "K1234X678", valid: false }
            ]
        }
        function test_validity(data) {
            field.text = data.text
            compare(save.enabled, data.valid)
            compare(hint.opacity, data.valid ? 0 : 1)
        }

        function test_confirmYesSaves() {
            field.text = "C12345678"
            mouseClick(save)
            tryCompare(popup, "opened", true)
            compare(popup.dialog, true)
            verify(popup.text.indexOf("Please confirm the serial number\n\nC12345678") === 0)
            mouseClick(findChild(popup.contentItem, "popupYes"))
            tryCompare(popup, "visible", false)
            compare(manager.saved, ["C12345678"])
        }

        function test_onlyAnAnswerClosesTheDialog() {
            field.text = "K87654321"
            mouseClick(save)
            tryCompare(popup, "opened", true)
            mouseClick(root, 5, 5)
            wait(50)
            verify(popup.visible)
            mouseClick(findChild(popup.contentItem, "popupNo"))
            tryCompare(popup, "visible", false)
            compare(manager.saved, [])
        }

        function test_leavingThePageClosesTheDialog() {
            field.text = "K87654321"
            mouseClick(save)
            tryCompare(popup, "opened", true)
            loader.item.visible = false
            tryCompare(popup, "visible", false)
            loader.item.visible = true
            compare(manager.saved, [])
        }

        function test_enterKeyAsksOnlyWhenValid() {
            field.text = "K1234"
            field.forceActiveFocus()
            keyClick(Qt.Key_Return)
            wait(50)
            verify(!popup.visible)
            field.text = "K12345678"
            field.forceActiveFocus()
            keyClick(Qt.Key_Return)
            tryCompare(popup, "opened", true)
            mouseClick(findChild(popup.contentItem, "popupNo"))
            tryCompare(popup, "visible", false)
        }
    }
}
