#include "WelcomeToCES.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kRed{255, 0, 0};
const Colour kBlue{0, 0, 255};
const Colour kWhite{255, 255, 255};

// Four positions each of red, blue and white.
ScriptBuilder::Palette bands()
{
    ScriptBuilder::Palette band;
    for (int p = 0; p < ScriptBuilder::kPositions; ++p)
        band[p] = p < 4 ? kRed : p < 8 ? kBlue : kWhite;
    return band;
}

} // namespace

WelcomeToCES::WelcomeToCES(QObject *parent)
    : ScriptAnimation(parent)
    , m_wheel(ScriptBuilder::hueWheel())
{
    const int positions = ScriptBuilder::kPositions;

    // Each comet entry shows the hue of the position it stands on, dimmer towards the tail.
    for (int i = 0; i < 2 * positions; ++i) {
        m_script.moveComet(ScriptBuilder::kCometEntries - 1);
        m_script.clear();
        QVector<Colour> levels;
        for (int entry = 0; entry < ScriptBuilder::kCometEntries; ++entry) {
            const Colour hue = m_wheel[m_script.cometPosition(entry)];
            levels.append(ScriptBuilder::cometLevels(hue)[entry]);
        }
        m_script.drawComet(levels);
        m_script.append();
    }

    const ScriptBuilder::Palette band = bands();
    m_script.clear();
    for (int p = 0; p < positions; ++p) {
        m_script.setLed(p, band[p]);
        m_script.append();
    }

    for (int step = 0; step < 2 * positions; ++step) {
        for (int p = 0; p < positions; ++p)
            m_script.setLed(p, band[positions - 1 - (step + p) % positions]);
        m_script.append();
    }
}
