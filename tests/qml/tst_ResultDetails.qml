import QtQuick 2.15
import QtTest 1.15

// The details under a result: how a period reads, which columns a product
// type shows, money in the page's language. The real window shows one layout.
Item {
    id: root
    width: 480
    height: 680
    property var transaction: ({ type: 0, fareProduct: "", details: {} })

    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
    }

    Loader { id: valid; width: 480; height: 680; source: "qrc:/qml/screens/Valid.qml" }
    Loader { id: already; width: 480; height: 680; source: "qrc:/qml/screens/AlreadyValid.qml" }

    TestCase {
        name: "ResultDetails"
        when: windowShown

        function block(page) {
            return findChild(page.item, "leftColumn").parent
        }
        function values(page) {
            return [findChild(findChild(page.item, "leftColumn"), "detailValue").text,
                    findChild(findChild(page.item, "rightColumn"), "detailValue").text]
        }
        function show(type, details) {
            root.transaction = { type: type, fareProduct: "Adult single", details: details }
        }
        function cleanup() {
            manager.language = "en_IE"
        }

        function test_period_data() {
            return [
                { tag: "1441", minutes: 1441, text: "1 day" }, { tag: "1440", minutes: 1440, text: "24 hours" },
                { tag: "121", minutes: 121, text: "2 hours" }, { tag: "120", minutes: 120, text: "120 mins" },
                { tag: "1", minutes: 1, text: "1 min" }
            ]
        }
        function test_period(data) {
            show(0, { transferRemainingMin: data.minutes })
            compare(values(valid)[0], data.text)
            show(8, { remaining: data.minutes, expires: new Date(2026, 0, 5) })
            compare(values(valid)[0], data.text)
        }

        function test_columnsByType() {
            show(5, { transferRemainingMin: 30, remaining: 7 })
            compare(values(valid), ["30 mins", "7"])
            verify(findChild(block(valid), "rightColumn").visible)
            show(0, { transferRemainingMin: 30 })
            verify(!findChild(block(valid), "rightColumn").visible)
            show(8, { remaining: 2880, expires: new Date(2026, 2, 9, 12, 0) })
            compare(values(valid), ["2 days", "9 Mar 26"])
        }

        function test_moneyFollowsLanguage() {
            show(2, { deducted: 1.2, remaining: 1.3 })
            compare(values(valid), ["€1.20", "€1.30"])
            manager.language = "el_GR"
            // Greek puts the sign after the amount, behind a non-breaking space.
            compare(values(valid), ["1,20\u00a0€", "1,30\u00a0€"])
        }

        // Capping shows its details only as a first validation; an unknown type none.
        function test_noDetails_data() {
            return [ { tag: "16", type: 16, valid: true }, { tag: "15", type: 15, valid: true },
                     { tag: "10", type: 10, valid: false } ]
        }
        function test_noDetails(data) {
            show(data.type, { transferRemainingMin: 10, remaining: 3, deducted: 1 })
            compare(block(valid).visible, data.valid)
            verify(!block(already).visible)
        }
    }
}
