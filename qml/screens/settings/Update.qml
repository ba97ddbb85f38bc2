import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// Software update: versions, progress, check and install.
Column {
    id: root
    readonly property var update: manager.update
    readonly property int innerWidth: width - 2 * Style.pagePadding

    padding: Style.pagePadding
    spacing: 10

    InfoGroup {
        width: root.innerWidth
        title: manager.dynTr + qsTr("Software Update")
        InfoRow {
            objectName: "statusRow"
            label: manager.dynTr + qsTr("Status")
            value: root.update.status
            valueColor: Style.updateStatus(root.update.status)
        }
        InfoRow {
            label: manager.dynTr + qsTr("Current Version")
            value: root.update.current !== "" ? root.update.current : manager.dynTr + qsTr("None")
        }
        InfoRow {
            objectName: "pendingRow"
            label: manager.dynTr + qsTr("Pending Version")
            value: root.update.pending !== "" ? root.update.pending : manager.dynTr + qsTr("None")
        }
        Item {
            width: parent.width
            height: 40
            Label {
                id: progressCaption
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width * 0.3
                text: manager.dynTr + qsTr("Progress")
                font.pixelSize: Style.infoText
            }
            ProgressBar {
                objectName: "progressBar"
                anchors.left: progressCaption.right
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width * 0.35
                from: 0
                to: 100
                value: root.update.progressPercent
            }
            Label {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width * 0.3
                horizontalAlignment: Text.AlignRight
                elide: Text.ElideRight
                text: root.update.progressMessage
                font.pixelSize: 14
            }
        }
    }
    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: Style.actionSpacing

        Button {
            objectName: "checkButton"
            width: Style.actionWidth
            text: manager.dynTr + qsTr("Check")
            onClicked: root.update.check()
        }
        Button {
            objectName: "installButton"
            width: Style.actionWidth
            highlighted: true
            text: manager.dynTr + qsTr("Install")
            enabled: root.update.status === "Ready to install"
            onClicked: root.update.install()
        }
    }
}
