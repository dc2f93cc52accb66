// The lighting page's live preview: the colours each module's LEDs show right now, as the
// control program computed them, drawn as one bar per module in a box.
#pragma once

#include "LightingTypes.h"

#include <QList>
#include <QRect>

#include <array>

class QPainter;

class LightingPreview
{
public:
    // Where the modules stand: the slot number of each position, and how many positions
    // are shown (slotCount) and light (memoryCount, from position 0).
    struct Layout
    {
        std::array<int, kModuleCount> slotNumbers;
        int slotCount;
        int memoryCount;
    };

    // Copies the first five colours of each module now: the arrays belong to the sender.
    // A missing array leaves that module as it was.
    void setFrames(const QList<COLORREF *> &colours);
    const std::array<COLORREF, kDrivenLeds> &colours(int module) const;

    static QRect box(int slotCount);
    static QRect bar(int slotNumber, int slotCount);
    // The area the bars take, which is all that a new frame changes.
    static QRect barsArea(const Layout &layout);
    // Draws what lies in the dirty rectangle.
    void paint(QPainter &p, const QRect &dirty, const Layout &layout) const;

private:
    std::array<std::array<COLORREF, kDrivenLeds>, kModuleCount> m_colours{};
};
