#include "EffectFrame.h"

EffectFrame::EffectFrame(COLORREF *leds, int count)
    : m_leds(leds)
    , m_size(leds && count > 0 ? (count < kDrivenLeds ? count : kDrivenLeds) : 0)
{
}

void EffectFrame::set(int led, COLORREF colour)
{
    if (contains(led))
        m_leds[led] = colour;
}

void EffectFrame::fill(COLORREF colour)
{
    for (int k = 0; k < m_size; ++k)
        m_leds[k] = colour;
}

void EffectFrame::rotateUp()
{
    if (m_size < 2)
        return;
    const COLORREF last = m_leds[m_size - 1];
    for (int k = m_size - 1; k > 0; --k)
        m_leds[k] = m_leds[k - 1];
    m_leds[0] = last;
}
