#include "ScriptBuilder.h"

#include <QDebug>

namespace {

bool isPosition(int position)
{
    return position >= 0 && position < ScriptBuilder::kPositions;
}

} // namespace

ScriptBuilder::ScriptBuilder(int clearBrightness)
    : m_clearBrightness(clearBrightness)
{
    clear();
}

ScriptBuilder::Palette ScriptBuilder::hueWheel()
{
    return {{{0, 127, 255}, {0, 255, 255}, {0, 255, 127}, {0, 255, 0},
             {127, 255, 0}, {255, 255, 0}, {255, 127, 0}, {255, 0, 0},
             {255, 0, 127}, {255, 0, 255}, {127, 0, 255}, {0, 0, 255}}};
}

std::array<ScriptBuilder::Colour, ScriptBuilder::kCometEntries> ScriptBuilder::cometLevels(const Colour &colour)
{
    std::array<Colour, kCometEntries> levels;
    for (int entry = 0; entry < kCometEntries; ++entry) {
        const int sixths = kCometEntries - entry;
        levels[entry] = {colour.red * sixths / 6, colour.green * sixths / 6, colour.blue * sixths / 6};
    }
    return levels;
}

void ScriptBuilder::clear()
{
    for (int p = 0; p < kPositions; ++p) {
        m_step.red[p] = 0;
        m_step.green[p] = 0;
        m_step.blue[p] = 0;
        m_step.brightness[p] = m_clearBrightness;
    }
}

void ScriptBuilder::setLed(int position, const Colour &colour, int brightness)
{
    // Shapes run past the ends on purpose (a comet leaving the strip); those parts are not drawn.
    if (!isPosition(position))
        return;
    m_step.red[position] = colour.red;
    m_step.green[position] = colour.green;
    m_step.blue[position] = colour.blue;
    m_step.brightness[position] = brightness;
}

void ScriptBuilder::clearLed(int position)
{
    setLed(position, Colour(), m_clearBrightness);
}

void ScriptBuilder::fill(const Colour &colour)
{
    for (int p = 0; p < kPositions; ++p)
        setLed(p, colour);
}

void ScriptBuilder::paintBackground(const Colour &colour)
{
    if (colour.isBlack())
        clear();
    else
        fill(colour);
}

void ScriptBuilder::loadPalette(const Palette &palette)
{
    for (int p = 0; p < kPositions; ++p)
        setLed(p, palette[p]);
}

void ScriptBuilder::alternate(const Colour &even, const Colour &odd, int phase)
{
    clear();
    for (int p = 0; p < kPositions; ++p) {
        const Colour &colour = (p + phase) % 2 == 0 ? even : odd;
        if (!colour.isBlack())
            setLed(p, colour);
    }
}

void ScriptBuilder::append(int times)
{
    for (int i = 0; i < times; ++i)
        m_list.append(m_step);
}

void ScriptBuilder::appendDark(int times)
{
    clear();
    append(times);
}

void ScriptBuilder::fade(int first, int last, int step, const PaintValue &paint)
{
    if (step == 0)
        return;
    for (int value = first; step > 0 ? value <= last : value >= last; value += step) {
        paint(value);
        append();
    }
}

void ScriptBuilder::fadeUniform(int first, int last, int step, const Colour &unit)
{
    fade(first, last, step, [this, &unit](int value) {
        fill({unit.red * value, unit.green * value, unit.blue * value});
    });
}

void ScriptBuilder::walker(int first, int last, const ColourAt &litColour, const Colour &background)
{
    const int direction = last >= first ? 1 : -1;
    for (int position = first;; position += direction) {
        paintBackground(background);
        setLed(position, litColour(position));
        append();
        paintBackground(background);
        append();
        if (position == last)
            break;
    }
}

void ScriptBuilder::mirrorWalk(const Colour &up, const Colour &down, const Colour &tint, bool darkAfterEach)
{
    for (int i = 0; i < kPositions; ++i) {
        clear();
        if (i == 0 || i == 5) {
            setLed(i, tint);
        } else {
            setLed(i, up);
            setLed(kPositions - 1 - i, down);
        }
        append();
        if (darkAfterEach)
            appendDark();
    }
}

void ScriptBuilder::shortComet(const Colour &head, const Colour &second, const Colour &third)
{
    const int lastHead = kPositions + 1;
    for (int h = 0; h <= lastHead; ++h) {
        for (int p = 0; p < kPositions; ++p)
            setLed(p, Colour(), 0);
        setLed(h, head);
        setLed(h - 1, second);
        setLed(h - 2, third);
        append();
    }
}

void ScriptBuilder::moveComet(int trailEntries)
{
    for (int j = qMin(trailEntries, kCometEntries - 1); j >= 1; --j) {
        qDebug() << "jjjjj == " << j;
        m_body[j] = m_body[j - 1];
    }
    m_body[0] = (m_body[0] + 1) % kPositions;
}

void ScriptBuilder::restartComet()
{
    m_body.fill(0);
}

void ScriptBuilder::drawComet(const QVector<Colour> &levels)
{
    const int entries = qMin(levels.size(), kCometEntries);
    for (int n = 0; n < entries; ++n) {
        qDebug() << "rippleBody[" << n << "]:" << m_body[n];
        setLed(m_body[n], levels[n]);
    }
}

void ScriptBuilder::cometStep(const Colour &colour, const Colour &background)
{
    moveComet(kCometEntries - 1);
    paintBackground(background);
    const auto levels = cometLevels(colour);
    drawComet(QVector<Colour>(levels.begin(), levels.end()));
    append();
}

void ScriptBuilder::spotStep(const Colour &field)
{
    moveComet(kSpotEntries);
    fill(field);
    drawComet(QVector<Colour>(kSpotEntries, Colour()));
    append();
}
