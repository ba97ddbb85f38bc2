import QtQuick 2.15
import "../style"

// A ticket or card that was read: the result, the fare product and what is left on it.
ResultPage {
    // Texts are translated in the context of the page that shows them.
    property alias trContext: details.trContext

    TextBox {
        text: transaction.fareProduct || ""
        size: Style.body
    }
    Separator {}
    ResultDetails {
        id: details
    }
}
