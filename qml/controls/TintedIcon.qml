import QtQuick 2.15

// An icon in one colour. The build draws each icon in every colour and size a
// page shows it in, so no effect colours it at run time and every renderer
// shows the same pixels; a colour or size it did not draw fails to load.
Image {
    id: root
    // The artwork's name in Icons/: "valid", "lock", ...
    property string name
    property color color
    readonly property string shade: String(root.color).slice(1)

    source: name === "" ? "" : "qrc:/qml/images/Icons/" + name + "-" + shade + "-" + width + ".png"
    // Drawn at its own size.
    smooth: false
}
