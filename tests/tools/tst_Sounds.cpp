#include <QDataStream>
#include <QFile>
#include <QTest>

// The result sounds the build writes for installation: plain 16-bit PCM WAV
// files whose sizes agree with their headers, each a short beep.
class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void areShortPcm_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("valid") << "Valid.wav";
        QTest::newRow("invalid") << "Invalid.wav";
    }
    void areShortPcm();
};

void TestSounds::areShortPcm()
{
    QFETCH(QString, name);
    QFile file(QStringLiteral(QUILLON_BINARY_DIR "/sounds/") + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    char riff[4], wave[8], data[4];
    quint32 riffSize, fmtSize, rate, byteRate, dataSize;
    quint16 format, channels, blockAlign, bits;
    in.readRawData(riff, 4);
    in >> riffSize;
    in.readRawData(wave, 8);
    in >> fmtSize >> format >> channels >> rate >> byteRate >> blockAlign >> bits;
    in.readRawData(data, 4);
    in >> dataSize;
    QCOMPARE(QByteArray(riff, 4) + QByteArray(wave, 8) + QByteArray(data, 4), QByteArray("RIFFWAVEfmt data"));
    QCOMPARE(riffSize, quint32(file.size() - 8));
    QCOMPARE(dataSize, quint32(file.size() - 44));
    QCOMPARE(format, quint16(1));
    QCOMPARE(bits, quint16(16));
    const double seconds = double(dataSize) / (rate * channels * 2);
    QVERIFY2(seconds > 0.15 && seconds < 1.0, qPrintable(QString::number(seconds)));
}

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_Sounds.moc"
