import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import com.kivo.ticketing.transaction 1.0
import "../style"

// The detail block under a result: what is left on the ticket or card.
// Texts are translated in the context of the page that shows the block.
Item {
    id: root
    property string trContext: ""
    property var result: transaction
    readonly property var details: result && result.details ? result.details : ({})
    readonly property int shown: result && result.shownDetails !== undefined ? result.shownDetails
                                                                              : Transaction.NoDetails
    readonly property var locale: ApplicationWindow.window ? ApplicationWindow.window.locale : Qt.locale()
    readonly property var content: layoutFor(shown)

    // The texts below, marked for the translation tool in the context of each page
    // that shows the block; looked up at run time in `trContext`.
    readonly property var sourceTexts: [
        QT_TRANSLATE_NOOP("Valid", "Balance"), QT_TRANSLATE_NOOP("Valid", "Deducted"),
        QT_TRANSLATE_NOOP("Valid", "Expires"), QT_TRANSLATE_NOOP("Valid", "Remaining"),
        QT_TRANSLATE_NOOP("Valid", "Trips"), QT_TRANSLATE_NOOP("Valid", "day"),
        QT_TRANSLATE_NOOP("Valid", "days"), QT_TRANSLATE_NOOP("Valid", "hour"),
        QT_TRANSLATE_NOOP("Valid", "hours"), QT_TRANSLATE_NOOP("Valid", "min"),
        QT_TRANSLATE_NOOP("Valid", "mins"),
        QT_TRANSLATE_NOOP("AlreadyValid", "Balance"), QT_TRANSLATE_NOOP("AlreadyValid", "Deducted"),
        QT_TRANSLATE_NOOP("AlreadyValid", "Expires"), QT_TRANSLATE_NOOP("AlreadyValid", "Remaining"),
        QT_TRANSLATE_NOOP("AlreadyValid", "Trips"), QT_TRANSLATE_NOOP("AlreadyValid", "day"),
        QT_TRANSLATE_NOOP("AlreadyValid", "days"), QT_TRANSLATE_NOOP("AlreadyValid", "hour"),
        QT_TRANSLATE_NOOP("AlreadyValid", "hours"), QT_TRANSLATE_NOOP("AlreadyValid", "min"),
        QT_TRANSLATE_NOOP("AlreadyValid", "mins")
    ]

    function tr(text) {
        return manager.dynTr + qsTranslate(trContext, text)
    }
    function unit(n, one, many) {
        return n + " " + tr(n === 1 ? one : many)
    }
    function periodText(period) {
        if (!period)
            return unit(0, "min", "mins")
        switch (period.unit) {
        case Transaction.Days:
            return unit(period.count, "day", "days")
        case Transaction.Hours:
            return unit(period.count, "hour", "hours")
        }
        return unit(period.count, "min", "mins")
    }
    function money(value) {
        return (Number(value) || 0).toLocaleCurrencyString(locale)
    }
    function dateText(value) {
        var d = new Date(value)
        return isNaN(d.getTime()) ? "" : d.toLocaleDateString(locale, "d MMM yy")
    }
    function field(caption, value, bold) {
        return { caption: tr(caption), value: value, bold: bold }
    }
    // Left and right column of what the transaction shows; a null right
    // column centres the left one.
    function layoutFor(kind) {
        var transfer = field("Remaining", periodText(details.transferPeriod), true)
        switch (kind) {
        case Transaction.TransferTime:
            return { left: transfer, right: null }
        case Transaction.TransferTrips:
            return { left: transfer, right: field("Trips", String(Number(details.remaining) || 0), true) }
        case Transaction.TransferBalance:
            return { left: transfer, right: field("Balance", money(details.remaining), false) }
        case Transaction.PeriodPass:
            return { left: field("Remaining", periodText(details.remainingPeriod), true),
                     right: field("Expires", dateText(details.expires), true) }
        case Transaction.Purse:
            return { left: field("Deducted", money(details.deducted), false),
                     right: field("Balance", money(details.remaining), false) }
        }
        return null
    }

    width: parent ? parent.width : 480
    height: Style.resultRow
    visible: content !== null

    component DetailColumn: Column {
        property var entry
        property int alignment: Text.AlignLeft

        Label {
            width: parent.width
            height: 30
            horizontalAlignment: parent.alignment
            verticalAlignment: Text.AlignBottom
            text: parent.entry ? parent.entry.caption : ""
            color: Material.foreground
            font.pointSize: Style.caption
        }
        Label {
            objectName: "detailValue"
            width: parent.width
            height: 70
            horizontalAlignment: parent.alignment
            verticalAlignment: Text.AlignVCenter
            text: parent.entry ? parent.entry.value : ""
            color: Material.foreground
            font.pointSize: Style.body
            font.bold: parent.entry ? parent.entry.bold : false
        }
    }

    DetailColumn {
        objectName: "leftColumn"
        entry: root.content ? root.content.left : null
        readonly property bool alone: !root.content || !root.content.right
        x: alone ? 0 : Style.resultMargin
        width: alone ? root.width : root.width / 2 - Style.resultMargin
        alignment: alone ? Text.AlignHCenter : Text.AlignLeft
    }
    DetailColumn {
        objectName: "rightColumn"
        visible: root.content !== null && root.content.right !== null
        entry: root.content ? root.content.right : null
        x: root.width / 2
        width: root.width / 2 - Style.resultMargin
        alignment: Text.AlignRight
    }
}
