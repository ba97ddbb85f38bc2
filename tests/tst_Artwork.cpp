// Every image the pages name resolves in the resources and draws something,
// and nothing but rasters and icons is shipped beside them.

#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QtTest>

class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    void everyImageDraws();
};

void tst_Artwork::everyImageDraws()
{
    // Named in full, or as a menu icon by its file name.
    const QRegularExpression named(QStringLiteral("qrc(:/qml/images/[^\"]+\\.(png|svg))\"|icon: \"([^\"/:]+\\.svg)\""));
    QSet<QString> referenced;
    QDirIterator pages(QStringLiteral(":/qml"), {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
    while (pages.hasNext()) {
        QFile page(pages.next());
        QVERIFY(page.open(QIODevice::ReadOnly));
        auto it = named.globalMatch(QString::fromUtf8(page.readAll()));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            referenced << (m.captured(1).isEmpty() ? ":/qml/images/Icons/" + m.captured(3) : m.captured(1));
        }
    }
    QVERIFY(referenced.size() > 20);

    QDirIterator it(QStringLiteral(":/qml/images"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        referenced.remove(path);
        QImage image(64, 64, QImage::Format_ARGB32);
        if (path.endsWith(QLatin1String(".png"))) {
            image = QImage(path).convertToFormat(QImage::Format_ARGB32);
        } else {
            QVERIFY2(path.endsWith(QLatin1String(".svg")), qPrintable(path + " is not artwork"));
            QSvgRenderer renderer(path);
            QVERIFY2(renderer.isValid(), qPrintable(path));
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
        }
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) != 0;
        QVERIFY2(drawn, qPrintable(path + " draws nothing"));
    }
    QVERIFY2(referenced.isEmpty(), qPrintable(QStringList(referenced.values()).join(", ") + " missing"));
}

QTEST_GUILESS_MAIN(tst_Artwork)
#include "tst_Artwork.moc"
