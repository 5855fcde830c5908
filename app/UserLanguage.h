#pragma once

#include "resources/Language.h"

#include <QStringList>

// Japanese when the first of the user's interface languages is Japanese,
// English otherwise. Qt reads them from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
Language LanguageOf(const QStringList& uiLanguages);
Language UserLanguage();
