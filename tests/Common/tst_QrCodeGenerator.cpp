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

class TestQrCodeGenerator : public QObject
{
    Q_OBJECT

private slots:
    void documentIsOneLineSvg();
    void pathStartsAtBorder_data();
    void pathStartsAtBorder();
    void renderedGridMatchesSymbol();
    void decodesBackToText();
    void tooLongTextGivesEmptyString();
};

void TestQrCodeGenerator::documentIsOneLineSvg()
{
    QrCodeGenerator generator;
    const QrCode qr = QrCode::encodeText("HELLO", QrCode::Ecc::MEDIUM);
    const QString svg = generator.toSvgString(qr, 1);
    const int n = qr.getSize() + 2;

    QVERIFY(!svg.contains('\n'));
    QVERIFY(svg.startsWith(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                       "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" viewBox=\"0 0 %1 %1\" "
                       "stroke=\"none\"><rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>"
                       "<path d=\"M1,1h1v1h-1z ")
            .arg(n)));
    QVERIFY(svg.endsWith(QStringLiteral("h1v1h-1z\" fill=\"#000000\"/></svg>")));
}

void TestQrCodeGenerator::pathStartsAtBorder_data()
{
    QTest::addColumn<int>("border");
    QTest::addColumn<QString>("start");
    QTest::newRow("no border") << 0 << "<path d=\"M0,0h1v1h-1z M1,0h1v1h-1z";
    QTest::newRow("one module") << 1 << "<path d=\"M1,1h1v1h-1z M2,1h1v1h-1z";
}

void TestQrCodeGenerator::pathStartsAtBorder()
{
    QFETCH(int, border);
    QFETCH(QString, start);
    QrCodeGenerator generator;
    const QrCode qr = QrCode::encodeText("HELLO", QrCode::Ecc::MEDIUM);
    const QString svg = generator.toSvgString(qr, quint16(border));
    QVERIFY2(svg.contains(start), qPrintable(svg.left(400)));
    const int n = qr.getSize() + 2 * border;
    QVERIFY(svg.contains(QStringLiteral("viewBox=\"0 0 %1 %1\"").arg(n)));
}

void TestQrCodeGenerator::renderedGridMatchesSymbol()
{
    const int scale = 8;
    const quint16 border = 1;
    QrCodeGenerator generator;
    const QString svg = generator.generateSvgQr(Text, border, QrCode::Ecc::MEDIUM);
    const QrCode qr = QrCode::encodeText(Text.toUtf8().constData(), QrCode::Ecc::MEDIUM);
    const int n = qr.getSize() + 2 * border;
    const QImage image = render(svg, n * scale);

    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const int mx = x - border;
            const int my = y - border;
            const bool inside = mx >= 0 && my >= 0 && mx < qr.getSize() && my < qr.getSize();
            const QRgb expected = inside && qr.getModule(mx, my) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            const QRgb pixel = image.pixel(x * scale + scale / 2, y * scale + scale / 2);
            QVERIFY2(pixel == expected, qPrintable(QStringLiteral("module %1,%2").arg(x).arg(y)));
        }
    }
}

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
    const QList<LogCapture::Line> lines = log.lines();
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().type, QtCriticalMsg);
    QVERIFY2(lines.first().text.startsWith(
                 QStringLiteral("[QrCodeGenerator] ERROR: Text of 3000 bytes does not fit a QR code : ")),
             qPrintable(lines.first().text));
    QVERIFY(!generator.generateSvgQr(QString(2000, 'x'), 1, QrCode::Ecc::MEDIUM).isEmpty());
}

QTEST_MAIN(TestQrCodeGenerator)
#include "tst_QrCodeGenerator.moc"
