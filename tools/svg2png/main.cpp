// svg2png input.svg output.png width height
//
// Renders the whole SVG document stretched over width x height pixels on a
// transparent canvas and writes it as PNG. The sources draw their letters as
// paths, so no font, display or application object is needed.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "svg2png: %s\n", qUtf8Printable(message));
    return 1;
}

int parseSide(const char *arg)
{
    bool ok = false;
    const int value = QByteArray(arg).toInt(&ok);
    return ok && value > 0 && value <= 8192 ? value : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5)
        return fail(QStringLiteral("usage: svg2png input.svg output.png width height"));

    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const int width = parseSide(argv[3]);
    const int height = parseSide(argv[4]);
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

    if (!image.save(output, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(output));
    return 0;
}
