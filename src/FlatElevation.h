#pragma once

#include <QQmlAbstractUrlInterceptor>
#include <QUrl>

// Material's buttons, switches, lists, bars and popups draw themselves through
// a layer and an elevation effect, which is a shader: Qt Quick's software
// renderer, the only one on a board without a GPU, draws nothing of them (a
// button without its fill, a switch without its handle, the tool bar without
// its bar). The engine loads a flat effect of our own in its place, which shows
// the layer as it is without a shadow, the same under either renderer.
class FlatElevation : public QQmlAbstractUrlInterceptor
{
public:
    static const QUrl Replacement;

    QUrl intercept(const QUrl& url, DataType type) override;
};
