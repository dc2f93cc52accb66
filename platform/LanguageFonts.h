// The fonts behind "Arial", which both programs name throughout their styles.
#pragma once

#include <QString>
#include <QStringList>

// Where Arial is missing, fontconfig gives a Latin stand-in and finds other scripts glyph
// by glyph. Chinese, Japanese and Korean share code points whose shapes differ by region,
// and fontconfig picks the region from the system locale rather than from the language
// the program shows. Naming the region's family right after the Latin stand-in keeps the
// Latin look and line heights and gives each language its own forms.
class LanguageFonts
{
public:
    // The families Arial resolves to for a language (0..9; any other counts as English),
    // given the family that Arial alone resolves to.
    static QStringList arialFamilies(int language, const QString &latinFamily);

    // Makes Arial resolve that way from now on, also for the widgets already shown, so
    // that a language chosen at run time takes its fonts at once.
    static void use(int language);
};
