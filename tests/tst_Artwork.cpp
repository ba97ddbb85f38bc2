// The artwork the pages load from the resources: every image draws, nothing
// else (in particular no artwork source) ends up next to it, and the images
// are cut out where the layouts put something over them.

#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

const QString kRoot = QStringLiteral(":/qml/images/");

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
    void everyImageDraws();
    void backgroundIsOpaque();
    void flagsAndLogoAreCutOut();
    void animationsMoveAndLeaveThePromptCornerFree();
};

// Only rasters and icons are shipped, and each of them draws something.
void tst_Artwork::everyImageDraws()
{
    QDirIterator it(kRoot, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        ++files;
        QImage image;
        if (path.endsWith(QLatin1String(".png"))) {
            image = QImage(path).convertToFormat(QImage::Format_ARGB32);
        } else {
            QVERIFY2(path.endsWith(QLatin1String(".svg")), qPrintable(path + " is not artwork"));
            QSvgRenderer renderer(path);
            QVERIFY2(renderer.isValid(), qPrintable(path));
            image = QImage(64, 64, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
        }
        QVERIFY2(!image.isNull() && !transparentIn(image, image.rect()), qPrintable(path + " draws nothing"));
    }
    QVERIFY(files > 0);
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
        QImage previous;
        QVERIFY(QFile::exists(kRoot + anim.arg(1)));
        for (int i = 0; QFile::exists(kRoot + anim.arg(i)); ++i) {
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
