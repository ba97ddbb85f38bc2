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
        property string screen: "Login"
        property var requests: []
        signal settingsAccessGranted()
        signal settingsAccessDenied()
        function settingsLoginRequest(pin) { requests.push(pin) }
    }
    QtObject {
        id: sessionManager
        property int lockoutSecs: 0
    }

    Loader {
        id: loader
        anchors.fill: parent
        source: "qrc:/qml/screens/settings/Login.qml"
    }

    TestCase {
        name: "Login"
        when: windowShown

        function key(name) {
            mouseClick(findChild(loader.item, "key_" + name))
        }
        function pinText() {
            return findChild(loader.item, "pinText").text
        }
        function login() {
            return findChild(loader.item, "loginButton")
        }
        function init() {
            manager.requests = []
            manager.screen = "Login"
            loader.item.visible = true
            key("CLR")
        }

        function test_editing() {
            compare(pinText(), "Pin")
            verify(!login().enabled)
            key("7"); key("3"); key("1")
            compare(pinText(), "731")
            verify(login().enabled)
            key("back")
            compare(pinText(), "73")
            key("back"); key("back")
            compare(pinText(), "Pin")
            verify(!login().enabled)
            key("back")
            compare(pinText(), "Pin")
            key("9"); key("0")
            key("CLR")
            compare(pinText(), "Pin")
            mouseClick(login())
            compare(manager.requests, [])
        }

        function test_loginSendsEnteredText() {
            key("7"); key("3"); key("1"); key("5")
            mouseClick(login())
            compare(manager.requests, ["7315"])
        }

        function test_deniedClearsAndShakes() {
            key("1"); key("2")
            var form = findChild(loader.item, "loginForm")
            var rest = form.x
            manager.settingsAccessDenied()
            compare(pinText(), "Pin")
            tryVerify(function() { return form.x !== rest }, 200)
            tryCompare(form, "x", rest, 1000)
        }

        function test_resetWhenHidden() {
            key("4"); key("2")
            loader.item.visible = false
            loader.item.visible = true
            compare(pinText(), "Pin")
        }
    }
}
