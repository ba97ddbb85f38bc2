import QtQuick 2.15
import QtQuick.Controls.Material 2.15
import "../style"

// The card or the ticket prompt with its looping animation, and a button at
// the bottom left that asks for the other one.
Item {
    id: page
    property bool card: true
    property alias prompt: scanPrompt.text
    property alias buttonText: button.text
    readonly property int lastFrame: card ? 6 : 8
    property real frame: 0

    signal screenRequested(string name)

    NumberAnimation on frame {
        from: 0
        to: page.lastFrame + 0.999
        duration: 2300
        loops: Animation.Infinite
        running: page.visible
    }

    ScanPrompt {
        id: scanPrompt
        objectName: "prompt"
        // Hidden, the page holds no decoded frame.
        source: page.visible ? "qrc:/qml/images/" + (page.card ? "NFC/" : "Barcode/") + Math.floor(page.frame) + ".png"
                             : ""
    }

    // One border width off the left edge, so that only three borders show.
    CustomButton {
        id: button
        objectName: "scanButton"
        width: 270
        height: 120
        x: -borderWidth
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 20
        color: Style.scanButton
        borderWidth: 10
        borderColor: down ? Style.scanButtonPressed : Material.accent
        icon: page.card ? "qr-code" : "nfc"
        iconSize: 50
        font.pointSize: 12
        onClicked: page.screenRequested(page.card ? "ScanBarcode" : "ScanCard")
    }
}
