import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15

// Page logic that the real managers cannot steer into every case: the
// Ethernet address checks and the update page's Install button. The pages
// over the real managers are opened by tst_SettingsPages.
Item {
    id: root
    width: 480
    height: 800
    property var calls: []

    QtObject {
        id: manager
        property string dynTr: ""
        property QtObject update: QtObject {
            property string status: "Idle"
            property string current: "2.4.1"
            property string pending: ""
            property int progressPercent: 0
            property string progressMessage: ""
            function check() {}
            function install() { root.calls.push("install") }
        }
    }
    QtObject {
        id: network
        // A plain object, new for every case.
        property var ethernet
    }
    StackView {
        id: stack
        anchors.fill: parent
        initialItem: Item {}
    }

    TestCase {
        name: "Settings"
        when: windowShown

        function init() {
            root.calls = []
            network.ethernet = {
                method: "manual",
                config: { address: "192.168.1.20", mask: "255.255.255.0", gateway: "192.168.1.1", dns0: "", dns1: "" },
                save: function() { root.calls.push("save") }
            }
        }
        function cleanup() {
            stack.pop(null, StackView.Immediate)
        }
        function push(file) {
            tryCompare(stack, "busy", false)
            stack.push("qrc:/qml/screens/settings/" + file, {}, StackView.Immediate)
            compare(stack.depth, 2)
            waitForRendering(stack.currentItem)
            return stack.currentItem
        }
        function ethernetPage(method) {
            network.ethernet.method = method
            return push("EthernetConfig.qml")
        }
        // Taps alternate sides of a button: two quick taps on one spot
        // would make a double click.
        property int taps: 0
        function tap(item) {
            mouseClick(item, item.width / 2 + (++taps % 2 ? -20 : 20), item.height / 2)
        }
        function save(page) {
            tap(findChild(page, "saveButton"))
        }

        // Each field's complaint, in the order the fields are checked.
        function test_ethernetRefusals_data() {
            return [
                { tag: "no address", fields: { addressField: "" },
                  text: "IPv4 address cannot be empty in 'manual' mode" },
                { tag: "no netmask", fields: { maskField: "" },
                  text: "IPv4 netmask cannot be empty in 'manual' mode" },
                { tag: "leading zero", fields: { addressField: "192.168.01.20" },
                  text: "IPv4 address is not a valid IP address" },
                { tag: "octet too big", fields: { addressField: "192.168.1.256" },
                  text: "IPv4 address is not a valid IP address" },
                { tag: "short netmask", fields: { maskField: "255.255.0" },
                  text: "IPv4 netmask is not a valid IP address" },
                { tag: "gateway", fields: { gatewayField: "10.0.0.x" },
                  text: "IPv4 gateway is not a valid IP address" },
                { tag: "dns0", fields: { dns0Field: "1.1.1.1.1" }, text: "IPv4 DNS #0 is not a valid IP address" },
                { tag: "dns1", fields: { dns1Field: "08.8.8.8" }, text: "IPv4 DNS #1 is not a valid IP address" },
                { tag: "empty netmask before a bad address",
                  fields: { dns1Field: "bad", maskField: "", addressField: "1.2.3.999" },
                  text: "IPv4 netmask cannot be empty in 'manual' mode" }
            ]
        }
        function test_ethernetRefusals(data) {
            var page = ethernetPage("manual")
            for (var name in data.fields)
                findChild(page, name).text = data.fields[name]
            save(page)
            var popup = findChild(page, "ethernetPopup")
            tryCompare(popup, "opened", true)
            compare(popup.text, data.text)
            compare(root.calls, [])
            compare(stack.depth, 2)
        }

        // Optional fields may stay empty, and "0.0.0.0" is an address.
        function test_ethernetManualSaves() {
            var page = ethernetPage("manual")
            findChild(page, "gatewayField").text = ""
            findChild(page, "dns0Field").text = "0.0.0.0"
            save(page)
            compare(root.calls, ["save"])
            compare(network.ethernet.config.gateway, "")
            compare(network.ethernet.config.dns0, "0.0.0.0")
            tryCompare(stack, "depth", 1)
        }

        // In auto mode the fields are locked and nothing is checked.
        function test_ethernetAutoSavesUnchecked() {
            var page = ethernetPage("auto")
            compare(findChild(page, "addressField").field.enabled, false)
            findChild(page, "addressField").text = "not an address"
            save(page)
            compare(root.calls, ["save"])
            compare(network.ethernet.config.address, "not an address")
        }

        function test_installOnlyWhenReady_data() {
            return [
                { tag: "Idle", enabled: false }, { tag: "Downloading", enabled: false },
                { tag: "Ready to install", enabled: true }, { tag: "Installing", enabled: false }
            ]
        }
        function test_installOnlyWhenReady(data) {
            manager.update.status = data.tag
            var install = findChild(push("Update.qml"), "installButton")
            compare(install.enabled, data.enabled)
            tap(install)
            compare(root.calls, data.enabled ? ["install"] : [])
        }
    }
}
