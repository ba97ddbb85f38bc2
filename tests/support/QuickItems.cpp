#include "QuickItems.h"

#include <QProcess>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace QuickItems {

namespace {

// Flickables take a touch all over, to scroll: what they hold counts instead.
bool takesTouchOrShowsText(const QQuickItem* item)
{
    if (item->acceptedMouseButtons() != Qt::NoButton && item->isEnabled() && !item->inherits("QQuickFlickable"))
        return true;
    return item->inherits("QQuickText") && !item->property("text").toString().isEmpty();
}

void collectShown(QQuickItem* item, QRectF visible, const QRect& area, QStringList* found)
{
    if (!item->isVisible() || item->opacity() <= 0)
        return;
    const QRectF rect = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    if (item->clip())
        visible = visible.intersected(rect);
    if (takesTouchOrShowsText(item) && rect.intersected(visible).intersects(area)) {
        const QString text = item->property("text").toString();
        *found << (item->objectName().isEmpty() ? QLatin1String(item->metaObject()->className()) : item->objectName())
                      + (text.isEmpty() ? QString() : QStringLiteral(" \"") + text + QLatin1Char('"'));
    }
    for (QQuickItem* child : item->childItems())
        collectShown(child, visible, area, found);
}

} // namespace

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

bool pointerClick(QQuickItem* item)
{
    if (!item || !item->window())
        return false;
    const QPoint at = item->window()->mapToGlobal(sceneRect(item).center());
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                                        QString::number(at.x()), QString::number(at.y()),
                                                        QStringLiteral("click"), QStringLiteral("1")}) == 0;
}

QObject* contextObject(QQmlEngine& engine, const char* name)
{
    return engine.rootContext()->contextProperty(QLatin1String(name)).value<QObject*>();
}

QQuickItem* keyboardKey(QQuickItem* keyboard, const QString& text, int key)
{
    if (!keyboard)
        return nullptr;
    const QVariant keyCode = keyboard->property("key");
    const auto shows = [&](const char* name) {
        return keyboard->property(name).toString().compare(text, Qt::CaseInsensitive) == 0;
    };
    if (keyboard->isVisible() && keyCode.isValid() && (key ? keyCode.toInt() == key : shows("text") || shows("displayText")))
        return keyboard;
    for (QQuickItem* child : keyboard->childItems()) {
        if (QQuickItem* found = keyboardKey(child, text, key))
            return found;
    }
    return nullptr;
}

QStringList shownIn(QQuickItem* root, const QRect& area)
{
    QStringList found;
    if (root)
        collectShown(root, QRectF(-1e6, -1e6, 2e6, 2e6), area, &found);
    return found;
}

} // namespace QuickItems
