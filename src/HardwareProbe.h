#pragma once

#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

class QSerialPort;

// The words every self-test result is given in.
namespace verdict {
inline const QString Ok = QStringLiteral("OK");
inline const QString Error = QStringLiteral("ERROR");
inline const QString Missing = QStringLiteral("MISSING");
} // namespace verdict

// What the self-test reads from the platform itself: USB devices in sysfs,
// the SD card's device node and a looped-back serial port.
class HardwareProbe
{
public:
    // Where the platform lives; tests point these at fakes.
    void setSysfsRoot(const QString& path);
    void setSdCardPath(const QString& path);
    void setVirtualPortPath(const QString& path);

    // The device at `path` under the USB tree, matching `expectedId`
    // ("vendor:product", or "*" / "any" for whatever is plugged in).
    QString testUsb(const QString& name, const QString& expectedId, const QString& path) const;
    QString testSdCard() const;
    // A byte sent must come back through a loopback plug.
    QString testSerialPort(const QString& name, int flowControl) const;
    // The ports the system knows, then the virtual one when it exists.
    QStringList serialPortNames() const;
    QString serialPortDescription(const QString& name) const;

private:
    QString readFile(const QString& path) const;
    QString loopback(QSerialPort& port) const;
    static QSerialPortInfo serialPortInfo(const QString& name);
    QString m_sysfsRoot = QStringLiteral("/sys/bus/usb/devices");
    QString m_sdCardPath = QStringLiteral("/dev/mmcblk1p1");
    QString m_virtualPortPath = QStringLiteral("/tmp/vcom");
};
