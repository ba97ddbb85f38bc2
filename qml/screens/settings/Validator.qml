import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// What the validator, its readers and its secure module report.
Flickable {
    id: root
    readonly property var rfid: validatorManager.rfid
    readonly property var barcode: validatorManager.barcode
    readonly property var sam: rfid ? rfid.sam : null
    readonly property color statusColor: Style.serviceStatus(validatorManager.status)

    contentHeight: column.height + 20
    clip: true

    Column {
        id: column
        x: 10
        y: 10
        width: root.width - 20
        spacing: 10

        InfoGroup {
            title: manager.dynTr + qsTr("Validator")
            InfoRow { label: manager.dynTr + qsTr("Serial Number"); value: manager.deviceId }
            InfoRow { label: manager.dynTr + qsTr("Pole ID"); value: board.poleId }
            InfoRow { label: manager.dynTr + qsTr("Vehicle"); value: validatorManager.vehicle }
            InfoRow { label: manager.dynTr + qsTr("Version"); value: validatorManager.version }
            InfoRow {
                objectName: "statusRow"
                label: manager.dynTr + qsTr("Status")
                value: validatorManager.status
                valueColor: root.statusColor
            }
            InfoRow {
                label: manager.dynTr + qsTr("Reason")
                value: validatorManager.reason
                valueColor: root.statusColor
            }
        }
        InfoGroup {
            title: manager.dynTr + qsTr("RFID")
            InfoRow { label: manager.dynTr + qsTr("Firmware"); value: rfid ? rfid.firmware : "" }
            InfoRow { label: manager.dynTr + qsTr("Model"); value: rfid ? rfid.model + " " + rfid.manufacturer : "" }
            InfoRow { label: manager.dynTr + qsTr("UID"); value: rfid ? rfid.deviceUid : "" }
            InfoRow { label: manager.dynTr + qsTr("State"); value: rfid ? rfid.state : "" }
            InfoRow { label: manager.dynTr + qsTr("Error"); value: rfid ? rfid.error : "" }
        }
        InfoGroup {
            title: manager.dynTr + qsTr("Barcode")
            InfoRow { label: manager.dynTr + qsTr("Firmware"); value: barcode ? barcode.firmware : "" }
            InfoRow {
                label: manager.dynTr + qsTr("Model")
                value: barcode ? barcode.model + " " + barcode.manufacturer : ""
            }
            InfoRow { label: manager.dynTr + qsTr("Active"); value: barcode ? String(barcode.active) : "" }
            InfoRow { label: manager.dynTr + qsTr("Enabled"); value: barcode ? String(barcode.enabled) : "" }
        }
        InfoGroup {
            title: manager.dynTr + qsTr("SAM")
            InfoRow { label: manager.dynTr + qsTr("Slot"); value: sam ? String(sam.slot) : "" }
            InfoRow { label: manager.dynTr + qsTr("Name"); value: sam ? sam.name : "" }
            InfoRow { label: manager.dynTr + qsTr("Version"); value: sam ? sam.version : "" }
            InfoRow { label: manager.dynTr + qsTr("UID"); value: sam ? sam.uid : "" }
            InfoRow { label: manager.dynTr + qsTr("Mode"); value: sam ? sam.mode : "" }
            InfoRow { label: manager.dynTr + qsTr("Unlocked"); value: sam ? String(sam.unlocked) : "" }
            InfoRow {
                label: manager.dynTr + qsTr("Production")
                value: sam ? Qt.formatDate(sam.production, "yyyy-MM-dd") : ""
            }
        }
        CentredButton {
            objectName: "configureButton"
            text: manager.dynTr + qsTr("Configure")
            onClicked: root.StackView.view.push("qrc:/qml/screens/settings/ValidatorConfig.qml")
        }
    }
}
