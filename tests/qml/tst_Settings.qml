import QtQuick 2.15
import QtTest 1.15

// The maintenance menu and its pages inside the real main window, against
// stand-ins that record what the pages ask of the managers.
Item {
    id: root
    property var transaction: ({ type: 0, fareProduct: "", denyReason: "", details: {} })
    property var calls: []

    function called(name) {
        return calls.indexOf(name) >= 0
    }

    QtObject {
        id: sessionManager
        property int lockoutSecs: 0
    }
    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
        property string screen: "Busy"
        property string message: ""
        property string deviceId: "K12345678"
        property bool showCursor: true
        property bool showErrorDesc: false
        property int displayOffMin: 10
        property int shutdownDelaySec: 30
        property color screenSaverBg: "black"
        property string screenSaverImg: ""
        property int animSwitchSec: 0
        property string pin: "1234"
        property QtObject clock: QtObject {
            property var timezones: ["Europe/Athens", "Europe/Dublin", "UTC"]
            property string timezone: "Europe/Athens"
            property string ntpServer: "pool.ntp.org"
            property bool ntpEnabled: true
            property bool ntpSynced: true
            function refresh() { root.calls.push("clock.refresh") }
            function ntpSync() { root.calls.push("clock.ntpSync") }
        }
        property QtObject update: QtObject {
            property string status: "Idle"
            property string current: "2.4.1"
            property string pending: ""
            property int progressPercent: 40
            property string progressMessage: "Downloading"
            function check() { root.calls.push("update.check") }
            function install() { root.calls.push("update.install") }
        }
        property QtObject diagnostics: QtObject {
            property string rtc: "OK"
            property string ethernet: "OK"
            property string usbHub: "OK"
            property string usbHost: "OK"
            property string ftdi: "ERROR: not found"
            property string mPCIe1: "OK"
            property string touch: "OK"
            property string sdCard: "OK"
            property string ignition: "ON"
            property string temperature: "41.5 C"
            property string voltage: "24.1 V"
            property string rfidUsb: "OK"
            property string rfidService: "OK"
            property string barcodeUsb: "OK"
            property string barcodeService: "OK"
            property string sam: "OK"
            property string boardService: "OK"
            property string poleId: "P-17"
            property string serialPortTest: ""
            property string buzzer: ""
            property string leds: ""
            property string cardScan: ""
            property string barcodeScan: ""
            property string speaker: ""
            property string lightSensor: ""
            property string rgbTest: ""
            property var serialPorts: ["NONE", "ttyS1", "ttyUSB0"]
            property string serialPort: "ttyS1"
            property int serialFlowCtrl: 1
            property bool saveResult: true
            signal saveReportFinished(bool result, string message)
            function start() { root.calls.push("diagnostics.start") }
            function stop() { root.calls.push("diagnostics.stop") }
            function saveReport() {
                root.calls.push("diagnostics.saveReport")
                saveReportFinished(saveResult, saveResult ? "Report saved" : "ERROR: disk full")
            }
            function generateQr() {
                return "data:image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 2 2'>"
                        + "<rect width='1' height='1'/></svg>"
            }
            function serialPortDescr(name) { return "Port " + name }
        }
        signal errorOccured(string error)
        signal settingsAccessGranted()
        signal settingsAccessDenied()
        signal barcodeConfigurationApplied(var configList)
        function setMaintenanceScreen() { screen = "Login" }
        function saveDeviceIdRequest(id) {}
        function settingsLoginRequest(value) {
            if (value === pin)
                settingsAccessGranted()
            else
                settingsAccessDenied()
        }
        function settingsLogoutRequest() { root.calls.push("logout"); screen = "ScanScreens" }
        function exitRequest() { root.calls.push("exit") }
        function rebootRequest() { root.calls.push("reboot") }
        function shutdownRequest() { root.calls.push("shutdown") }
    }

    QtObject {
        id: validatorManager
        property string status: "degraded"
        property string reason: "#0004"
        property string version: "3.1.0"
        property string vehicle: "BUS-204"
        property QtObject config: QtObject {
            property string obuUrl: "http://10.0.0.1:8080"
            property int passbackSecs: 60
            property bool passbackQrEnabled: false
        }
        property QtObject rfid: QtObject {
            property string firmware: "1.2"
            property string model: "R1"
            property string manufacturer: "Acme"
            property string deviceUid: "04AABB"
            property string state: "ready"
            property string error: ""
            property QtObject sam: QtObject {
                property int slot: 1
                property string name: "SAM-AV3"
                property string version: "3.0"
                property string uid: "0102"
                property string mode: "AV3"
                property bool unlocked: true
                property date production: new Date(2024, 4, 3)
            }
        }
        property QtObject barcode: QtObject {
            property string firmware: "5.0"
            property string model: "B2"
            property string manufacturer: "Acme"
            property bool active: true
            property bool enabled: false
        }
        signal cardDetected(string uid, string type)
        signal cardRemoved()
        signal ticketValidated()
        function enableBarcode() { root.calls.push("enableBarcode") }
        function disableBarcode() { root.calls.push("disableBarcode") }
        function enableRfid() { root.calls.push("enableRfid") }
        function disableRfid() { root.calls.push("disableRfid") }
        function saveConfig() { root.calls.push("saveConfig") }
        function refreshConfig() { root.calls.push("refreshConfig") }
    }

    QtObject {
        id: board
        property string poleId: "P-17"
        property bool audioEnabled: true
        property string displayBrightnessMode: "manual"
        property int displayBrightness: 70
        property int ambientLightSensor: 35
        function monitor(msec) { root.calls.push("board.monitor " + msec) }
        function playBuzzer(on, off, repeat) { root.calls.push("buzzer " + on + " " + off + " " + repeat) }
        function setLedTestPattern() { root.calls.push("ledTest") }
        function setLedOff() { root.calls.push("ledOff") }
        function setAudioEnabled(value) { audioEnabled = value }
        function setDisplayBrightnessMode(value) { displayBrightnessMode = value }
        function setDisplayBrightness(value) { displayBrightness = value }
    }

    QtObject {
        id: inspector
        property int audioVolume: 80
        function setAudioVolume(value) { audioVolume = value }
        function audioPlay(file) { root.calls.push("play " + file) }
    }

    QtObject {
        id: network
        property string connectionState: "Connected"
        property string connectivity: "Limited"
        property string hostname: "validator-204"
        // Plain objects: "interface" cannot be declared as a QML property.
        property var primaryConnection: ({
            type: "ethernet", interface: "eth0",
            ipv4: { address: "192.168.1.20", mask: "255.255.255.0", gateway: "192.168.1.1",
                    dns0: "192.168.1.1", dns1: "" }
        })
        property var ethernet: ({
            state: "Connected", mac: "00:11:22:33:44:55", interface: "eth0", reason: "None",
            method: "manual",
            ipv4: { address: "192.168.1.20", mask: "255.255.255.0", gateway: "192.168.1.1",
                    dns0: "192.168.1.1", dns1: "" },
            config: { address: "192.168.1.20", mask: "255.255.255.0", gateway: "192.168.1.1",
                      dns0: "", dns1: "" },
            save: function() { root.calls.push("ethernet.save") }
        })
    }

    QtObject {
        id: eventLogManager
        property var data: [
            { name: "Ignition off", description: "The ignition was turned off.", timestamp: new Date(2026, 11, 7, 8, 15) },
            { name: "Maintenance login", description: "A technician logged in.", timestamp: new Date(2026, 11, 7, 8, 0) },
            { name: "Application started", description: "Version 2.4.1", timestamp: new Date(2026, 11, 7, 7, 55) }
        ]
        function applyFilter(name) { root.calls.push("filter " + name) }
        function applyFilterPeriod(period) { root.calls.push("period " + period) }
    }

    TestCase {
        id: test
        name: "Settings"
        when: windowShown
        property var window
        property var menu

        function initTestCase() {
            var component = Qt.createComponent("qrc:/qml/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            window = component.createObject(root)
            verify(window)
            menu = findChild(window.contentItem, "page_Settings").item
            verify(menu)
        }
        function cleanupTestCase() {
            window.destroy()
        }
        function init() {
            root.calls = []
            manager.screen = "Settings"
            tryCompare(menu, "visible", true)
            tryCompare(stack(), "busy", false)
        }
        function cleanup() {
            manager.screen = "Busy"
        }
        function stack() {
            return findChild(menu, "stack")
        }
        function overlayChild(name) {
            return findChild(window.overlay, name)
        }
        function open(index) {
            tryCompare(stack(), "busy", false)
            var row = findChild(stack().currentItem, "entry_" + index)
            verify(row, "entry " + index)
            mouseClick(row)
            tryCompare(stack(), "busy", false)
            return stack().currentItem
        }
        function click(item) {
            verify(item)
            mouseClick(item)
        }
        function title() {
            return findChild(menu, "title").text
        }
        function shoot(name) {
            tryCompare(stack(), "busy", false)
            // Lets popups and swipes finish their transitions.
            wait(250)
            grabImage(window.contentItem).save("screen_settings_" + name + ".png")
        }

        function test_menuList() {
            compare(title(), "Settings")
            compare(stack().currentItem.opacity, 1)
            compare(stack().currentItem.x, 0)
            verify(!findChild(menu, "backButton").visible)
            compare(findChild(stack().currentItem, "entry_7") !== null, true)
            shoot("menu")
        }

        function test_everyPageOpensWithItsTitle_data() {
            return [
                { tag: "Validator", index: 0 }, { tag: "Diagnostics", index: 1 }, { tag: "Region", index: 2 },
                { tag: "Audio", index: 3 }, { tag: "Display", index: 4 }, { tag: "Network", index: 5 },
                { tag: "Update", index: 6 }, { tag: "Event Log", index: 7 }
            ]
        }
        function test_everyPageOpensWithItsTitle(data) {
            var page = open(data.index)
            compare(stack().depth, 2)
            compare(title(), data.tag)
            verify(findChild(menu, "backButton").visible)
            shoot(data.tag.replace(" ", "").toLowerCase())
            click(findChild(menu, "backButton"))
            tryCompare(stack(), "depth", 1)
            compare(title(), "Settings")
        }

        function test_hooksFollowThePageLife() {
            open(1)
            verify(called("diagnostics.start"))
            click(findChild(menu, "backButton"))
            tryCompare(stack(), "depth", 1)
            tryVerify(function() { return called("diagnostics.stop") })
            open(4)
            verify(called("board.monitor 1000"))
            manager.screen = "ScanScreens"
            tryCompare(stack(), "depth", 1)
            tryVerify(function() { return called("board.monitor 0") })
            manager.screen = "Settings"
            open(2)
            verify(called("clock.refresh"))
        }

        function test_scanConfigQr() {
            click(findChild(menu, "menuButton"))
            var item = findChild(window.overlay, "scanConfigItem")
            tryCompare(item, "visible", true)
            click(item)
            var popup = overlayChild("configPopup") || findChild(menu, "configPopup")
            tryCompare(popup, "opened", true)
            compare(popup.text, "Scan Configuration QR code")
            verify(called("enableBarcode"))
            manager.barcodeConfigurationApplied(["validator/passbackSecs = 90", "network/method = auto"])
            compare(popup.text, "CONFIGURATION APPLIED\nvalidator/passbackSecs = 90\nnetwork/method = auto")
            shoot("scanconfig")
            verify(!called("disableBarcode"))
            mouseClick(window.contentItem, 240, 400)
            tryCompare(popup, "visible", false)
            verify(called("disableBarcode"))
        }

        function test_confirmations_data() {
            return [
                { tag: "restartItem", action: "exit" }, { tag: "rebootItem", action: "reboot" },
                { tag: "shutdownItem", action: "shutdown" }
            ]
        }
        function test_confirmations(data) {
            click(findChild(menu, "menuButton"))
            var item = findChild(window.overlay, data.tag)
            tryCompare(item, "visible", true)
            click(item)
            var popup = findChild(menu, "confirmPopup")
            tryCompare(popup, "opened", true)
            compare(popup.text, "Are you sure?")
            compare(popup.dialog, true)
            verify(!called(data.action))
            click(findChild(window.overlay, "popupYes") || findChild(popup.contentItem, "popupYes"))
            verify(called(data.action))
            tryCompare(popup, "visible", false)
        }

        function test_validatorConfiguration() {
            var info = open(0)
            info.contentY = info.contentHeight - info.height
            click(findChild(info, "configureButton"))
            tryCompare(stack(), "busy", false)
            var page = stack().currentItem
            compare(stack().depth, 3)
            var save = findChild(page, "saveButton")
            compare(save.enabled, false)
            shoot("validatorconfig")
            var passback = findChild(page, "passbackBox")
            passback.value = 90
            compare(save.enabled, true)
            passback.value = 60
            compare(save.enabled, false)
            findChild(page, "errorSwitch").toggle()
            compare(save.enabled, true)
            click(findChild(page, "backButton"))
            tryCompare(stack(), "depth", 2)
            verify(called("refreshConfig"))
            compare(manager.showErrorDesc, false)

            tryCompare(stack(), "busy", false)
            info.contentY = info.contentHeight - info.height
            click(findChild(info, "configureButton"))
            tryCompare(stack(), "busy", false)
            page = stack().currentItem
            compare(findChild(page, "errorSwitch").checked, false)
            findChild(page, "urlField").text = "http://10.0.0.2:8080"
            findChild(page, "shutdownBox").value = 120
            click(findChild(page, "saveButton"))
            tryCompare(stack(), "depth", 2)
            verify(called("saveConfig"))
            compare(validatorManager.config.obuUrl, "http://10.0.0.2:8080")
            compare(manager.shutdownDelaySec, 120)
        }

        function test_ethernetChecks() {
            var refused = [
                ["addressField", "", "IPv4 address cannot be empty in 'manual' mode"],
                ["maskField", "", "IPv4 netmask cannot be empty in 'manual' mode"],
                ["addressField", "192.168.01.20", "IPv4 address is not a valid IP address"],
                ["addressField", "192.168.1.256", "IPv4 address is not a valid IP address"],
                ["maskField", "255.255.0", "IPv4 netmask is not a valid IP address"],
                ["gatewayField", "10.0.0.x", "IPv4 gateway is not a valid IP address"],
                ["dns0Field", "1.1.1.1.1", "IPv4 DNS #0 is not a valid IP address"],
                ["dns1Field", "08.8.8.8", "IPv4 DNS #1 is not a valid IP address"]
            ]
            network.ethernet.method = "manual"
            var page = openEthernetConfig()
            var popup = findChild(page, "ethernetPopup")
            for (var i = 0; i < refused.length; ++i) {
                var field = findChild(page, refused[i][0])
                var kept = field.text
                field.text = refused[i][1]
                click(findChild(page, "saveButton"))
                tryCompare(popup, "opened", true)
                compare(popup.text, refused[i][2], refused[i][1])
                mouseClick(window.contentItem, 240, 400)
                tryCompare(popup, "visible", false)
                field.text = kept
            }
            verify(!called("ethernet.save"))
            compare(stack().depth, 3)
            shoot("ethernet-refused")

            findChild(page, "gatewayField").text = ""
            findChild(page, "dns0Field").text = "0.0.0.0"
            click(findChild(page, "saveButton"))
            tryCompare(stack(), "depth", 2)
            verify(called("ethernet.save"))
            compare(network.ethernet.config.gateway, "")
            compare(network.ethernet.config.dns0, "0.0.0.0")
            network.ethernet.config.gateway = "192.168.1.1"
            network.ethernet.config.dns0 = ""
        }
        function test_ethernetOrder() {
            network.ethernet.method = "manual"
            var page = openEthernetConfig()
            findChild(page, "dns1Field").text = "bad"
            findChild(page, "maskField").text = ""
            findChild(page, "addressField").text = "1.2.3.999"
            click(findChild(page, "saveButton"))
            compare(findChild(page, "ethernetPopup").text, "IPv4 netmask cannot be empty in 'manual' mode")
        }
        function test_ethernetAutoSavesUnchecked() {
            network.ethernet.method = "auto"
            var page = openEthernetConfig()
            compare(findChild(page, "addressField").field.enabled, false)
            shoot("ethernetconfig")
            findChild(page, "addressField").text = "not an address"
            click(findChild(page, "saveButton"))
            tryCompare(stack(), "depth", 2)
            verify(called("ethernet.save"))
            compare(network.ethernet.config.address, "not an address")
            network.ethernet.config.address = "192.168.1.20"
            network.ethernet.method = "manual"
        }
        function openEthernetConfig() {
            var page = showEthernetTab()
            click(findChild(page, "configureButton"))
            tryCompare(stack(), "busy", false)
            compare(stack().depth, 3)
            compare(title(), "Ethernet Configuration")
            return stack().currentItem
        }
        function showEthernetTab() {
            var page = open(5)
            var swipe = findChild(page, "swipe")
            click(findChild(page, "ethernetTab"))
            compare(swipe.currentIndex, 1)
            tryCompare(swipe.contentItem, "contentX", swipe.width)
            return page
        }

        function test_networkEthernetTab() {
            showEthernetTab()
            shoot("network-ethernet")
        }

        function test_eventLogSearchAndPeriod() {
            var page = open(7)
            var search = findChild(page, "searchField")
            search.text = "ign"
            verify(called("filter ign"))
            click(findChild(page, "clearButton"))
            compare(search.text, "")
            verify(called("filter "))
            var period = findChild(page, "periodBox")
            period.currentIndex = 1
            period.activated(1)
            verify(called("period Last hour"))
            compare(period.model.indexOf("Last 5 hours"), -1)
            click(findChild(page, "event_0"))
            shoot("eventlog-open")
        }

        function test_updateInstallOnlyWhenReady_data() {
            return [
                { tag: "Idle", enabled: false }, { tag: "Downloading", enabled: false },
                { tag: "Ready to install", enabled: true }, { tag: "Installing", enabled: false }
            ]
        }
        function test_updateInstallOnlyWhenReady(data) {
            manager.update.status = data.tag
            var page = open(6)
            var install = findChild(page, "installButton")
            compare(install.enabled, data.enabled)
            click(install)
            compare(called("update.install"), data.enabled)
            compare(findChild(findChild(page, "pendingRow"), "value").text, "None")
            manager.update.status = "Idle"
        }

        function test_diagnosticsDialogs() {
            var page = open(1)
            var popup = findChild(page, "testPopup")
            click(findChild(page, "test_Buzzer"))
            tryCompare(popup, "opened", true)
            compare(popup.text, "Can you hear the buzzer?")
            verify(called("buzzer 100 200 3"))
            click(findChild(popup.contentItem, "popupNo"))
            compare(manager.diagnostics.buzzer, "ERROR")
            tryCompare(popup, "visible", false)

            click(findChild(page, "test_LEDs"))
            tryCompare(popup, "opened", true)
            verify(called("ledTest"))
            click(findChild(popup.contentItem, "popupYes"))
            tryCompare(popup, "visible", false)
            verify(called("ledOff"))
            compare(manager.diagnostics.leds, "OK")

            click(findChild(page, "test_RFID"))
            tryCompare(popup, "opened", true)
            verify(called("enableRfid"))
            validatorManager.cardDetected("04A1B2", "DESFire")
            compare(popup.text, "CARD DETECTED\n04A1B2\nDESFire")
            compare(manager.diagnostics.cardScan, "OK")
            validatorManager.cardRemoved()
            compare(popup.text, "Tap a card")
            mouseClick(window.contentItem, 240, 400)
            tryCompare(popup, "visible", false)
            verify(called("disableRfid"))

            click(findChild(page, "test_Barcode"))
            tryCompare(popup, "opened", true)
            verify(called("enableBarcode"))
            validatorManager.ticketValidated()
            tryCompare(popup, "visible", false)
            compare(manager.diagnostics.barcodeScan, "OK")
            verify(called("disableBarcode"))

            click(findChild(page, "test_Sensor"))
            tryCompare(popup, "opened", true)
            verify(called("board.monitor 2000"))
            compare(popup.text, "Is LCD brightness adjusting?\nBrightness : 70%\nLight Sensor : 35%")
            board.ambientLightSensor = 50
            compare(popup.text, "Is LCD brightness adjusting?\nBrightness : 70%\nLight Sensor : 50%")
            shoot("diagnostics-sensor")
            click(findChild(popup.contentItem, "popupYes"))
            tryCompare(popup, "visible", false)
            verify(called("board.monitor 0"))
            board.ambientLightSensor = 35
        }

        function test_diagnosticsRgb() {
            var page = open(1)
            click(findChild(page, "test_RGB"))
            var rgb = findChild(page, "rgbTest")
            tryCompare(rgb, "opened", true)
            compare(rgb.background.color, Qt.rgba(1, 0, 0, 1))
            shoot("diagnostics-rgb")
            mouseClick(window.contentItem, 240, 400)
            compare(rgb.background.color, Qt.rgba(0, 1, 0, 1))
            mouseClick(window.contentItem, 240, 400)
            compare(rgb.background.color, Qt.rgba(0, 0, 1, 1))
            mouseClick(window.contentItem, 240, 400)
            var popup = findChild(page, "testPopup")
            tryCompare(popup, "opened", true)
            compare(popup.text, "Was the RGB test successful?")
            click(findChild(popup.contentItem, "popupYes"))
            compare(manager.diagnostics.rgbTest, "OK")
        }

        function test_diagnosticsSerial() {
            var page = open(1)
            click(findChild(page, "test_Serial"))
            var popup = findChild(page, "serialPopup")
            tryCompare(popup, "opened", true)
            compare(findChild(popup.contentItem, "portBox").currentText, "ttyS1")
            compare(findChild(popup.contentItem, "flowBox").currentText, "RTS/CTS")
            shoot("diagnostics-serial")
            findChild(popup.contentItem, "portBox").currentIndex = 2
            click(findChild(popup.contentItem, "serialCancel"))
            compare(manager.diagnostics.serialPort, "ttyS1")
            tryCompare(popup, "visible", false)
            click(findChild(page, "test_Serial"))
            tryCompare(popup, "opened", true)
            compare(findChild(popup.contentItem, "portBox").currentText, "ttyS1")
            findChild(popup.contentItem, "portBox").currentIndex = 2
            findChild(popup.contentItem, "flowBox").currentIndex = 2
            click(findChild(popup.contentItem, "serialOk"))
            compare(manager.diagnostics.serialPort, "ttyUSB0")
            compare(manager.diagnostics.serialFlowCtrl, 2)
            tryCompare(popup, "visible", false)
        }

        function test_failedReportStaysOnPage() {
            manager.diagnostics.saveResult = false
            var page = open(1)
            click(findChild(page, "test_FINISH"))
            var popup = findChild(page, "reportPopup")
            tryCompare(popup, "opened", true)
            compare(popup.text, "ERROR: disk full")
            compare(popup.image.toString(), "")
            mouseClick(window.contentItem, 240, 400)
            tryCompare(popup, "visible", false)
            compare(stack().depth, 2)
            manager.diagnostics.saveResult = true
        }

        // Three taps on the clock, the PIN, the self-test report and its code, logout.
        function test_technicianPath() {
            manager.screen = "ScanScreens"
            var clock = findChild(window, "clock")
            mouseClick(clock); mouseClick(clock); mouseClick(clock)
            tryCompare(window, "currentScreen", "Login", 1500)
            var login = findChild(window.contentItem, "page_Login").item
            for (var i = 0; i < 4; ++i)
                click(findChild(login, "key_" + manager.pin[i]))
            click(findChild(login, "loginButton"))
            tryCompare(window, "currentScreen", "Settings")
            var page = open(1)
            click(findChild(page, "test_FINISH"))
            verify(called("diagnostics.saveReport"))
            var popup = findChild(page, "reportPopup")
            tryCompare(popup, "opened", true)
            compare(popup.text, "Report saved")
            verify(popup.image.toString().indexOf("data:image/svg") === 0)
            shoot("diagnostics-report")
            mouseClick(window.contentItem, 240, 400)
            tryCompare(stack(), "depth", 1)
            click(findChild(menu, "menuButton"))
            var logout = findChild(window.overlay, "logoutItem")
            tryCompare(logout, "visible", true)
            click(logout)
            verify(called("logout"))
            tryCompare(window, "currentScreen", "ScanScreens")
        }
    }
}
