import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../controls"
import "../../style"

// Address settings of the Ethernet interface; checked before saving in manual mode.
Column {
    id: root
    readonly property string pageTitle: QT_TRANSLATE_NOOP("Main", "Ethernet Configuration")
    readonly property var ethernet: network.ethernet
    readonly property var config: ethernet ? ethernet.config : null
    readonly property bool manual: modeBox.currentText === "manual"

    // The first complaint about the fields, or "" when they may be saved.
    function check() {
        if (addressField.text === "")
            return qsTr("IPv4 address cannot be empty in 'manual' mode")
        if (maskField.text === "")
            return qsTr("IPv4 netmask cannot be empty in 'manual' mode")
        var fields = [[addressField, QT_TR_NOOP("IPv4 address is not a valid IP address")],
                      [maskField, QT_TR_NOOP("IPv4 netmask is not a valid IP address")],
                      [gatewayField, QT_TR_NOOP("IPv4 gateway is not a valid IP address")],
                      [dns0Field, QT_TR_NOOP("IPv4 DNS #0 is not a valid IP address")],
                      [dns1Field, QT_TR_NOOP("IPv4 DNS #1 is not a valid IP address")]]
        for (var i = 0; i < fields.length; ++i) {
            var text = fields[i][0].text
            if (text !== "" && !root.config.isValidAddress(text))
                return qsTr(fields[i][1])
        }
        return ""
    }
    function save() {
        Qt.inputMethod.hide()
        var error = manual ? check() : ""
        if (error !== "") {
            errorPopup.showInformation(manager.dynTr + error)
            return
        }
        config.address = addressField.text
        config.mask = maskField.text
        config.gateway = gatewayField.text
        config.dns0 = dns0Field.text
        config.dns1 = dns1Field.text
        ethernet.save()
        StackView.view.pop()
    }

    padding: Style.pagePadding
    spacing: 4

    SettingRow {
        label: manager.dynTr + qsTr("Mode")
        ComboBox {
            id: modeBox
            objectName: "modeBox"
            anchors.fill: parent
            model: ["auto", "manual"]
            currentIndex: root.ethernet ? Math.max(0, model.indexOf(root.ethernet.method)) : 0
            onActivated: root.ethernet.method = currentText
        }
    }
    component AddressRow: SettingRow {
        property alias text: field.text
        property alias field: field
        TextField {
            id: field
            anchors.fill: parent
            enabled: root.manual
            inputMethodHints: Qt.ImhDigitsOnly | Qt.ImhNoPredictiveText
            onAccepted: Qt.inputMethod.hide()
        }
    }
    AddressRow {
        id: addressField
        objectName: "addressField"
        label: manager.dynTr + qsTr("IPV4 Address")
        text: root.config ? root.config.address : ""
    }
    AddressRow {
        id: maskField
        objectName: "maskField"
        label: manager.dynTr + qsTr("IPV4 Netmask")
        text: root.config ? root.config.mask : ""
    }
    AddressRow {
        id: gatewayField
        objectName: "gatewayField"
        label: manager.dynTr + qsTr("IPV4 Gateway")
        text: root.config ? root.config.gateway : ""
    }
    AddressRow {
        id: dns0Field
        objectName: "dns0Field"
        label: manager.dynTr + qsTr("DNS #0")
        text: root.config ? root.config.dns0 : ""
    }
    AddressRow {
        id: dns1Field
        objectName: "dns1Field"
        label: manager.dynTr + qsTr("DNS #1")
        text: root.config ? root.config.dns1 : ""
    }
    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        topPadding: 30
        spacing: Style.actionSpacing

        Button {
            objectName: "backButton"
            width: Style.actionWidth
            text: manager.dynTr + qsTr("Back")
            onClicked: root.StackView.view.pop()
        }
        Button {
            objectName: "saveButton"
            width: Style.actionWidth
            highlighted: true
            text: manager.dynTr + qsTr("Save")
            onClicked: root.save()
        }
    }

    CustomPopup {
        id: errorPopup
        objectName: "ethernetPopup"
    }
}
