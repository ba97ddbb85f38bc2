import QtQuick 2.15
import "../controls"

ScanPage {
    card: false
    prompt: manager.dynTr + qsTr("SCAN YOUR\nTICKET")
    buttonText: manager.dynTr + qsTr("SCAN\nCARD")
}
