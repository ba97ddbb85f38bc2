#include "FlatElevation.h"

const QUrl FlatElevation::Replacement(QStringLiteral("qrc:/qml/controls/FlatElevation.qml"));

QUrl FlatElevation::intercept(const QUrl& url, DataType type)
{
    if (type == QmlFile && url.path().endsWith(QLatin1String("/QtQuick/Controls.2/Material/ElevationEffect.qml")))
        return Replacement;
    return url;
}
