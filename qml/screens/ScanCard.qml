import QtQuick 2.15
import "../controls"

Item {
    id: page
    property real frame: 0

    NumberAnimation on frame {
        from: 0
        to: 6.999
        duration: 2300
        loops: Animation.Infinite
        running: page.visible
    }

    ScanPrompt {
        objectName: "prompt"
        text: manager.dynTr + qsTr("SCAN\nYOUR CARD")
        source: "qrc:/qml/images/NFC/" + Math.floor(page.frame) + ".png"
    }

    ScanButton {
        objectName: "scanButton"
        icon: "qrc:/qml/images/Icons/qr-code.svg"
        text: manager.dynTr + qsTr("SCAN\nTICKET")
        onClicked: window.currentScreen = "ScanBarcode"
    }
}
