#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

class QObject;
class QQmlEngine;
class QQuickItem;
class QQuickWindow;

// Lookups and pixel checks on a live Qt Quick scene.
namespace QuickItems {

// First item named `name` in the item tree under `root` (Repeater delegates
// are not QObject children of their parent, so the item tree is walked).
QQuickItem* find(QQuickItem* root, const QString& name);
// The page a main window's loader shows for a screen name.
QQuickItem* page(QQuickWindow* window, const QString& screen);
QRect sceneRect(const QQuickItem* item);
// Pixels in `rect` within a small distance of `colour`.
int countColour(const QImage& image, const QRect& rect, const QColor& colour);
// Three quick taps on the header clock.
void tapClock(QQuickWindow* window);
// A click of the X server's pointer on `item`, as a finger would give it.
bool pointerClick(QQuickItem* item);
// An object the pages reach by name ("sessionManager", "network", ...).
QObject* contextObject(QQmlEngine& engine, const char* name);
// The on-screen keyboard's key that types `text` or sends `key`.
QQuickItem* keyboardKey(QQuickItem* keyboard, const QString& text, int key = 0);
// What a finger or an eye finds of `root` inside `area` (scene coordinates):
// the controls that take a touch and the texts, as far as the items they sit
// in let them show; each named by its object name or class and text.
QStringList shownIn(QQuickItem* root, const QRect& area);

} // namespace QuickItems
