#pragma once

#include "Common/Log.h"

#include <QLocale>
#include <QTranslator>

// The Greek catalogue, installed for any language but English.
class Translation
{
public:
    explicit Translation(const manager::Log& log);

    // Makes `locale` the application's language; false when its texts cannot be had.
    bool apply(const QLocale& locale);

private:
    const manager::Log& m_log;
    QTranslator m_translator;
};
