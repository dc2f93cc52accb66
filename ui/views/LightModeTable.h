// The light modes as the lighting page knows them: names, which ones the mode pop-up
// offers, and which controls each mode uses.
#pragma once

#include <QList>
#include <QString>

class LightModeTable
{
public:
    static constexpr int kModeCount = 36;
    static constexpr int kSpeedCount = 4;

    // One entry of the colour drop-down: the untranslated text (translation key) and the
    // colour-mode number that Apply sends for it.
    struct ColorEntry
    {
        const char *source;
        int number;
    };

    struct Controls
    {
        QList<ColorEntry> colorEntries;
        bool colorEnabled = true;
        bool rgbEnabled = true;
        bool brightEnabled = true;
        bool speedFixed = false; // speed shows "Normal" and can't be changed
    };

    // Translation key of a mode's name, or nullptr for a number outside 0..35.
    static const char *sourceText(int mode);
    static bool isListed(int mode);
    // The modes the pop-up offers, in number order.
    static QList<int> listedModes();
    static Controls controlsFor(int mode);
    // Translation keys of the speed entries 0..3.
    static const char *speedText(int speed);
    // Every colour-drop-down text with the look it gives the pictures, whatever the mode:
    // "RGB" 0, "Single" 1, "OFF" 2, "Random" 3.
    static QList<ColorEntry> looks();
    // The look a picture takes for a colour-drop-down text: 0 per-LED, 1 single, 2 off, 3 random.
    static int lookOfSource(const char *source);
    // The entry of a mode's drop-down that stands for a stored colour mode: the one whose
    // number matches, the first when none does.
    static ColorEntry entryFor(int mode, int colorMode);
};
