// The translation keys by which the settings page and its list name the ten languages.
// Each key's English text is the language's own name.
#pragma once

#include <QString>

namespace LanguageNames {

constexpr int kCount = 10;

// "en", "tc", "sc", "de", "fr", "jp", "th", "ru", "kr", "es"; nullptr outside 0..9.
const char *code(int language);
// The key of `language` translated in `context`; a language outside 0..9 reads as English.
QString translatedCode(const char *context, int language);

} // namespace LanguageNames
