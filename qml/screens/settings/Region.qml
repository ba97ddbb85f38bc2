import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// Locale, time zone and time synchronisation.
Flickable {
    id: root
    readonly property var clock: manager.clock
    readonly property var locale: ApplicationWindow.window ? ApplicationWindow.window.locale : Qt.locale()
    property date now: new Date()

    contentHeight: column.height + 20
    clip: true

    Component.onCompleted: clock.refresh()

    Timer {
        interval: 1000
        repeat: true
        running: true
        onTriggered: root.now = new Date()
    }

    Column {
        id: column
        x: Style.pagePadding
        y: 10
        width: root.width - 2 * Style.pagePadding

        SettingRow {
            label: manager.dynTr + qsTr("Locale")
            ComboBox {
                objectName: "localeBox"
                anchors.fill: parent
                model: ["en_US", "en_IE", "el_GR"]
                currentIndex: model.indexOf(manager.language)
                onActivated: manager.language = currentText
            }
        }
        SettingRow {
            label: manager.dynTr + qsTr("Language")
            Row {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: 10
                Label {
                    objectName: "languageName"
                    anchors.verticalCenter: parent.verticalCenter
                    text: root.locale.nativeLanguageName
                    font.pixelSize: Style.settingText
                }
                Image {
                    width: 48
                    height: 32
                    fillMode: Image.PreserveAspectFit
                    source: manager.language === "el_GR" ? "qrc:/qml/images/Flags/gr.png"
                                                         : "qrc:/qml/images/Flags/uk.png"
                }
            }
        }
        SettingRow {
            label: manager.dynTr + qsTr("Currency Format")
            Label {
                objectName: "currency"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: Number(0.99).toLocaleCurrencyString(root.locale)
                font.pixelSize: Style.settingText
            }
        }
        SettingRow {
            label: manager.dynTr + qsTr("Time Format")
            Label {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: root.now.toLocaleString(root.locale, "d MMM yy, hh:mm:ss t")
                font.pixelSize: Style.settingText
            }
        }
        SettingRow {
            label: manager.dynTr + qsTr("Timezone")
            ComboBox {
                objectName: "timezoneBox"
                anchors.fill: parent
                model: root.clock.timezones
                currentIndex: root.clock.timezones.indexOf(root.clock.timezone)
                onActivated: root.clock.timezone = currentText
            }
        }
        SettingRow {
            label: manager.dynTr + qsTr("NTP server")
            TextField {
                objectName: "ntpServerField"
                anchors.fill: parent
                text: root.clock.ntpServer
                inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoPredictiveText
                onAccepted: Qt.inputMethod.hide()
                onEditingFinished: root.clock.ntpServer = text
            }
        }
        SwitchRow {
            label: manager.dynTr + qsTr("NTP Active")
            switchName: "ntpSwitch"
            checked: root.clock.ntpEnabled
            onToggled: root.clock.ntpEnabled = checked
        }
        SettingRow {
            label: manager.dynTr + qsTr("NTP Synced")
            Rectangle {
                objectName: "ntpSynced"
                anchors.right: parent.right
                anchors.rightMargin: 15
                anchors.verticalCenter: parent.verticalCenter
                width: 24
                height: 24
                radius: 12
                color: root.clock.ntpSynced ? Style.green : Style.grey
            }
        }
        CentredButton {
            objectName: "ntpSyncButton"
            text: manager.dynTr + qsTr("NTP SYNC")
            onClicked: root.clock.ntpSync()
        }
    }
}
