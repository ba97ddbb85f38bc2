#pragma once

#include <QObject>
#include <QVariantMap>

// The central application object.
class GUIManager : public QObject
{
    Q_OBJECT
public:
    // Every configuration key with its typed default.
    static const QVariantMap Defaults;
};
