#pragma once

#include "HardwareProbe.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

namespace manager {
class Board;
class Network;
class Validator;
} // namespace manager

// The technician's self-test: USB devices on the board's fixed ports, SD
// card and serial loopback re-checked on a timer, results derived from the
// service managers, manual verdicts from the UI, and the report as a file
// and as a QR code.
class Diagnostics : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString rtc READ rtc NOTIFY rtcChanged)
    Q_PROPERTY(QString ethernet READ ethernet NOTIFY ethernetChanged)
    Q_PROPERTY(QString usbHub READ usbHub NOTIFY usbHubChanged)
    Q_PROPERTY(QString mPCIe1 READ mPCIe1 NOTIFY mPCIe1Changed)
    Q_PROPERTY(QString rfidUsb READ rfidUsb NOTIFY rfidUsbChanged)
    Q_PROPERTY(QString barcodeUsb READ barcodeUsb NOTIFY barcodeUsbChanged)
    Q_PROPERTY(QString ftdi READ ftdi NOTIFY ftdiChanged)
    Q_PROPERTY(QString usbHost READ usbHost NOTIFY usbHostChanged)
    Q_PROPERTY(QString touch READ touch NOTIFY touchChanged)
    Q_PROPERTY(QString sdCard READ sdCard NOTIFY sdCardChanged)
    Q_PROPERTY(QString buzzer READ buzzer WRITE setBuzzer NOTIFY buzzerChanged)
    Q_PROPERTY(QString leds READ leds WRITE setLeds NOTIFY ledsChanged)
    Q_PROPERTY(QString ignition READ ignition NOTIFY ignitionChanged)
    Q_PROPERTY(QString temperature READ temperature NOTIFY temperatureChanged)
    Q_PROPERTY(QString voltage READ voltage NOTIFY voltageChanged)
    Q_PROPERTY(QString sam READ sam NOTIFY samChanged)
    Q_PROPERTY(QString speaker READ speaker WRITE setSpeaker NOTIFY speakerChanged)
    Q_PROPERTY(QString barcodeScan READ barcodeScan WRITE setBarcodeScan NOTIFY barcodeScanChanged)
    Q_PROPERTY(QString cardScan READ cardScan WRITE setCardScan NOTIFY cardScanChanged)
    Q_PROPERTY(QString rfidService READ rfidService NOTIFY rfidServiceChanged)
    Q_PROPERTY(QString barcodeService READ barcodeService NOTIFY barcodeServiceChanged)
    Q_PROPERTY(QString boardService READ boardService NOTIFY boardServiceChanged)
    Q_PROPERTY(QString lightSensor READ lightSensor WRITE setLightSensor NOTIFY lightSensorChanged)
    Q_PROPERTY(QString rgbTest READ rgbTest WRITE setRgbTest NOTIFY rgbTestChanged)
    Q_PROPERTY(QString poleId READ poleId NOTIFY poleIdChanged)
    Q_PROPERTY(QString serialPortTest READ serialPortTest NOTIFY serialPortTestChanged)
    Q_PROPERTY(QStringList serialPorts READ serialPorts NOTIFY serialPortsChanged)
    Q_PROPERTY(QString serialPort READ serialPort WRITE setSerialPort NOTIFY serialPortChanged)
    Q_PROPERTY(int serialFlowCtrl READ serialFlowCtrl WRITE setSerialFlowCtrl
                   NOTIFY serialFlowCtrlChanged)
public:
    struct UsbDevice {
        QString name;
        QString id;
        QString path;
    };
    static const QVector<UsbDevice> UsbDevices;

    // `deviceId` is read at every use, so it must outlive this object.
    Diagnostics(const QString& deviceId, manager::Board& board, manager::Network& network,
                manager::Validator& validator, QObject* parent = nullptr);

    QString rtc() const;
    QString ethernet() const;
    QString usbHub() const;
    QString mPCIe1() const;
    QString rfidUsb() const;
    QString barcodeUsb() const;
    QString ftdi() const;
    QString usbHost() const;
    QString touch() const;
    QString sdCard() const;
    QString buzzer() const;
    QString leds() const;
    QString ignition() const;
    QString temperature() const;
    QString voltage() const;
    QString sam() const;
    QString speaker() const;
    QString barcodeScan() const;
    QString cardScan() const;
    QString rfidService() const;
    QString barcodeService() const;
    QString boardService() const;
    QString lightSensor() const;
    QString rgbTest() const;
    QString poleId() const;
    QString serialPortTest() const;
    QStringList serialPorts() const;
    QString serialPort() const;
    int serialFlowCtrl() const;

    void setBuzzer(const QString& value);
    void setLeds(const QString& value);
    void setSpeaker(const QString& value);
    void setBarcodeScan(const QString& value);
    void setCardScan(const QString& value);
    void setLightSensor(const QString& value);
    void setRgbTest(const QString& value);
    void setSerialPort(const QString& name);
    void setSerialFlowCtrl(int value);

    // Where the platform lives; tests point these at fakes.
    void setSysfsRoot(const QString& path);
    void setSdCardPath(const QString& path);
    void setVirtualPortPath(const QString& path);

signals:
    void rtcChanged();
    void ethernetChanged();
    void usbHubChanged();
    void mPCIe1Changed();
    void rfidUsbChanged();
    void barcodeUsbChanged();
    void ftdiChanged();
    void usbHostChanged();
    void touchChanged();
    void sdCardChanged();
    void buzzerChanged();
    void ledsChanged();
    void ignitionChanged();
    void temperatureChanged();
    void voltageChanged();
    void samChanged();
    void speakerChanged();
    void barcodeScanChanged();
    void cardScanChanged();
    void saveReportFinished(bool result, QString message);
    // The text of a report that reached its file.
    void reportSaved(const QString& text);
    void rfidServiceChanged();
    void barcodeServiceChanged();
    void boardServiceChanged();
    void lightSensorChanged();
    void rgbTestChanged();
    void poleIdChanged();
    void serialPortTestChanged();
    void serialPortsChanged();
    void serialPortChanged();
    void serialFlowCtrlChanged();

public slots:
    void start(int intervalSec = 1);
    void stop();
    void saveReport();
    // The technician's verdict on a manual test, named by its result property:
    // "OK" when it passed, "ERROR" when not. Other names are ignored.
    void recordVerdict(const QString& test, bool passed);
    QString generateQr();
    QString serialPortDescr(QString portName);

private:
    using Notify = void (Diagnostics::*)();

    void check();
    void updateSerialPorts();
    QString testSerialPort();

    void store(QString& field, const QString& value, Notify notify);
    void relay();
    QStringList reportLines(const QString& date) const;
    QString samUid() const;
    QString boardFirmware() const;
    QString barcodeFirmware() const;
    QString rfidFirmware() const;
    void failSave(const QString& error);

    QString m_usbHub;
    QString m_mPCIe1;
    QString m_rfidUsb;
    QString m_barcodeUsb;
    QString m_ftdi;
    QString m_usbHost;
    QString m_touch;
    QString m_sdCard;
    QString m_buzzer;
    QString m_leds;
    QString m_speaker;
    QString m_barcodeScan;
    QString m_cardScan;
    QString m_lightSensor;
    QString m_rgbTest;
    QString m_serialPortTest;
    QString m_serialPort = QStringLiteral("NONE");
    QStringList m_serialPorts;
    int m_serialFlowCtrl = 1;
    QTimer m_timer;

    const QString& m_deviceId;
    manager::Board& m_board;
    manager::Network& m_network;
    manager::Validator& m_validator;

    HardwareProbe m_probe;
};
