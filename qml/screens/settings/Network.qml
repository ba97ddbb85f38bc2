import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// Primary connection and the Ethernet interface, one tab each.
Item {
    id: root
    readonly property var primary: network.primaryConnection
    readonly property var primaryIp: primary ? primary.ipv4 : null
    readonly property var ethernet: network.ethernet
    readonly property var ethernetIp: ethernet ? ethernet.ipv4 : null

    TabBar {
        id: tabs
        objectName: "tabs"
        width: parent.width
        currentIndex: swipe.currentIndex
        TabButton { text: manager.dynTr + qsTr("General") }
        TabButton { objectName: "ethernetTab"; text: manager.dynTr + qsTr("Ethernet") }
    }

    SwipeView {
        id: swipe
        objectName: "swipe"
        anchors.top: tabs.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        currentIndex: tabs.currentIndex
        clip: true

        Item {
            InfoGroup {
                x: 10
                y: 10
                width: parent.width - 20
                title: manager.dynTr + qsTr("Primary Connection")
                InfoRow {
                    label: manager.dynTr + qsTr("Connection State")
                    value: network.connectionState
                    valueColor: Style.connectionState(network.connectionState)
                }
                InfoRow {
                    label: manager.dynTr + qsTr("Connectivity")
                    value: network.connectivity
                    valueColor: Style.connectivity(network.connectivity)
                }
                InfoRow { label: manager.dynTr + qsTr("Hostname"); value: network.hostname }
                InfoRow { label: manager.dynTr + qsTr("Connection Type"); value: root.primary ? root.primary.type : "" }
                InfoRow { label: manager.dynTr + qsTr("Interface"); value: root.primary ? root.primary.interface : "" }
                InfoRow { label: manager.dynTr + qsTr("IPv4 Address"); value: root.primaryIp ? root.primaryIp.address : "" }
                InfoRow { label: manager.dynTr + qsTr("IPv4 Netmask"); value: root.primaryIp ? root.primaryIp.mask : "" }
                InfoRow { label: manager.dynTr + qsTr("IPv4 Gateway"); value: root.primaryIp ? root.primaryIp.gateway : "" }
                InfoRow { label: manager.dynTr + qsTr("IPv4 DNS"); value: root.primaryIp ? root.primaryIp.dns0 : "" }
            }
        }
        Item {
            Column {
                x: 10
                y: 10
                width: parent.width - 20
                spacing: 20

                InfoGroup {
                    title: manager.dynTr + qsTr("Connection State")
                    InfoRow {
                        label: manager.dynTr + qsTr("State")
                        value: root.ethernet ? root.ethernet.state : ""
                        valueColor: Style.connectionState(value)
                    }
                    InfoRow { label: manager.dynTr + qsTr("IPv4 Address"); value: root.ethernetIp ? root.ethernetIp.address : "" }
                    InfoRow { label: manager.dynTr + qsTr("IPv4 Netmask"); value: root.ethernetIp ? root.ethernetIp.mask : "" }
                    InfoRow { label: manager.dynTr + qsTr("IPv4 Gateway"); value: root.ethernetIp ? root.ethernetIp.gateway : "" }
                    InfoRow { label: manager.dynTr + qsTr("IPv4 DNS#0"); value: root.ethernetIp ? root.ethernetIp.dns0 : "" }
                    InfoRow { label: manager.dynTr + qsTr("IPv4 DNS#1"); value: root.ethernetIp ? root.ethernetIp.dns1 : "" }
                    InfoRow { label: manager.dynTr + qsTr("MAC"); value: root.ethernet ? root.ethernet.mac : "" }
                    InfoRow { label: manager.dynTr + qsTr("Interface"); value: root.ethernet ? root.ethernet.interface : "" }
                    InfoRow { label: manager.dynTr + qsTr("State Change Reason"); value: root.ethernet ? root.ethernet.reason : "" }
                }
                CentredButton {
                    objectName: "configureButton"
                    text: manager.dynTr + qsTr("Configure")
                    onClicked: root.StackView.view.push("qrc:/qml/screens/settings/EthernetConfig.qml")
                }
            }
        }
    }
}
