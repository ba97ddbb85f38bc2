import QtQuick 2.15
import "../controls"

ScanPage {
    prompt: manager.dynTr + qsTr("SCAN\nYOUR CARD")
    buttonText: manager.dynTr + qsTr("SCAN\nTICKET")
}
