#include "app/UserLanguage.h"

#include <QLocale>

Language LanguageOf(const QStringList& uiLanguages)
{
    if (uiLanguages.isEmpty())
        return Language::English;
    const QLocale first(uiLanguages.first());
    return first.language() == QLocale::Japanese ? Language::Japanese : Language::English;
}

Language UserLanguage()
{
    return LanguageOf(QLocale::system().uiLanguages());
}
