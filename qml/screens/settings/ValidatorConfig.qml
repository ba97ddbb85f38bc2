import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "../../style"

// The validation service's settings and the two the application keeps itself.
Item {
    id: root
    readonly property var config: validatorManager.config
    readonly property bool changed: config !== null && (
        urlField.text !== config.obuAddress
        || passbackBox.value !== config.passbackSecs
        || qrSwitch.checked !== config.passbackQrEnabled
        || shutdownBox.value !== manager.shutdownDelaySec
        || errorSwitch.checked !== manager.showErrorDesc)

    function back() {
        validatorManager.refreshConfig()
        StackView.view.pop()
    }
    function save() {
        config.editObuUrl(urlField.text)
        config.passbackSecs = passbackBox.value
        config.passbackQrEnabled = qrSwitch.checked
        validatorManager.saveConfig()
        manager.shutdownDelaySec = shutdownBox.value
        manager.showErrorDesc = errorSwitch.checked
        StackView.view.pop()
    }

    GridLayout {
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: Style.pagePadding
        columns: 2
        rowSpacing: 10
        columnSpacing: 10

        Label { text: manager.dynTr + qsTr("OBC URL") }
        TextField {
            id: urlField
            objectName: "urlField"
            Layout.fillWidth: true
            text: root.config ? root.config.obuAddress : ""
            inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoPredictiveText
            onAccepted: Qt.inputMethod.hide()
        }
        Label { text: manager.dynTr + qsTr("Passback Time (sec)") }
        SpinBox {
            id: passbackBox
            objectName: "passbackBox"
            Layout.fillWidth: true
            from: 0
            to: 86400
            stepSize: 1
            editable: true
            value: root.config ? root.config.passbackSecs : 0
        }
        Label {
            text: manager.dynTr + qsTr("Shutdown Delay (sec)")
            ToolTip.visible: shutdownHelp.pressed
            ToolTip.text: manager.dynTr + qsTr("The delay, in seconds, after which the system\nwill start the shutdown sequence, providing that\nthe ignition has been turned off (max=900 sec).")
            MouseArea { id: shutdownHelp; anchors.fill: parent }
        }
        SpinBox {
            id: shutdownBox
            objectName: "shutdownBox"
            Layout.fillWidth: true
            from: 5
            to: 900
            stepSize: 5
            editable: true
            value: manager.shutdownDelaySec
        }
        Label { text: manager.dynTr + qsTr("QR Passback Enabled") }
        Switch {
            id: qrSwitch
            objectName: "qrSwitch"
            checked: root.config ? root.config.passbackQrEnabled : false
        }
        Label {
            text: manager.dynTr + qsTr("Show Error Description")
            ToolTip.visible: errorHelp.pressed
            ToolTip.text: manager.dynTr + qsTr("If enabled, a full error description will\nbe displayed in the 'Out-of-Order' screen\ninstead of just an error code.")
            MouseArea { id: errorHelp; anchors.fill: parent }
        }
        Switch {
            id: errorSwitch
            objectName: "errorSwitch"
            checked: manager.showErrorDesc
        }
    }

    Row {
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 30
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: Style.actionSpacing

        Button {
            objectName: "backButton"
            width: Style.actionWidth
            text: manager.dynTr + qsTr("Back")
            onClicked: root.back()
        }
        Button {
            objectName: "saveButton"
            width: Style.actionWidth
            text: manager.dynTr + qsTr("Save")
            enabled: root.changed
            highlighted: true
            onClicked: root.save()
        }
    }
}
