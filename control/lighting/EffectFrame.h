// A module's frame as the effects see it: at most the five driven LEDs of the buffer
// they were given. Reads outside it give black and writes outside it are dropped, so no
// counter or list item can make an effect touch memory beyond the frame.
#pragma once

#include "LightingTypes.h"

class EffectFrame
{
public:
    EffectFrame(COLORREF *leds, int count);

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    bool contains(int led) const { return led >= 0 && led < m_size; }

    COLORREF at(int led) const { return contains(led) ? m_leds[led] : 0; }
    void set(int led, COLORREF colour);
    void fill(COLORREF colour);
    // LED 4's colour to LED 0, every other colour one place up.
    void rotateUp();

private:
    COLORREF *m_leds;
    int m_size;
};
