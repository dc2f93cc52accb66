#include "LightingTypes.h"

#include <cstring>

const char *languageCode(int language)
{
    static const char *const codes[LanguageCount] = {"en", "zh", "cn", "de", "fr", "jp", "th", "ru", "kr", "es"};
    if (language < 0 || language >= LanguageCount)
        return nullptr;
    return codes[language];
}

void setText(char (&field)[kTextSize], const char *text)
{
    std::memset(field, 0, kTextSize);
    if (!text)
        return;
    std::strncpy(field, text, kTextSize - 1);
}

void copyText(char (&target)[kTextSize], const char (&source)[kTextSize])
{
    std::memmove(target, source, kTextSize);
    target[kTextSize - 1] = '\0';
}

std::size_t textLength(const char (&field)[kTextSize])
{
    const void *end = std::memchr(field, 0, kTextSize);
    return end ? std::size_t(static_cast<const char *>(end) - field) : std::size_t(kTextSize);
}
