// The pieces every greeting animation is made of: a scratch step that is painted and then
// appended as a copy, and the recurring shapes (fade, walker, mirror walk, comet, spot).
#pragma once

#include "../EngineState.h"

#include <QVector>

#include <array>
#include <functional>

class ScriptBuilder
{
public:
    struct Colour {
        int red = 0;
        int green = 0;
        int blue = 0;

        bool isBlack() const { return red == 0 && green == 0 && blue == 0; }
        bool operator==(const Colour &other) const
        {
            return red == other.red && green == other.green && blue == other.blue;
        }
    };
    using Palette = std::array<Colour, kLedSlots>;
    using PaintValue = std::function<void(int value)>;
    using ColourAt = std::function<Colour(int position)>;

    static constexpr int kPositions = kLedSlots;
    static constexpr int kCometEntries = 6; // the head and five trailing positions
    static constexpr int kSpotEntries = 3;  // the head and two trailing positions
    static constexpr int kFullBrightness = 100;

    // clearBrightness: what *clear* leaves in every position's brightness.
    explicit ScriptBuilder(int clearBrightness = kFullBrightness);

    // The twelve hues, position 0 to 11, from azure round to blue.
    static Palette hueWheel();
    // The six comet levels of a colour: each channel at 6/6, 5/6 ... 1/6, truncated.
    static std::array<Colour, kCometEntries> cometLevels(const Colour &colour);

    const QVector<ScriptStep> &steps() const { return m_list; }

    // --- Painting the scratch step ---
    void clear();
    void setLed(int position, const Colour &colour, int brightness = kFullBrightness);
    void clearLed(int position);
    void fill(const Colour &colour);
    // A black background is a cleared step, any other colour fills every position.
    void paintBackground(const Colour &colour);
    void loadPalette(const Palette &palette);
    // Even positions (counted from phase) in one colour, odd ones in the other; black stays cleared.
    void alternate(const Colour &even, const Colour &odd, int phase = 0);

    void append(int times = 1);
    void appendDark(int times = 1);

    // --- Shapes ---
    // One step per value from first towards last (inclusive, step may be negative);
    // paint draws the scratch step for the value, the step is appended after it.
    void fade(int first, int last, int step, const PaintValue &paint);
    // Every position in the channels of unit scaled to value: unit (1, 1, 1) is grey.
    void fadeUniform(int first, int last, int step, const Colour &unit);
    // One lit position moving from first to last (either direction) over background,
    // each lit step followed by a plain background step.
    void walker(int first, int last, const ColourAt &litColour, const Colour &background);
    // LED i in up, LED 11 - i in down; at i = 0 and i = 5 only LED i, in tint.
    void mirrorWalk(const Colour &up, const Colour &down, const Colour &tint, bool darkAfterEach);
    // A short comet whose head runs from position 0 to 13 (beyond the end it leaves the
    // positions one by one): head, one behind and two behind in the three colours.
    void shortComet(const Colour &head, const Colour &second, const Colour &third);

    // --- The wrapping comet: head and trail over the twelve positions ---
    // Shifts the first trailEntries trail entries back by one and advances the head.
    void moveComet(int trailEntries);
    // Puts head and trail back at position 0, where every comet starts.
    void restartComet();
    int cometPosition(int entry) const { return m_body[entry]; }
    // Draws the first levels.size() entries, head first, so a dimmer entry wins a shared position.
    void drawComet(const QVector<Colour> &levels);
    // Appends one step of the full comet of colour over background.
    void cometStep(const Colour &colour, const Colour &background);
    void cometStep(const Colour &colour) { cometStep(colour, Colour()); }
    // Appends one step of a dark spot (head and two trailing positions black) over a field.
    void spotStep(const Colour &field);

private:
    ScriptStep m_step;
    QVector<ScriptStep> m_list;
    int m_clearBrightness;
    // Entry 0 is the head, entries 1 to 5 the trail; all start at position 0.
    std::array<int, kCometEntries> m_body{};
};
