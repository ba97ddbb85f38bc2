import QtQuick 2.15

// Stands in for the Material style's elevation effect (see FlatElevation.h):
// the control's layer shown as it is, with no shadow and no shader. The
// properties are the ones the style sets.
Item {
    id: effect
    property var source
    property int elevation: 0
    property bool fullWidth: false
    property bool fullHeight: false
    readonly property Item sourceItem: source ? source.sourceItem : null

    ShaderEffectSource {
        width: effect.sourceItem ? effect.sourceItem.width : 0
        height: effect.sourceItem ? effect.sourceItem.height : 0
        sourceItem: effect.sourceItem
    }
}
