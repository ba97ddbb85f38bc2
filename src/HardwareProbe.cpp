#include "HardwareProbe.h"

#include "LogCategories.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>

namespace {

const int SerialWindowMsec = 50;

} // namespace

void HardwareProbe::setSysfsRoot(const QString& path)
{
    m_sysfsRoot = path;
}

void HardwareProbe::setSdCardPath(const QString& path)
{
    m_sdCardPath = path;
}

void HardwareProbe::setVirtualPortPath(const QString& path)
{
    m_virtualPortPath = path;
}

QString HardwareProbe::testUsb(const QString& name, const QString& expectedId, const QString& path) const
{
    const QString dir = m_sysfsRoot + QLatin1Char('/') + path;
    if (!QDir(dir).exists())
        return verdict::Missing;
    const QString vendor = readFile(dir + QStringLiteral("/idVendor"));
    const QString product = readFile(dir + QStringLiteral("/idProduct"));
    const QString productName = readFile(dir + QStringLiteral("/product"));
    const QString deviceId = QStringLiteral("%1:%2").arg(vendor, product);
    qCDebug(lcDiagnostics).noquote().nospace() << "name=" << name << " deviceId=" << deviceId << " expected=" << expectedId
                  << " product=" << productName;
    if (expectedId == QLatin1String("any") || expectedId == QLatin1String("*"))
        return verdict::Ok;
    return deviceId.contains(expectedId) ? verdict::Ok : verdict::Error;
}

QString HardwareProbe::readFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCCritical(lcDiagnostics).noquote().nospace() << "ERROR: Failed to open fle : " << path;
        return QString();
    }
    QByteArray data = file.readAll();
    const int nul = data.indexOf('\0');
    if (nul >= 0)
        data.truncate(nul);
    return QString::fromUtf8(data).trimmed();
}

QString HardwareProbe::testSdCard() const
{
    return QFile::exists(m_sdCardPath) ? verdict::Ok : verdict::Missing;
}

QSerialPortInfo HardwareProbe::serialPortInfo(const QString& name)
{
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (info.portName() == name)
            return info;
    }
    return QSerialPortInfo();
}

QString HardwareProbe::testSerialPort(const QString& name, int flowControl) const
{
    QSerialPort port;
    const QSerialPortInfo info = serialPortInfo(name);
    if (info.isNull())
        port.setPortName(name);
    else
        port.setPort(info);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setBaudRate(QSerialPort::Baud9600, QSerialPort::AllDirections);
    port.setParity(QSerialPort::NoParity);
    port.setFlowControl(static_cast<QSerialPort::FlowControl>(flowControl));
    if (!port.open(QIODevice::ReadWrite))
        return QStringLiteral("ERROR (Could not open)");
    const QString result = loopback(port);
    port.close();
    return result;
}

// Expects a plug joining the port's transmit and receive lines.
QString HardwareProbe::loopback(QSerialPort& port) const
{
    if (port.write("A", 1) != 1)
        return QStringLiteral("ERROR (Could not write)");
    if (!port.waitForBytesWritten(SerialWindowMsec))
        return QStringLiteral("ERROR (Write timeout)");
    QElapsedTimer clock;
    clock.start();
    // The time left is read once a round: read twice, it could pass zero in
    // between and a wait of -1 would never end.
    for (qint64 left = SerialWindowMsec; left > 0; left = SerialWindowMsec - clock.elapsed()) {
        if (port.waitForReadyRead(int(left)) && port.readAll().contains('A'))
            return verdict::Ok;
    }
    return verdict::Error;
}

QStringList HardwareProbe::serialPortNames() const
{
    QStringList ports;
    const QList<QSerialPortInfo> available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : available)
        ports.append(info.portName());
    if (QFile::exists(m_virtualPortPath))
        ports.append(m_virtualPortPath);
    return ports;
}

QString HardwareProbe::serialPortDescription(const QString& name) const
{
    return serialPortInfo(name).description();
}
