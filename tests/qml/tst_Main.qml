import QtQuick 2.15
import QtTest 1.15

Item {
    id: root
    property var transaction: ({ type: 0, fareProduct: "", denyReason: "", details: {} })

    QtObject {
        id: sessionManager
        property int lockoutSecs: 0
    }
    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
        property string screen: "Busy"
        property string message: "Initializing"
        property string deviceId: "K12345678"
        property bool showCursor: true
        property color screenSaverBg: "black"
        property string screenSaverImg: "qrc:/qml/images/Icons/kivo.png"
        property int animSwitchSec: 0
        property int maintenanceCalls: 0
        signal errorOccured(string error)
        signal settingsAccessGranted()
        signal settingsAccessDenied()
        function setMaintenanceScreen() { maintenanceCalls += 1 }
        function saveDeviceIdRequest(id) {}
        function settingsLoginRequest(pin) {}
        function settingsLogoutRequest() {}
    }

    TestCase {
        name: "Main"
        when: windowShown
        property var window

        function initTestCase() {
            var component = Qt.createComponent("qrc:/qml/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            window = component.createObject(root)
            verify(window)
            waitForRendering(window.contentItem)
        }
        function cleanupTestCase() {
            window.destroy()
        }
        function page(name) {
            return findChild(window.contentItem, "page_" + name)
        }
        function test_everyPageLoadedAtOnce() {
            compare(window.screenList.length, 14)
            for (var i = 0; i < window.screenList.length; ++i) {
                var loader = page(window.screenList[i].name)
                verify(loader, window.screenList[i].name)
                compare(loader.status, Loader.Ready, window.screenList[i].name)
            }
        }

        function test_onlyCurrentPageVisible() {
            manager.screen = "Valid"
            compare(window.currentScreen, "Valid")
            for (var i = 0; i < window.screenList.length; ++i) {
                var name = window.screenList[i].name
                compare(page(name).visible, name === "Valid", name)
            }
            manager.screen = "Busy"
        }

        function test_scanPagesSwitchWithoutManager() {
            manager.screen = "ScanCard"
            mouseClick(findChild(page("ScanCard").item, "scanButton"))
            compare(window.currentScreen, "ScanBarcode")
            compare(manager.screen, "ScanCard")
            mouseClick(findChild(page("ScanBarcode").item, "scanButton"))
            compare(window.currentScreen, "ScanCard")
            manager.screen = "Busy"
            compare(window.currentScreen, "Busy")
        }

        function test_languageButton() {
            var button = findChild(window, "languageButton")
            compare(button.icon.toString(), "qrc:/qml/images/Flags/gr.png")
            mouseClick(button)
            compare(manager.language, "el_GR")
            compare(button.icon.toString(), "qrc:/qml/images/Flags/uk.png")
            compare(window.locale.name, "el_GR")
            mouseClick(button)
            compare(manager.language, "en_IE")
        }

        function test_errorPopup() {
            var popup = findChild(window.overlay, "errorPopup") || findChild(window, "errorPopup")
            verify(popup)
            manager.errorOccured("Permission denied")
            tryCompare(popup, "opened", true)
            compare(popup.dialog, false)
            compare(popup.text, "Permission denied")
            mouseClick(window.contentItem, 240, 300)
            tryCompare(popup, "visible", false)
        }
    }
}
