#pragma once

#include <QDebug>
#include <QString>

namespace manager {

// A class's tag in front of each line it logs; the text follows as written,
// without the quotes and spaces QDebug adds by default.
class Log
{
public:
    explicit Log(const QString& tag);

    QDebug debug() const;
    QDebug info() const;
    QDebug warning() const;
    QDebug critical() const;
    const QString& tag() const;

private:
    QString m_tag;
};

} // namespace manager
