#pragma once

#include <QByteArray>
#include <QString>

// Credentials kept out of what is logged or shown: members named like a
// password or a PIN, and the password part of URLs.
class Secrets
{
public:
    static const QString Mask;

    static bool isSecretName(const QString& name);
    // The text with every "scheme://user:password@" reduced to "scheme://user@".
    static QString withoutUrlPasswords(const QString& text);
    // A JSON payload with secret members masked and URL passwords removed;
    // anything else with URL passwords removed. Unchanged bytes when there
    // is nothing to hide.
    static QByteArray redacted(const QByteArray& payload);
};
