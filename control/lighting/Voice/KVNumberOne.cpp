#include "KVNumberOne.h"

namespace {

using Colour = ScriptBuilder::Colour;

Colour dimmedToTenth(const Colour &colour)
{
    return {int(colour.red * 0.1), int(colour.green * 0.1), int(colour.blue * 0.1)};
}

} // namespace

KVNumberOne::KVNumberOne(QObject *parent)
    : ScriptAnimation(parent)
    , m_wheel(ScriptBuilder::hueWheel())
{
    const int positions = ScriptBuilder::kPositions;
    const int half = positions / 2;

    // One hue and its opposite at full strength, the rest at a tenth.
    for (int i = 0; i < positions; ++i) {
        m_script.loadPalette(m_wheel);
        for (int p = 0; p < positions; ++p) {
            if (p != i && p != i - half && p != i + half)
                m_script.setLed(p, dimmedToTenth(m_wheel[p]));
        }
        m_script.append();
    }

    // Only a position and its mirror image keep their hue.
    for (int i = 0; i < positions; ++i) {
        m_script.loadPalette(m_wheel);
        for (int p = 0; p < positions; ++p) {
            if (p != i && p != positions - 1 - i)
                m_script.setLed(p, Colour(), 0);
        }
        m_script.append();
    }

    // Lights fall from the top one after another and stack up from position 0.
    m_script.clear();
    for (int i = 0; i < positions; ++i) {
        for (int p = positions - 1; p >= i; --p) {
            m_script.setLed(p, m_wheel[p]);
            m_script.clearLed(p + 1);
            m_script.append();
        }
    }
}
