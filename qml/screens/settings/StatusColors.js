.pragma library
// Colour rules shared by the settings pages; the caller passes the Material palette.

function serviceStatus(status, p) {
    if (status === "init" || status === "out-of-service" || status === "degraded")
        return p.amber
    if (status === "offline")
        return p.red
    return p.green
}

function connectionState(state, p) {
    if (state === "Connected")
        return p.green
    if (state === "Disconnected")
        return p.red
    return p.amber
}

function connectivity(value, p) {
    if (value === "Full")
        return p.green
    if (value === "Portal" || value === "Limited")
        return p.amber
    return p.red
}

function updateStatus(status, p) {
    if (status === "Disconnected")
        return p.red
    if (status === "Ready to install")
        return p.green
    if (status === "Downloading" || status === "Installing")
        return p.amber
    return p.foreground
}

function testResult(result, p) {
    if (!result)
        return p.grey
    if (result === "OK")
        return p.green
    if (result.indexOf("ERROR") >= 0)
        return p.red
    return p.amber
}

// Four decimal numbers 0-255 joined by dots, no leading zeros.
function isIPv4(text) {
    var part = "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])"
    return new RegExp("^" + part + "(\\." + part + "){3}$").test(text)
}
