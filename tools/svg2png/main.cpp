// svg2png [--colour #[aa]rrggbb] [--blur deviation] input.svg output.png width height
//
// Renders the whole SVG document stretched over width x height pixels on a
// transparent canvas and writes it as PNG. The sources draw their letters as
// paths, so no font, display or application object is needed.
//
// --blur softens the drawing with a Gaussian of that deviation in pixels (a
// shadow); --colour then paints every drawn pixel in one colour, keeping its
// coverage (an icon in one colour, a shadow's tint).
//
// A drawing that covers every pixel is written without an alpha channel: the
// application then decodes it into a format it draws without blending and
// without converting it first.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QVector>
#include <QtMath>

#include <algorithm>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "svg2png: %s\n", qUtf8Printable(message));
    return 1;
}

int parseSide(const QString &arg)
{
    bool ok = false;
    const int value = arg.toInt(&ok);
    return ok && value > 0 && value <= 8192 ? value : 0;
}

// The weights of a Gaussian of `deviation` out to three deviations, summing to one.
QVector<double> gaussian(double deviation)
{
    const int radius = qCeil(3 * deviation);
    QVector<double> weights(2 * radius + 1);
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += weights[i + radius] = qExp(-(i * i) / (2 * deviation * deviation));
    for (double &w : weights)
        w /= sum;
    return weights;
}

// One pass of the separable blur over the alpha channel, along x or along y.
QVector<double> blurPass(const QVector<double> &alpha, int width, int height, const QVector<double> &weights,
                         bool alongX)
{
    const int radius = weights.size() / 2;
    QVector<double> out(alpha.size(), 0.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                const int sx = alongX ? x + k : x;
                const int sy = alongX ? y : y + k;
                if (sx >= 0 && sx < width && sy >= 0 && sy < height)
                    sum += weights[k + radius] * alpha[sy * width + sx];
            }
            out[y * width + x] = sum;
        }
    }
    return out;
}

// The image's coverage blurred, as white with that coverage.
QImage blurred(const QImage &image, double deviation)
{
    const int width = image.width();
    const int height = image.height();
    QVector<double> alpha(width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            alpha[y * width + x] = qAlpha(image.pixel(x, y));
    const QVector<double> weights = gaussian(deviation);
    alpha = blurPass(blurPass(alpha, width, height, weights, true), width, height, weights, false);
    QImage out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.setPixel(x, y, qRgba(255, 255, 255, qBound(0, qRound(alpha[y * width + x]), 255)));
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void paint(QImage &image, const QColor &colour)
{
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
}

bool opaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (std::any_of(line, line + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 255; }))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QColor colour;
    double deviation = 0;
    while (args.size() > 4 && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        const QString value = args.takeFirst();
        bool ok = false;
        if (option == QLatin1String("--colour")) {
            colour = QColor(value);
            ok = colour.isValid();
        } else if (option == QLatin1String("--blur")) {
            deviation = value.toDouble(&ok);
            ok = ok && deviation > 0 && deviation <= 64;
        } else {
            return fail(QStringLiteral("unknown option %1").arg(option));
        }
        if (!ok)
            return fail(QStringLiteral("bad value %1 for %2").arg(value, option));
    }
    if (args.size() != 4)
        return fail(QStringLiteral("usage: svg2png [--colour #[aa]rrggbb] [--blur deviation] input.svg output.png "
                                   "width height"));

    const QString input = args[0];
    const QString output = args[1];
    const int width = parseSide(args[2]);
    const int height = parseSide(args[3]);
    if (width == 0 || height == 0)
        return fail(QStringLiteral("width and height must be whole numbers from 1 to 8192"));

    QSvgRenderer renderer(input);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(input));

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    if (deviation > 0)
        image = blurred(image, deviation);
    if (colour.isValid())
        paint(image, colour);
    if (opaque(image))
        image = image.convertToFormat(QImage::Format_RGB32);

    if (!image.save(output, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(output));
    return 0;
}
