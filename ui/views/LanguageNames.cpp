#include "LanguageNames.h"

#include <QCoreApplication>

namespace LanguageNames {

const char *code(int language)
{
    // Not the catalogue suffixes: the two Chinese entries are keyed "tc" and "sc".
    static const char *const codes[kCount] = {"en", "tc", "sc", "de", "fr", "jp", "th", "ru", "kr", "es"};
    return language >= 0 && language < kCount ? codes[language] : nullptr;
}

QString translatedCode(const char *context, int language)
{
    const char *key = code(language);
    return QCoreApplication::translate(context, key ? key : code(0));
}

} // namespace LanguageNames
