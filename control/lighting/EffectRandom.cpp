#include "EffectRandom.h"

#include "EffectClock.h"

EffectRandom::EffectRandom(int module)
{
    seed(module);
}

void EffectRandom::seed(int module)
{
    m_generator.seed(static_cast<unsigned int>(EffectClock::msecsSinceMidnight() + module));
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
