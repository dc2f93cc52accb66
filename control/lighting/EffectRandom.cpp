#include "EffectRandom.h"

#include "EffectClock.h"


EffectRandom::EffectRandom(int module)
    : m_module(module)
{
    reseed();
}

void EffectRandom::reseed()
{
    m_generator.seed(static_cast<unsigned int>(EffectClock::msecsSinceMidnight() + m_module));
}

int EffectRandom::draw()
{
    return static_cast<int>(m_generator());
}

int EffectRandom::draw(int n)
{
    return n > 0 ? draw() % n : 0;
}

COLORREF EffectRandom::colour()
{
    const int red = draw(255);
    const int green = draw(255);
    const int blue = draw(255);
    return rgbColor(red, green, blue);
}
