import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "controls"
import "style"

ApplicationWindow {
    id: window
    width: 480
    height: 800
    x: 0
    // One pixel above the top edge hides the panel's top border row.
    y: -1
    visible: true
    title: "Validator"

    // The pages a passenger waits for are built right after the first frame;
    // the others, which a status change or a technician brings, when first
    // shown: memory a validator that only validates never uses.
    property var screenList: [
        { name: "InitPage", page: "qrc:/qml/screens/InitPage.qml" },
        { name: "Busy", page: "qrc:/qml/screens/Busy.qml" },
        { name: "ScanCard", eager: true, page: "qrc:/qml/screens/ScanCard.qml" },
        { name: "ScanBarcode", eager: true, page: "qrc:/qml/screens/ScanBarcode.qml" },
        { name: "ScanScreens", eager: true, page: "qrc:/qml/screens/ScanScreens.qml" },
        { name: "Valid", eager: true, page: "qrc:/qml/screens/Valid.qml" },
        { name: "Invalid", eager: true, page: "qrc:/qml/screens/Invalid.qml" },
        { name: "AlreadyValid", eager: true, page: "qrc:/qml/screens/AlreadyValid.qml" },
        { name: "Retry", eager: true, page: "qrc:/qml/screens/Retry.qml" },
        { name: "OutOfOrder", page: "qrc:/qml/screens/OutOfOrder.qml" },
        { name: "OutOfService", page: "qrc:/qml/screens/OutOfService.qml" },
        { name: "ScreenSaver", page: "qrc:/qml/screens/ScreenSaver.qml" },
        { name: "Settings", page: "qrc:/qml/screens/settings/Main.qml" },
        { name: "Login", page: "qrc:/qml/screens/settings/Login.qml" }
    ]
    property string currentScreen: "Busy"

    // Pages read it for dates and money.
    locale: Qt.locale(manager.language)
    font.family: Style.fontFamily
    // The on-screen keyboard serves only the active window, and without a window
    // manager nothing else makes it active.
    Component.onCompleted: requestActivate()

    // The navy artwork belongs to the dark theme; the light theme gets its own
    // light surface so the theme's dark texts stay readable.
    background: Rectangle {
        // Nothing to fill under the opaque artwork: one full-window fill less a frame.
        color: artwork.visible ? Style.none : window.Material.background

        Image {
            id: artwork
            anchors.fill: parent
            visible: window.Material.theme === Material.Dark
            source: "qrc:/qml/images/background.png"
            fillMode: Image.Stretch
            // Drawn at its own size: no filtering to pay for on every frame.
            smooth: false
        }
    }

    header: Item {
        objectName: "header"
        height: 120
        visible: window.currentScreen !== "Settings" && window.currentScreen !== "ScreenSaver"

        CustomRoundButton {
            objectName: "languageButton"
            anchors.left: parent.left
            anchors.leftMargin: 30
            anchors.verticalCenter: parent.verticalCenter
            radius: 35
            iconSize: 100
            icon: manager.language === "el_GR" ? "qrc:/qml/images/Flags/uk.png"
                                               : "qrc:/qml/images/Flags/gr.png"
            onClicked: manager.language = manager.language === "el_GR" ? "en_IE" : "el_GR"
        }

        HeaderClock {
            objectName: "clock"
            anchors.right: parent.right
            anchors.rightMargin: 25
            anchors.verticalCenter: parent.verticalCenter
            onMaintenanceRequested: manager.setMaintenanceScreen()
        }
    }

    // Set once the first frame has gone to the scene graph: the start page is
    // built alone before it.
    property bool started: false

    Connections {
        target: window
        enabled: !window.started
        function onAfterAnimating() {
            Qt.callLater(function() { window.started = true })
        }
    }

    Repeater {
        model: window.screenList

        Loader {
            id: pageLoader
            readonly property bool due: (window.started && modelData.eager === true)
                                        || window.currentScreen === modelData.name

            objectName: "page_" + modelData.name
            anchors.fill: parent
            // The version label's strip: no page puts anything under it.
            anchors.bottomMargin: Style.footer
            active: false
            source: modelData.page
            visible: window.currentScreen === modelData.name
            // Once built a page stays, keeping its state while hidden.
            onDueChanged: if (due) active = true
            Component.onCompleted: if (due) active = true

            // A scan page switches to the other prompt without the manager.
            Connections {
                target: pageLoader.item
                ignoreUnknownSignals: true
                function onScreenRequested(name) {
                    window.currentScreen = name
                }
            }
        }
    }

    // The keyboard is built the first time a page that types is shown, never
    // on a validator that only validates; it lies over the pages. Named by its
    // file, so that its modules are not even loaded before then.
    Item {
        id: keyboardLayer
        anchors.fill: parent
        z: 100

        Loader {
            readonly property bool due: window.started
                                        && ["Login", "Settings"].indexOf(window.currentScreen) >= 0

            // Once built it stays.
            onDueChanged: if (due && !item)
                              setSource("qrc:/qml/controls/KeyboardPanel.qml", { parent: keyboardLayer })
        }
    }

    CustomPopup {
        id: errorPopup
        objectName: "errorPopup"
    }

    Connections {
        target: manager
        function onScreenChanged() {
            console.log("[QML] Screen changed : " + manager.screen)
            window.currentScreen = manager.screen
        }
        function onErrorOccured(error) {
            console.log("[QML] Error occured : " + error)
            errorPopup.showInformation(error)
        }
    }

    // Never takes input; it only decides whether the pointer is drawn.
    MouseArea {
        parent: window.overlay
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        cursorShape: manager.showCursor ? Qt.ArrowCursor : Qt.BlankCursor
        z: 1000
    }

    Label {
        objectName: "versionLabel"
        parent: window.overlay
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.versionMargin
        // Hidden while the keyboard is up, so it never covers a key.
        visible: !Qt.inputMethod.visible
        text: "v" + Qt.application.version
        font.pixelSize: Style.versionText
        color: Material.color(Material.Grey, Material.Shade700)
    }
}
