#include <QFile>
#include <QTest>

// The result sounds the build writes for installation.
class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void areShortPcm_data();
    void areShortPcm();

private:
    static QByteArray read(const QString& name);
};

QByteArray TestSounds::read(const QString& name)
{
    QFile file(QStringLiteral(QUILLON_BINARY_DIR "/sounds/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static quint32 le32(const QByteArray& b, int at)
{
    return quint8(b[at]) | quint8(b[at + 1]) << 8 | quint8(b[at + 2]) << 16 | quint32(quint8(b[at + 3])) << 24;
}

static quint16 le16(const QByteArray& b, int at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

void TestSounds::areShortPcm_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("valid") << "Valid.wav";
    QTest::newRow("invalid") << "Invalid.wav";
}

void TestSounds::areShortPcm()
{
    QFETCH(QString, name);
    const QByteArray wav = read(name);
    QVERIFY2(wav.size() > 44, qPrintable(name));
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(le32(wav, 4), quint32(wav.size() - 8));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(le16(wav, 20), quint16(1));
    const quint16 channels = le16(wav, 22);
    const quint32 rate = le32(wav, 24);
    QCOMPARE(le16(wav, 34), quint16(16));
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    const quint32 bytes = le32(wav, 40);
    QCOMPARE(bytes, quint32(wav.size() - 44));

    const double seconds = double(bytes) / (rate * channels * 2);
    QVERIFY2(seconds > 0.15 && seconds < 1.0, qPrintable(QString::number(seconds)));
}

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_Sounds.moc"
