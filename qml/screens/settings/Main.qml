import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "../../style"

// Maintenance menu: the list of settings pages under a tool bar with the options menu.
Item {
    id: root
    readonly property string pageDir: "qrc:/qml/screens/settings/"
    readonly property var entries: [
        { title: QT_TR_NOOP("Validator"), hint: QT_TR_NOOP("Validator information and settings"), page: "Validator.qml", icon: "ticket" },
        { title: QT_TR_NOOP("Diagnostics"), hint: QT_TR_NOOP("System health and diagnostics"), page: "Diagnostics.qml", icon: "diagnostic" },
        { title: QT_TR_NOOP("Region"), hint: QT_TR_NOOP("Date, time and language settings"), page: "Region.qml", icon: "region" },
        { title: QT_TR_NOOP("Audio"), hint: QT_TR_NOOP("Adjust audio volume"), page: "Audio.qml", icon: "audio" },
        { title: QT_TR_NOOP("Display"), hint: QT_TR_NOOP("Adjust display brightness and mode"), page: "Display.qml", icon: "brightness-2" },
        { title: QT_TR_NOOP("Network"), hint: QT_TR_NOOP("Configure Ethernet, WiFi and Modem"), page: "Network.qml", icon: "network" },
        { title: QT_TR_NOOP("Update"), hint: QT_TR_NOOP("Check for software and system updates"), page: "Update.qml", icon: "update" },
        { title: QT_TR_NOOP("Event Log"), hint: QT_TR_NOOP("Examine system events and alarms"), page: "EventLog.qml", icon: "log" }
    ]
    property string entryTitle: ""
    property string pendingAction: ""
    property alias stack: stack

    function reset() {
        stack.pop(null)
        confirmPopup.close()
        configPopup.close()
        Qt.inputMethod.hide()
    }
    function openEntry(index) {
        if (stack.depth !== 1)
            return
        entryTitle = entries[index].title
        stack.push(pageDir + entries[index].page)
    }
    function confirm(action) {
        pendingAction = action
        confirmPopup.showDialog(manager.dynTr + qsTr("Are you sure?"))
    }

    onVisibleChanged: reset()

    ToolBar {
        id: toolBar
        objectName: "toolBar"
        width: parent.width
        height: 70
        onVisibleChanged: if (!visible) optionsMenu.close()

        ToolButton {
            objectName: "backButton"
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            height: 60
            width: 60
            visible: stack.depth > 1
            icon.source: "qrc:/qml/images/Icons/chevron-left.svg"
            icon.width: 40
            icon.height: 40
            onClicked: {
                stack.pop()
                Qt.inputMethod.hide()
            }
        }
        Label {
            objectName: "title"
            anchors.centerIn: parent
            text: manager.dynTr + (stack.depth > 1
                  ? (stack.currentItem && stack.currentItem.pageTitle ? qsTr(stack.currentItem.pageTitle)
                                                                       : qsTr(root.entryTitle))
                  : qsTr("Settings"))
            font.pixelSize: 28
        }
        ToolButton {
            id: menuButton
            objectName: "menuButton"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            height: 60
            width: 60
            icon.source: "qrc:/qml/images/Icons/menu.png"
            icon.color: Style.none
            icon.width: 32
            icon.height: 32
            onClicked: optionsMenu.open()
        }
        Menu {
            id: optionsMenu
            objectName: "optionsMenu"
            x: root.width - width
            y: toolBar.height

            MenuItem {
                objectName: "scanConfigItem"
                text: manager.dynTr + qsTr("Scan Config QR")
                onTriggered: configPopup.showInformation(manager.dynTr + qsTr("Scan Configuration QR code"))
            }
            MenuItem {
                objectName: "restartItem"
                text: manager.dynTr + qsTr("Restart Application")
                onTriggered: root.confirm("exit")
            }
            MenuItem {
                objectName: "rebootItem"
                text: manager.dynTr + qsTr("Reboot")
                onTriggered: root.confirm("reboot")
            }
            MenuItem {
                objectName: "shutdownItem"
                text: manager.dynTr + qsTr("Shutdown")
                onTriggered: root.confirm("shutdown")
            }
            MenuItem {
                objectName: "logoutItem"
                text: manager.dynTr + qsTr("Logout")
                onTriggered: manager.settingsLogoutRequest()
            }
        }
    }

    StackView {
        id: stack
        objectName: "stack"
        anchors.top: toolBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        initialItem: entryList
    }

    Component {
        id: entryList

        ListView {
            objectName: "entryList"
            model: root.entries
            interactive: false

            delegate: ItemDelegate {
                objectName: "entry_" + index
                width: ListView.view.width
                height: ListView.view.height / 8
                onClicked: root.openEntry(index)

                TintedIcon {
                    id: entryIcon
                    anchors.left: parent.left
                    anchors.leftMargin: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 48
                    height: 48
                    name: modelData.icon
                    color: Material.foreground
                }
                Column {
                    anchors.left: entryIcon.right
                    anchors.leftMargin: 20
                    anchors.right: arrow.left
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 4

                    Label {
                        text: manager.dynTr + qsTr(modelData.title)
                        font.pixelSize: 22
                    }
                    Label {
                        width: parent.width
                        text: manager.dynTr + qsTr(modelData.hint)
                        elide: Text.ElideRight
                        color: Material.color(Material.Grey)
                        font.pixelSize: 14
                    }
                }
                Image {
                    id: arrow
                    anchors.right: parent.right
                    anchors.rightMargin: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 24
                    height: 24
                    sourceSize: Qt.size(24, 24)
                    source: "qrc:/qml/images/Icons/arrow-right.svg"
                }
            }
        }
    }

    CustomPopup {
        id: confirmPopup
        objectName: "confirmPopup"
        onButtonYesPressed: {
            if (root.pendingAction === "exit")
                manager.exitRequest()
            else if (root.pendingAction === "reboot")
                manager.rebootRequest()
            else if (root.pendingAction === "shutdown")
                manager.shutdownRequest()
        }
    }

    // The barcode reader reads configuration codes only while this is open.
    CustomPopup {
        id: configPopup
        objectName: "configPopup"
        onOpened: validatorManager.enableBarcode()
        onClosed: validatorManager.disableBarcode()
    }

    Connections {
        target: manager
        function onBarcodeConfigurationApplied(configList) {
            configPopup.showInformation(manager.dynTr + qsTr("CONFIGURATION APPLIED\n") + configList.join("\n"))
        }
    }
}
