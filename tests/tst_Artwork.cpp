// The artwork the pages load from the resources: every image is there under
// its exact name, decodes, has the size the layouts rely on, and nothing else
// (in particular no artwork source) ends up next to it.

#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QtTest>

namespace {

struct Raster
{
    QString path;
    QSize size;
};

const QString kRoot = QStringLiteral(":/qml/images/");

QList<Raster> rasters()
{
    QList<Raster> list{{"background.png", {480, 800}},
                       {"Flags/gr.png", {200, 200}},
                       {"Flags/uk.png", {200, 200}},
                       {"Icons/kivo.png", {300, 300}},
                       {"Icons/menu.png", {48, 48}}};
    for (int i = 0; i <= 6; ++i)
        list.append({QStringLiteral("NFC/%1.png").arg(i), {360, 360}});
    for (int i = 0; i <= 8; ++i)
        list.append({QStringLiteral("Barcode/%1.png").arg(i), {360, 360}});
    return list;
}

const QStringList kIcons{"valid.svg",   "warning.svg",  "invalid.svg",      "retry.svg",
                         "qr-code.svg", "nfc.svg",      "lock.svg",         "ticket.svg",
                         "diagnostic.svg", "region.svg", "audio.svg",       "brightness-2.svg",
                         "network.svg", "update.svg",   "log.svg",          "chevron-left.svg",
                         "arrow-right.svg", "search.svg", "clock.svg",      "trash.svg"};

QImage load(const QString &path)
{
    return QImage(kRoot + path).convertToFormat(QImage::Format_ARGB32);
}

bool transparentIn(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

} // namespace

class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    void resourcesHoldExactlyTheArtwork();
    void rastersDecodeAtTheirSize();
    void iconsRenderSomething();
    void backgroundIsOpaque();
    void flagsAndLogoAreCutOut();
    void animationsMoveAndLeaveThePromptCornerFree();
};

void tst_Artwork::resourcesHoldExactlyTheArtwork()
{
    QSet<QString> expected;
    for (const Raster &r : rasters())
        expected.insert(r.path);
    for (const QString &icon : kIcons)
        expected.insert("Icons/" + icon);

    QSet<QString> found;
    QDirIterator it(kRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found.insert(it.next().mid(kRoot.size()));

    QCOMPARE(found - expected, QSet<QString>());
    QCOMPARE(expected - found, QSet<QString>());
}

void tst_Artwork::rastersDecodeAtTheirSize()
{
    for (const Raster &r : rasters()) {
        const QImage image = load(r.path);
        QVERIFY2(!image.isNull(), qPrintable(r.path));
        QCOMPARE(image.size(), r.size);
    }
}

void tst_Artwork::iconsRenderSomething()
{
    for (const QString &icon : kIcons) {
        QSvgRenderer renderer(kRoot + "Icons/" + icon);
        QVERIFY2(renderer.isValid(), qPrintable(icon));
        QVERIFY2(!renderer.defaultSize().isEmpty(), qPrintable(icon));

        QImage image(64, 64, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        QVERIFY2(!transparentIn(image, image.rect()), qPrintable(icon + " draws nothing"));
    }
}

void tst_Artwork::backgroundIsOpaque()
{
    const QImage image = load("background.png");
    for (const QPoint &p : {QPoint(0, 0), QPoint(479, 0), QPoint(240, 400), QPoint(0, 799), QPoint(479, 799)})
        QCOMPARE(qAlpha(image.pixel(p)), 255);
}

void tst_Artwork::flagsAndLogoAreCutOut()
{
    // The flags sit on the accent-coloured round button and the logo on any
    // screen-saver colour: outside their shapes they must be see-through.
    for (const QString &path : {QStringLiteral("Flags/gr.png"), QStringLiteral("Flags/uk.png")}) {
        const QImage image = load(path);
        QVERIFY2(transparentIn(image, QRect(0, 0, 40, 40)), qPrintable(path));
        QVERIFY2(transparentIn(image, QRect(160, 160, 40, 40)), qPrintable(path));
        QCOMPARE(qAlpha(image.pixel(100, 100)), 255);
    }
    const QImage logo = load("Icons/kivo.png");
    QVERIFY(transparentIn(logo, QRect(0, 0, 30, 30)));
    QVERIFY(transparentIn(logo, QRect(270, 270, 30, 30)));
}

void tst_Artwork::animationsMoveAndLeaveThePromptCornerFree()
{
    // The idle page prints its prompt over the top right corner of the frame.
    const QRect promptCorner(281, 0, 79, 90);
    for (const QString &anim : {QStringLiteral("NFC/%1.png"), QStringLiteral("Barcode/%1.png")}) {
        const int frames = anim.startsWith("NFC") ? 7 : 9;
        QImage previous;
        for (int i = 0; i < frames; ++i) {
            const QString path = anim.arg(i);
            const QImage frame = load(path);
            QVERIFY2(transparentIn(frame, promptCorner), qPrintable(path));
            QVERIFY2(frame != previous, qPrintable(path + " repeats the frame before"));
            previous = frame;
        }
    }
}

QTEST_GUILESS_MAIN(tst_Artwork)
#include "tst_Artwork.moc"
