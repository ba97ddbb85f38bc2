import QtQuick 2.15
import QtQuick.Controls 2.15

// Sound on or off, and the speaker volume.
Column {
    id: root
    padding: 15
    readonly property int innerWidth: width - 30

    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Audio Enabled")
        Switch {
            objectName: "audioSwitch"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            checked: board.audioEnabled
            onToggled: board.setAudioEnabled(checked)
        }
    }
    SettingRow {
        width: root.innerWidth
        label: manager.dynTr + qsTr("Audio Volume")
        Slider {
            id: volume
            objectName: "volumeSlider"
            anchors.left: parent.left
            anchors.right: volumeLabel.left
            anchors.verticalCenter: parent.verticalCenter
            from: 0
            to: 100
            value: inspector.audioVolume
            enabled: board.audioEnabled
            onPressedChanged: {
                if (pressed)
                    return
                inspector.audioPlay("/opt/kivo/quillon/Valid.wav")
                inspector.setAudioVolume(Math.round(value))
            }
        }
        Label {
            id: volumeLabel
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 50
            horizontalAlignment: Text.AlignRight
            text: Math.round(volume.value) + "%"
            font.pixelSize: 17
        }
    }
}
