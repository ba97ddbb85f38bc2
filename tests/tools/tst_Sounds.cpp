#include <QFile>
#include <QTest>
#include <QtEndian>

// The result sounds the build writes for installation: plain 16-bit PCM WAV
// files whose sizes agree with their headers, each a short beep.
class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void areShortPcm();
};

void TestSounds::areShortPcm()
{
    for (const char* name : {"Valid.wav", "Invalid.wav"}) {
        QFile file(QStringLiteral(QUILLON_BINARY_DIR "/sounds/") + name);
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        const QByteArray wav = file.readAll();
        QVERIFY2(wav.size() > 44, name);
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        QCOMPARE(wav.left(4) + wav.mid(8, 8) + wav.mid(36, 4), QByteArray("RIFFWAVEfmt data"));
        QCOMPARE(u32(40), quint32(wav.size() - 44));
        QCOMPARE(u16(20), quint16(1));
        QCOMPARE(u16(34), quint16(16));
        const double seconds = double(u32(40)) / (u32(24) * u16(22) * 2);
        QVERIFY2(seconds > 0.15 && seconds < 1.0, qPrintable(QString::number(seconds)));
    }
}

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_Sounds.moc"
