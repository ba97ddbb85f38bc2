import QtQuick 2.15
import QtQuick.Controls 2.15

// A setting that is on or off: its caption, and a switch at the right that
// reports each flip by the technician.
SettingRow {
    id: root
    property alias checked: toggle.checked
    property alias switchName: toggle.objectName

    signal toggled()

    Switch {
        id: toggle
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        onToggled: root.toggled()
    }
}
