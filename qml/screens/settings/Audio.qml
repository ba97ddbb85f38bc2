import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../style"

// Sound on or off, and the speaker volume.
Column {
    id: root
    padding: Style.pagePadding

    SwitchRow {
        label: manager.dynTr + qsTr("Audio Enabled")
        switchName: "audioSwitch"
        checked: board.audioEnabled
        onToggled: board.setAudioEnabled(checked)
    }
    SettingRow {
        label: manager.dynTr + qsTr("Audio Volume")
        PercentSlider {
            objectName: "volumeSlider"
            value: inspector.audioVolume
            movable: board.audioEnabled
            onChosen: {
                inspector.audioPlay("/opt/kivo/quillon/Valid.wav")
                inspector.setAudioVolume(value)
            }
        }
    }
}
