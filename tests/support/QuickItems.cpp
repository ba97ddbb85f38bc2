#include "QuickItems.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace QuickItems {

QQuickItem* find(QQuickItem* root, const QString& name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem* child : root->childItems()) {
        if (QQuickItem* found = find(child, name))
            return found;
    }
    return nullptr;
}

QQuickItem* page(QQuickWindow* window, const QString& screen)
{
    QQuickItem* loader = find(window->contentItem(), QStringLiteral("page_") + screen);
    return loader ? loader->property("item").value<QQuickItem*>() : nullptr;
}

QRect sceneRect(const QQuickItem* item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height())).toRect();
}

int countColour(const QImage& image, const QRect& rect, const QColor& colour)
{
    int count = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 24 && qAbs(c.green() - colour.green()) < 24
                && qAbs(c.blue() - colour.blue()) < 24)
                ++count;
        }
    }
    return count;
}

void tapClock(QQuickWindow* window)
{
    QQuickItem* clock = find(window->contentItem(), QStringLiteral("clock"));
    if (!clock)
        return;
    const QPoint centre = sceneRect(clock).center();
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre);
}

} // namespace QuickItems
