#include "Common/QrCodeGenerator.h"

#include "LogCapture.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

using qrcodegen::QrCode;

namespace {

const QString Text = QStringLiteral("0123456789ABCDEF;2026-12-07 10:15;Σ-ΑΒΓ;fw 1.2.3;OK;ERROR;MISSING");

QImage render(const QString& svg, int pixels)
{
    QSvgRenderer renderer(svg.toUtf8());
    QImage image(pixels, pixels, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

// The drawing is proven by reading it back, as a phone would.
class TestQrCodeGenerator : public QObject
{
    Q_OBJECT

private slots:
    void decodesBackToText();
    void tooLongTextGivesEmptyString();
};

void TestQrCodeGenerator::decodesBackToText()
{
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty())
        QSKIP("zbarimg (zbar-tools) is not installed");
    QTemporaryDir dir;
    QrCodeGenerator generator;
    const QString svg = generator.generateSvgQr(Text, 1, QrCode::Ecc::MEDIUM);
    const QString png = dir.filePath(QStringLiteral("qr.png"));
    QVERIFY(render(svg, 600).save(png));

    QProcess process;
    process.start(zbarimg, {QStringLiteral("--quiet"), QStringLiteral("--raw"), png});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).trimmed(), Text);
}

void TestQrCodeGenerator::tooLongTextGivesEmptyString()
{
    LogCapture log;
    QrCodeGenerator generator;
    QCOMPARE(generator.generateSvgQr(QString(3000, 'x'), 1, QrCode::Ecc::MEDIUM), QString());
    // Reported once, as an error.
    QCOMPARE(log.lines().size(), 1);
    QCOMPARE(log.lines().first().type, QtCriticalMsg);
    QVERIFY(!generator.generateSvgQr(QString(2000, 'x'), 1, QrCode::Ecc::MEDIUM).isEmpty());
}

QTEST_MAIN(TestQrCodeGenerator)
#include "tst_QrCodeGenerator.moc"
