import QtQuick 2.15
import QtQuick.Controls 2.15

// A page's single action, centred under what it acts on.
Button {
    anchors.horizontalCenter: parent.horizontalCenter
    width: 200
}
