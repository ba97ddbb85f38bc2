#include "Diagnostics.h"

#include "LogCategories.h"

#include "Common/AssignIfDifferent.h"
#include "Common/QrCodeGenerator.h"
#include "Model/SAM.h"
#include "Model/ValidatorBarcode.h"
#include "Model/ValidatorRfid.h"
#include "Peripheral/Board.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>

Q_LOGGING_CATEGORY(lcDiagnostics, "quillon.Diagnostics")

namespace {

const QString None = QStringLiteral("NONE");
using verdict::Error;
using verdict::Missing;
using verdict::Ok;

QString okIf(bool ok)
{
    return ok ? Ok : Error;
}

} // namespace

const QVector<Diagnostics::UsbDevice> Diagnostics::UsbDevices = {
    {QStringLiteral("USB Hub #1"), QStringLiteral("0451:2077"), QStringLiteral("1-1")},
    {QStringLiteral("mPCIE #1"), QStringLiteral("*"), QStringLiteral("1-1.2")},
    {QStringLiteral("RFID"), QStringLiteral("0ab1:0007"), QStringLiteral("1-1.3")},
    {QStringLiteral("USB Host"), QStringLiteral("*"), QStringLiteral("1-1.4")},
    {QStringLiteral("FTDI"), QStringLiteral("0403:6015"), QStringLiteral("1-1.5")},
    {QStringLiteral("Barcode"), QStringLiteral("*"), QStringLiteral("1-1.6")},
    {QStringLiteral("Touch"), QStringLiteral("222a:0001"), QStringLiteral("1-1.7")},
};

Diagnostics::Diagnostics(const QString& deviceId, manager::Board& board,
                         manager::Network& network, manager::Validator& validator,
                         QObject* parent)
    : QObject(parent)
    , m_deviceId(deviceId)
    , m_board(board)
    , m_network(network)
    , m_validator(validator)
{
    connect(&m_timer, &QTimer::timeout, this, &Diagnostics::check);
    relay();
}

void Diagnostics::relay()
{
    connect(&m_board, &manager::Board::ignitionChanged, this, &Diagnostics::ignitionChanged);
    connect(&m_board, &manager::Board::temperatureChanged, this, &Diagnostics::temperatureChanged);
    connect(&m_board, &manager::Board::voltageChanged, this, &Diagnostics::voltageChanged);
    connect(&m_board, &manager::Board::statusChanged, this, &Diagnostics::boardServiceChanged);
    connect(&m_board, &manager::Board::poleIdChanged, this, &Diagnostics::poleIdChanged);
    connect(m_validator.rfid(), &ValidatorRfid::samChanged, this, &Diagnostics::samChanged);
    connect(m_validator.rfid(), &ValidatorRfid::activeChanged, this,
            &Diagnostics::rfidServiceChanged);
    connect(m_validator.barcode(), &ValidatorBarcode::activeChanged, this,
            &Diagnostics::barcodeServiceChanged);
    // The Ethernet result follows the interface's state, and the SAM result
    // hangs on the reader being active too.
    connect(&m_board, &manager::Board::rtcFailedChanged, this, &Diagnostics::rtcChanged);
    connect(m_network.ethernet(), &manager::Ethernet::stateChanged, this,
            &Diagnostics::ethernetChanged);
    connect(m_validator.rfid(), &ValidatorRfid::activeChanged, this, &Diagnostics::samChanged);
}

QString Diagnostics::rtc() const { return m_board.rtcFailed() ? Error : Ok; }

QString Diagnostics::ethernet() const
{
    return okIf(m_network.ethernet()->state() == QLatin1String("Connected"));
}

QString Diagnostics::usbHub() const { return m_usbHub; }
QString Diagnostics::mPCIe1() const { return m_mPCIe1; }
QString Diagnostics::rfidUsb() const { return m_rfidUsb; }
QString Diagnostics::barcodeUsb() const { return m_barcodeUsb; }
QString Diagnostics::ftdi() const { return m_ftdi; }
QString Diagnostics::usbHost() const { return m_usbHost; }
QString Diagnostics::touch() const { return m_touch; }
QString Diagnostics::sdCard() const { return m_sdCard; }
QString Diagnostics::buzzer() const { return m_buzzer; }
QString Diagnostics::leds() const { return m_leds; }
QString Diagnostics::ignition() const { return okIf(m_board.ignition()); }

QString Diagnostics::temperature() const
{
    const double t = m_board.temperature();
    return okIf(t > 15.0 && t < 70.0);
}

QString Diagnostics::voltage() const
{
    const double v = m_board.voltage();
    return okIf(v > 9.0 && v < 40.0);
}

QString Diagnostics::sam() const
{
    const ValidatorRfid* rfid = m_validator.rfid();
    if (!rfid->active())
        return Error;
    const SAM* s = rfid->sam();
    if (!s)
        return Missing;
    return okIf(!s->atr().isEmpty());
}

QString Diagnostics::speaker() const { return m_speaker; }
QString Diagnostics::barcodeScan() const { return m_barcodeScan; }
QString Diagnostics::cardScan() const { return m_cardScan; }
QString Diagnostics::rfidService() const { return okIf(m_validator.rfid()->active()); }
QString Diagnostics::barcodeService() const { return okIf(m_validator.barcode()->active()); }
QString Diagnostics::boardService() const
{
    return okIf(m_board.status() == QLatin1String("online"));
}
QString Diagnostics::lightSensor() const { return m_lightSensor; }
QString Diagnostics::rgbTest() const { return m_rgbTest; }

QString Diagnostics::poleId() const
{
    const QString id = m_board.poleId();
    if (id.isEmpty())
        return Missing;
    return okIf(id != QString(16, QLatin1Char('0')));
}

QString Diagnostics::serialPortTest() const { return m_serialPortTest; }
QStringList Diagnostics::serialPorts() const { return m_serialPorts; }
QString Diagnostics::serialPort() const { return m_serialPort; }
int Diagnostics::serialFlowCtrl() const { return m_serialFlowCtrl; }

void Diagnostics::setBuzzer(const QString& value) { store(m_buzzer, value, &Diagnostics::buzzerChanged); }
void Diagnostics::setLeds(const QString& value) { store(m_leds, value, &Diagnostics::ledsChanged); }
void Diagnostics::setSpeaker(const QString& value) { store(m_speaker, value, &Diagnostics::speakerChanged); }
void Diagnostics::setBarcodeScan(const QString& value) { store(m_barcodeScan, value, &Diagnostics::barcodeScanChanged); }
void Diagnostics::setCardScan(const QString& value) { store(m_cardScan, value, &Diagnostics::cardScanChanged); }
void Diagnostics::setLightSensor(const QString& value) { store(m_lightSensor, value, &Diagnostics::lightSensorChanged); }
void Diagnostics::setRgbTest(const QString& value) { store(m_rgbTest, value, &Diagnostics::rgbTestChanged); }
void Diagnostics::setSerialPort(const QString& name)
{
    if (name == m_serialPort)
        return;
    qCWarning(lcDiagnostics).noquote().nospace() << "------------- Serial Port changed : " << name;
    m_serialPort = name;
    emit serialPortChanged();
}

void Diagnostics::setSerialFlowCtrl(int value)
{
    if (value == m_serialFlowCtrl)
        return;
    qCWarning(lcDiagnostics).noquote().nospace() << "------------- Serial Flow ctrl changed : " << value;
    m_serialFlowCtrl = value;
    emit serialFlowCtrlChanged();
}

void Diagnostics::setSysfsRoot(const QString& path) { m_probe.setSysfsRoot(path); }
void Diagnostics::setSdCardPath(const QString& path) { m_probe.setSdCardPath(path); }
void Diagnostics::setVirtualPortPath(const QString& path) { m_probe.setVirtualPortPath(path); }

void Diagnostics::start(int intervalSec)
{
    qCInfo(lcDiagnostics).noquote().nospace() << QStringLiteral("Starting Diagnostic check (interval=%1 sec)").arg(intervalSec);
    check();
    m_timer.start(intervalSec * 1000);
}

void Diagnostics::stop()
{
    qCInfo(lcDiagnostics).noquote().nospace() << "Stopping Diagnostic check";
    m_timer.stop();
}

void Diagnostics::store(QString& field, const QString& value, Notify notify)
{
    if (manager::assignIfDifferent(field, value))
        emit (this->*notify)();
}

void Diagnostics::check()
{
    struct Target {
        QString* field;
        Notify notify;
    };
    const Target targets[] = {
        {&m_usbHub, &Diagnostics::usbHubChanged},
        {&m_mPCIe1, &Diagnostics::mPCIe1Changed},
        {&m_rfidUsb, &Diagnostics::rfidUsbChanged},
        {&m_usbHost, &Diagnostics::usbHostChanged},
        {&m_ftdi, &Diagnostics::ftdiChanged},
        {&m_barcodeUsb, &Diagnostics::barcodeUsbChanged},
        {&m_touch, &Diagnostics::touchChanged},
    };
    for (int row = 0; row < UsbDevices.size(); ++row) {
        const UsbDevice& device = UsbDevices.at(row);
        store(*targets[row].field, m_probe.testUsb(device.name, device.id, device.path), targets[row].notify);
    }
    store(m_sdCard, m_probe.testSdCard(), &Diagnostics::sdCardChanged);
    store(m_serialPortTest, testSerialPort(), &Diagnostics::serialPortTestChanged);
    updateSerialPorts();
}

QString Diagnostics::testSerialPort()
{
    if (m_serialPort.isEmpty() || m_serialPort == None)
        return Missing;
    return m_probe.testSerialPort(m_serialPort, m_serialFlowCtrl);
}

void Diagnostics::updateSerialPorts()
{
    const QStringList ports = QStringList{None} + m_probe.serialPortNames();
    if (ports != m_serialPorts) {
        m_serialPorts = ports;
        emit serialPortsChanged();
    }
    if (ports.contains(QStringLiteral("ttyUSB0")))
        setSerialPort(QStringLiteral("ttyUSB0"));
}

QString Diagnostics::serialPortDescr(QString portName)
{
    return m_probe.serialPortDescription(portName);
}

QString Diagnostics::samUid() const
{
    const SAM* s = m_validator.rfid()->sam();
    return s ? s->uid() : QStringLiteral("SAM not present");
}

QString Diagnostics::boardFirmware() const
{
    return m_board.info().value(QStringLiteral("firmware")).toString();
}

QString Diagnostics::barcodeFirmware() const { return m_validator.barcode()->firmware(); }
QString Diagnostics::rfidFirmware() const { return m_validator.rfid()->firmware(); }

QStringList Diagnostics::reportLines(const QString& date) const
{
    const QString rule(53, QLatin1Char('-'));
    const int width = 35;
    const auto line = [width](const char* label, const QString& value) {
        return QString::fromLatin1(label).arg(value, width);
    };
    return {
        rule,
        QStringLiteral(" DEVICE TEST REPORT"),
        rule,
        line(" Device UID       %1", m_deviceId),
        line(" Date             %1", date),
        line(" SAM              %1", samUid()),
        line(" Barcode Firmware %1", barcodeFirmware()),
        line(" RFID Firmware    %1", rfidFirmware()),
        line(" Board Firmware   %1", boardFirmware()),
        line(" App Version      %1", QCoreApplication::applicationVersion()),
        line(" Bundle Version   %1", QStringLiteral("<null>")),
        line(" Image Version    %1", QStringLiteral("<null>")),
        rule,
        line(" RTC              %1", rtc()),
        line(" Ethernet         %1", ethernet()),
        line(" USB Hub          %1", usbHub()),
        line(" USB Host         %1", usbHost()),
        line(" FTDI             %1", ftdi()),
        line(" mPCIe #1         %1", mPCIe1()),
        line(" Touch            %1", touch()),
        line(" SD Card          %1", sdCard()),
        line(" Ignition         %1", ignition()),
        line(" Temperature      %1", temperature()),
        line(" Voltage          %1", voltage()),
        line(" RFID             %1", rfidUsb()),
        line(" Barcode          %1", barcodeUsb()),
        line(" SAM              %1", sam()),
        line(" Buzzer           %1", buzzer()),
        line(" Front LEDs       %1", leds()),
        line(" Barcode Scan     %1", barcodeScan()),
        line(" Card Scan        %1", cardScan()),
        line(" RFID Manager     %1", rfidService()),
        line(" Barocde Manager  %1", barcodeService()),
        line(" Board Manager    %1", boardService()),
        line(" Light Sensor     %1", lightSensor()),
        line(" Display RGB Test %1", rgbTest()),
        rule,
    };
}

void Diagnostics::saveReport()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString date = now.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const QString text = reportLines(date).join(QLatin1Char('\n'));
    qCInfo(lcDiagnostics).noquote().nospace() << "\n" << text;
    const QString fileName = QStringLiteral("./%1_%2.txt")
                                 .arg(QStringLiteral("TestReport"),
                                      now.toString(QStringLiteral("yyyyMMdd_hhmm")));
    qCInfo(lcDiagnostics).noquote().nospace() << "Saving Diagnostics report to : " << fileName;

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        failSave(file.errorString());
        return;
    }
    // A full disk shows only when the buffered text reaches it.
    const QByteArray data = text.toUtf8();
    if (file.write(data) != data.size() || !file.flush()) {
        failSave(file.errorString());
        return;
    }
    file.close();
    emit reportSaved(text);
    emit saveReportFinished(true, QStringLiteral("Test report saved successfully:\n") + fileName);
}

void Diagnostics::failSave(const QString& error)
{
    qCCritical(lcDiagnostics).noquote().nospace() << "ERROR: Could not save file : " << error;
    emit saveReportFinished(false, QStringLiteral("Could not save Test Report\nERROR: ") + error);
}

void Diagnostics::recordVerdict(const QString& test, bool passed)
{
    using Setter = void (Diagnostics::*)(const QString&);
    static const QHash<QString, Setter> setters{
        {QStringLiteral("buzzer"), &Diagnostics::setBuzzer},
        {QStringLiteral("leds"), &Diagnostics::setLeds},
        {QStringLiteral("speaker"), &Diagnostics::setSpeaker},
        {QStringLiteral("barcodeScan"), &Diagnostics::setBarcodeScan},
        {QStringLiteral("cardScan"), &Diagnostics::setCardScan},
        {QStringLiteral("lightSensor"), &Diagnostics::setLightSensor},
        {QStringLiteral("rgbTest"), &Diagnostics::setRgbTest},
    };
    const Setter set = setters.value(test);
    if (!set)
        return;
    (this->*set)(passed ? Ok : Error);
}

QString Diagnostics::generateQr()
{
    const QStringList fields{
        m_deviceId,
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
        samUid(),
        barcodeFirmware(),
        rfidFirmware(),
        boardFirmware(),
        QCoreApplication::applicationVersion(),
        QString(),
        QString(),
        rtc(), ethernet(), usbHub(), mPCIe1(), rfidUsb(), barcodeUsb(), ftdi(), usbHost(), touch(),
        sdCard(), buzzer(), leds(), ignition(), temperature(), voltage(), sam(), speaker(),
        barcodeScan(), cardScan(), rfidService(), barcodeService(), boardService(), lightSensor(),
        rgbTest(), poleId(), serialPortTest(),
    };
    QrCodeGenerator generator;
    const QString svg =
        generator.generateSvgQr(fields.join(QLatin1Char(';')), 1, qrcodegen::QrCode::Ecc::MEDIUM);
    if (svg.isEmpty())
        return QString();
    return QStringLiteral("data:image/svg,") + svg;
}
