import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "../../style"

// The event log, newest first, with a name search and a period filter.
Item {
    id: root
    readonly property var locale: ApplicationWindow.window ? ApplicationWindow.window.locale : Qt.locale()

    component Icon: TintedIcon {
        width: 24
        height: 24
        color: Material.foreground
    }

    Column {
        x: 10
        width: parent.width - 20
        spacing: 6

        Row {
            width: parent.width
            height: 56
            spacing: 10

            Icon {
                anchors.verticalCenter: parent.verticalCenter
                width: 30
                height: 30
                name: "search"
            }
            TextField {
                id: search
                objectName: "searchField"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - 160
                placeholderText: manager.dynTr + qsTr("Search")
                inputMethodHints: Qt.ImhNoPredictiveText
                onTextChanged: eventLogManager.applyFilter(text)
                onAccepted: Qt.inputMethod.hide()
            }
            Button {
                objectName: "clearButton"
                anchors.verticalCenter: parent.verticalCenter
                width: 110
                text: manager.dynTr + qsTr("CLEAR")
                onClicked: {
                    search.text = ""
                    Qt.inputMethod.hide()
                }
            }
        }
        Row {
            width: parent.width
            spacing: 10

            ComboBox {
                objectName: "severityBox"
                width: (parent.width - 10) / 2
                model: ["Critical", "Warning", "All messages"]
                currentIndex: 2
            }
            ComboBox {
                objectName: "periodBox"
                width: (parent.width - 10) / 2
                model: ["All history", "Last hour", "Last 2 hours", "Today", "Yesterday", "Last week",
                        "Last month"]
                onActivated: {
                    eventLogManager.applyFilterPeriod(currentText)
                    Qt.inputMethod.hide()
                }
            }
        }
        ListView {
            id: list
            objectName: "eventList"
            width: parent.width
            // Down to the page's end, so the last row can be scrolled into view.
            height: root.height - y
            clip: true
            spacing: 5
            model: eventLogManager.data

            delegate: Rectangle {
                id: row
                property bool open: false
                objectName: "event_" + index
                width: ListView.view.width
                height: open ? Math.min(150, details.implicitHeight + 20) : 56
                color: Style.listRow
                clip: true

                Rectangle {
                    id: flash
                    anchors.fill: parent
                    color: Material.accent
                    opacity: 0
                    NumberAnimation on opacity {
                        id: fade
                        running: false
                        from: 0.8
                        to: 0
                        duration: 1000
                    }
                }
                Rectangle {
                    width: 16
                    height: parent.height
                    color: Material.accent
                }
                Column {
                    id: details
                    x: 26
                    y: 10
                    width: parent.width - 36
                    spacing: 4

                    Item {
                        width: parent.width
                        height: Math.max(title.height, 24)
                        Label {
                            id: title
                            width: parent.width - stamp.width - 10
                            text: modelData.name
                            font.pixelSize: 18
                            font.weight: row.open ? Font.Bold : Font.Medium
                            elide: row.open ? Text.ElideNone : Text.ElideRight
                            wrapMode: row.open ? Text.WordWrap : Text.NoWrap
                            maximumLineCount: row.open ? 3 : 1
                        }
                        Row {
                            id: stamp
                            anchors.right: parent.right
                            spacing: 4
                            Icon {
                                width: 16
                                height: 16
                                anchors.verticalCenter: parent.verticalCenter
                                name: "clock"
                            }
                            Label {
                                text: modelData.timestamp.toLocaleString(root.locale, "dd-MMM-yy hh:mm")
                                font.pixelSize: 13
                            }
                        }
                    }
                    Label {
                        width: parent.width - 30
                        visible: row.open
                        text: modelData.description
                        wrapMode: Text.WordWrap
                        font.pixelSize: 15
                    }
                }
                Icon {
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    anchors.margins: 8
                    visible: row.open
                    name: "trash"
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        fade.restart()
                        row.open = !row.open
                    }
                }
            }
        }
    }
}
