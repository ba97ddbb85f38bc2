#pragma once

#include <QLocale>
#include <QTranslator>

// The Greek catalogue, installed for any language but English.
class Translation
{
public:
    // Makes `locale` the application's language; false when its texts cannot be had.
    bool apply(const QLocale& locale);

private:
    QTranslator m_translator;
};
