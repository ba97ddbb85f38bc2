#include "Translation.h"

#include <QCoreApplication>

namespace {

const QString TranslationFile = QStringLiteral(":/qml/translations/Quillon_el_GR.qm");

} // namespace

Translation::Translation(const manager::Log& log)
    : m_log(log)
{
}

bool Translation::apply(const QLocale& locale)
{
    if (m_translator.isEmpty()) {
        m_log.info() << "Loading translation file : " << TranslationFile;
        if (!m_translator.load(TranslationFile)) {
            m_log.critical() << "ERROR: Failed to load translation file";
            return false;
        }
    }
    if (locale.language() == QLocale::English) {
        QCoreApplication::removeTranslator(&m_translator);
    } else if (!QCoreApplication::installTranslator(&m_translator)) {
        m_log.critical() << "ERROR: Failed to install translator";
        return false;
    }
    QLocale::setDefault(locale);
    return true;
}
