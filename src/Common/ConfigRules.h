#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>

// What a store's owner allows: a key's check refuses a value wherever it
// comes from (the file, a change set, a setter); a secret key is never
// printed nor handed out. Keys without a check take any value.
struct ConfigRules {
    using Check = std::function<bool(const QVariant& value)>;

    QHash<QString, Check> checks;
    QSet<QString> secrets;
};
