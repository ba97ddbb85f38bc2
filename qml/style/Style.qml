pragma Singleton
import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// The application's look in one place: colours, type sizes and spacing. Colours
// that follow the light or dark theme stay with the theme (Material.foreground,
// accent, background) in the items that show them.
QtObject {
    readonly property string fontFamily: "DejaVu Sans"
    // The PIN pad is drawn in a face of its own.
    readonly property string keypadFamily: "Arial"

    // Results: accepted, caution, refused.
    readonly property color valid: "#41b987"
    readonly property color warning: "#fcdb03"
    readonly property color error: "#db4a37"

    readonly property color white: "white"
    readonly property color black: "black"
    readonly property color none: "transparent"
    readonly property color disabled: "#8f8f8f"
    readonly property color functionKey: "#787878"
    readonly property color scanButton: "#000621"
    readonly property color scanButtonPressed: "#36C478"
    readonly property color listRow: Qt.rgba(1, 1, 1, 0.06)
    // The display test's full-screen colours, in the order shown.
    readonly property var displayTest: ["red", "#00ff00", "blue"]

    // Status colours of the settings pages.
    readonly property color green: Material.color(Material.Green)
    readonly property color amber: Material.color(Material.Amber)
    readonly property color red: Material.color(Material.Red)
    readonly property color grey: Material.color(Material.Grey)
    readonly property color foreground: Material.foreground

    // Passenger pages, in points.
    readonly property int titleLarge: 32
    readonly property int title: 24
    readonly property int titleSmall: 20
    readonly property int body: 14
    readonly property int caption: 10
    readonly property int resultRow: 100
    readonly property int resultIcon: 250
    readonly property int stateIcon: 300
    readonly property int resultMargin: 35

    // A round button's shadow: offset and blur, drawn by the build (cmake/Artwork.cmake).
    readonly property int shadowOffset: 3
    readonly property int shadowBlur: 8

    // Kept clear at the bottom of every page for the version label.
    readonly property int footer: 30
    readonly property int versionMargin: 10
    readonly property int versionText: 12

    // The on-screen keyboard's keys grow with its width. Fields that take
    // digits get it this wide, centred, so their keys are about 9 mm square;
    // the full layout needs the window's width.
    readonly property int numericKeyboardWidth: 800

    // Settings pages, in pixels.
    readonly property int groupText: 18
    readonly property int settingText: 17
    readonly property int infoText: 16
    readonly property int pagePadding: 15
    readonly property int actionWidth: 160
    readonly property int actionSpacing: 40

    // The colour for `value` from `colours`, or `fallback` for any other value.
    function pick(value, colours, fallback) {
        return colours.hasOwnProperty(value) ? colours[value] : fallback
    }
    function serviceStatus(status) {
        return pick(status, {"init": amber, "out-of-service": amber, "degraded": amber, "offline": red}, green)
    }
    function connectionState(state) {
        return pick(state, {"Connected": green, "Disconnected": red}, amber)
    }
    function connectivity(value) {
        return pick(value, {"Full": green, "Portal": amber, "Limited": amber}, red)
    }
    function updateStatus(status) {
        return pick(status, {"Disconnected": red, "Ready to install": green, "Downloading": amber,
                             "Installing": amber}, foreground)
    }
    // A manual test: not run yet, passed, failed, or anything else it reported.
    function testResult(result) {
        if (!result)
            return grey
        if (result === "OK")
            return green
        return result.indexOf("ERROR") >= 0 ? red : amber
    }
}
