#include "Translation.h"

#include "LogCategories.h"

#include <QCoreApplication>

namespace {

const QString TranslationFile = QStringLiteral(":/qml/translations/Quillon_el_GR.qm");

} // namespace

bool Translation::apply(const QLocale& locale)
{
    if (m_translator.isEmpty()) {
        qCInfo(lcGUIManager).noquote().nospace() << "Loading translation file : " << TranslationFile;
        if (!m_translator.load(TranslationFile)) {
            qCCritical(lcGUIManager).noquote().nospace() << "ERROR: Failed to load translation file";
            return false;
        }
    }
    if (locale.language() == QLocale::English) {
        QCoreApplication::removeTranslator(&m_translator);
    } else if (!QCoreApplication::installTranslator(&m_translator)) {
        qCCritical(lcGUIManager).noquote().nospace() << "ERROR: Failed to install translator";
        return false;
    }
    QLocale::setDefault(locale);
    return true;
}
