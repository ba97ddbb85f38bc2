import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "../../style"

// Self-test: automatic results, the manual tests and the report.
Item {
    id: root
    readonly property var diag: manager.diagnostics
    readonly property var autoRows: [
        [QT_TR_NOOP("RTC"), "rtc"], [QT_TR_NOOP("Ethernet"), "ethernet"], [QT_TR_NOOP("USB Hub"), "usbHub"],
        [QT_TR_NOOP("USB Host"), "usbHost"], [QT_TR_NOOP("FTDI"), "ftdi"], [QT_TR_NOOP("mPCIe #1"), "mPCIe1"],
        [QT_TR_NOOP("Touch"), "touch"], [QT_TR_NOOP("SD Card"), "sdCard"], [QT_TR_NOOP("Ignition"), "ignition"],
        [QT_TR_NOOP("Temperature"), "temperature"], [QT_TR_NOOP("System Voltage"), "voltage"], [QT_TR_NOOP("RFID (USB)"), "rfidUsb"],
        [QT_TR_NOOP("RFID (Service)"), "rfidService"], [QT_TR_NOOP("Barcode (USB)"), "barcodeUsb"], [QT_TR_NOOP("Barcode (Service)"), "barcodeService"],
        [QT_TR_NOOP("SAM"), "sam"], [QT_TR_NOOP("Board"), "boardService"], [QT_TR_NOOP("Pole ID"), "poleId"],
        [QT_TR_NOOP("Serial Port"), "serialPortTest"]
    ]
    readonly property var manualTests: [
        [QT_TR_NOOP("Buzzer"), "buzzer"], [QT_TR_NOOP("LEDs"), "leds"], [QT_TR_NOOP("RFID"), "cardScan"],
        [QT_TR_NOOP("Barcode"), "barcodeScan"], [QT_TR_NOOP("Speaker"), "speaker"], [QT_TR_NOOP("Sensor"), "lightSensor"],
        [QT_TR_NOOP("RGB"), "rgbTest"], [QT_TR_NOOP("Serial"), ""], [QT_TR_NOOP("FINISH"), ""]
    ]
    // The manual test whose popup is open.
    property string test: ""
    property bool reportSaved: false

    function runTest(name) {
        test = name
        switch (name) {
        case "Buzzer": return testPopup.showDialog(manager.dynTr + qsTr("Can you hear the buzzer?"))
        case "LEDs": return testPopup.showDialog(manager.dynTr + qsTr("Can you see the LEDs flashing?"))
        case "RFID": return testPopup.showInformation(manager.dynTr + qsTr("Tap a card"))
        case "Barcode": return testPopup.showInformation(manager.dynTr + qsTr("Scan a barcode"))
        case "Speaker": return testPopup.showDialog(manager.dynTr + qsTr("Can you hear the internal speaker?"))
        case "Sensor":
            testPopup.showDialog("")
            testPopup.text = Qt.binding(function() {
                return manager.dynTr + qsTr("Is LCD brightness adjusting?") + "\n"
                        + qsTr("Brightness : ") + board.displayBrightness + "%\n"
                        + qsTr("Light Sensor : ") + board.ambientLightSensor + "%"
            })
            return
        case "RGB": return rgbTest.open()
        case "Serial": return serialPopup.open()
        case "FINISH": return diag.saveReport()
        }
    }
    function testOpened() {
        switch (test) {
        case "Buzzer": return board.playBuzzer(100, 200, 3)
        case "LEDs": return board.setLedTestPattern()
        case "RFID": return validatorManager.enableRfid()
        case "Barcode": return validatorManager.enableBarcode()
        case "Speaker": return inspector.audioPlay("/opt/kivo/quillon/Valid.wav")
        case "Sensor": return board.monitor(2000)
        }
    }
    function testClosed() {
        switch (test) {
        case "LEDs": return board.setLedOff()
        case "RFID": return validatorManager.disableRfid()
        case "Barcode": return validatorManager.disableBarcode()
        case "Sensor": return board.monitor(0)
        }
    }
    function answer(ok) {
        diag.recordVerdict(resultProperty(test), ok)
    }
    function resultProperty(name) {
        for (var i = 0; i < manualTests.length; ++i)
            if (manualTests[i][0] === name)
                return manualTests[i][1]
        return ""
    }

    Component.onCompleted: diag.start()
    Component.onDestruction: diag.stop()

    Flickable {
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: buttons.top
        anchors.bottomMargin: 10
        contentHeight: results.height + 20
        clip: true

        InfoGroup {
            id: results
            x: 10
            y: 10
            width: root.width - 20
            title: manager.dynTr + qsTr("Automatic Tests")
            Repeater {
                model: root.autoRows
                InfoRow {
                    objectName: "auto_" + modelData[1]
                    label: manager.dynTr + qsTr(modelData[0])
                    value: root.diag ? root.diag[modelData[1]] : ""
                }
            }
        }
    }
    Grid {
        id: buttons
        columns: 3
        spacing: 10
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        anchors.horizontalCenter: parent.horizontalCenter

        Repeater {
            model: root.manualTests
            CustomButton {
                objectName: "test_" + modelData[0]
                width: (root.width - 40) / 3
                height: 60
                radius: 4
                color: modelData[1] === "" ? Material.accent
                                           : Style.testResult(root.diag ? root.diag[modelData[1]] : "")
                text: manager.dynTr + qsTr(modelData[0])
                font.pixelSize: 18
                font.bold: true
                onClicked: root.runTest(modelData[0])
            }
        }
    }

    CustomPopup {
        id: testPopup
        objectName: "testPopup"
        onOpened: root.testOpened()
        onClosed: root.testClosed()
        onButtonYesPressed: root.answer(true)
        onButtonNoPressed: root.answer(false)
    }

    CustomPopup {
        id: reportPopup
        objectName: "reportPopup"
        onClosed: {
            image = ""
            if (root.reportSaved)
                root.StackView.view.pop(null)
        }
    }

    Connections {
        target: validatorManager
        enabled: testPopup.opened
        function onCardDetected(uid, type) {
            if (root.test !== "RFID")
                return
            testPopup.text = manager.dynTr + qsTr("CARD DETECTED\n%1\n%2").arg(uid).arg(type)
            diag.recordVerdict("cardScan", true)
        }
        function onCardRemoved() {
            if (root.test === "RFID")
                testPopup.text = manager.dynTr + qsTr("Tap a card")
        }
        function onTicketValidated() {
            if (root.test !== "Barcode")
                return
            diag.recordVerdict("barcodeScan", true)
            testPopup.close()
        }
    }

    Connections {
        target: root.diag
        function onSaveReportFinished(result, message) {
            root.reportSaved = result
            reportPopup.image = result ? root.diag.generateQr() : ""
            reportPopup.showInformation(message)
        }
    }

    // Red, green, blue over the whole window; a touch moves on.
    Popup {
        id: rgbTest
        objectName: "rgbTest"
        property int step: 0

        parent: Overlay.overlay
        x: 0
        y: 0
        width: parent ? parent.width : 480
        height: parent ? parent.height : 800
        padding: 0
        modal: true
        closePolicy: Popup.NoAutoClose
        onAboutToShow: step = 0
        background: Rectangle { color: Style.displayTest[rgbTest.step] }

        contentItem: MouseArea {
            objectName: "rgbArea"
            onClicked: {
                if (rgbTest.step < 2) {
                    rgbTest.step += 1
                    return
                }
                rgbTest.close()
                root.test = "RGB"
                testPopup.showDialog(manager.dynTr + qsTr("Was the RGB test successful?"))
            }
        }
    }

    Popup {
        id: serialPopup
        objectName: "serialPopup"
        readonly property var flowNames: ["NONE", "RTS/CTS", "XON/XOFF"]

        function restore() {
            portBox.currentIndex = Math.max(0, portBox.model.indexOf(root.diag.serialPort))
            flowBox.currentIndex = root.diag.serialFlowCtrl
        }

        parent: Overlay.overlay
        modal: true
        width: 420
        height: 360
        x: parent ? Math.round((parent.width - width) / 2) : 0
        y: parent ? Math.round((parent.height - height) / 2) : 0
        closePolicy: Popup.NoAutoClose
        onAboutToShow: restore()

        Column {
            anchors.fill: parent
            spacing: 12

            Label {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: manager.dynTr + qsTr("Serial Port Settings")
                font.pixelSize: 20
                font.bold: true
            }
            ComboBox {
                id: portBox
                objectName: "portBox"
                width: parent.width
                model: root.diag ? root.diag.serialPorts : []
            }
            ComboBox {
                id: flowBox
                objectName: "flowBox"
                width: parent.width
                model: serialPopup.flowNames
            }
            Label {
                width: parent.width
                wrapMode: Text.WordWrap
                text: root.diag && portBox.currentText ? root.diag.serialPortDescr(portBox.currentText) : ""
            }
            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: 40
                Button {
                    objectName: "serialOk"
                    text: manager.dynTr + qsTr("Ok")
                    onClicked: {
                        root.diag.serialPort = portBox.currentText
                        root.diag.serialFlowCtrl = flowBox.currentIndex
                        serialPopup.close()
                    }
                }
                Button {
                    objectName: "serialCancel"
                    text: manager.dynTr + qsTr("Cancel")
                    onClicked: {
                        serialPopup.restore()
                        serialPopup.close()
                    }
                }
            }
        }
    }
}
