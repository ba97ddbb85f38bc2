import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// The status colours of the settings pages.
QtObject {
    readonly property color green: Material.color(Material.Green)
    readonly property color amber: Material.color(Material.Amber)
    readonly property color red: Material.color(Material.Red)
    readonly property color grey: Material.color(Material.Grey)
    readonly property color foreground: Material.foreground
}
