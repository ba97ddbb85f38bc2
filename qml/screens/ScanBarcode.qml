import QtQuick 2.15
import "../controls"

Item {
    id: page
    property real frame: 0

    NumberAnimation on frame {
        from: 0
        to: 8.999
        duration: 2300
        loops: Animation.Infinite
        running: page.visible
    }

    ScanPrompt {
        objectName: "prompt"
        text: manager.dynTr + qsTr("SCAN YOUR\nTICKET")
        source: "qrc:/qml/images/Barcode/" + Math.floor(page.frame) + ".png"
    }

    ScanButton {
        objectName: "scanButton"
        icon: "qrc:/qml/images/Icons/nfc.svg"
        text: manager.dynTr + qsTr("SCAN\nCARD")
        onClicked: window.currentScreen = "ScanCard"
    }
}
