#include "HelloAMD.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kBlack{};
const Colour kOrange{255, 95, 0};
const Colour kGreen{0, 255, 0};

} // namespace

HelloAMD::HelloAMD(QObject *parent)
    : ScriptAnimation(parent, 0)
{
    const int twoRounds = 2 * ScriptBuilder::kPositions;
    m_script.appendDark();

    for (int phase = 0; phase < twoRounds; ++phase) {
        m_script.alternate(kOrange, kBlack, phase);
        m_script.append(2);
    }

    for (int i = 0; i < ScriptBuilder::kPositions; ++i) {
        m_script.cometStep(kGreen);
        m_script.appendDark();
    }
    // The orange comet is a comet of its own: it sets off from position 0 like the green one.
    m_script.restartComet();
    for (int i = 0; i < ScriptBuilder::kPositions; ++i) {
        m_script.cometStep(kOrange);
        m_script.appendDark();
    }

    for (int round = 0; round < 2; ++round)
        m_script.mirrorWalk(kOrange, kGreen, {127, 175, 0}, false);

    // Green on even positions, yellowing orange on odd ones, breathing twice.
    const auto paintTwoTone = [this](int green, int red, int redGreen) {
        for (int p = 0; p < ScriptBuilder::kPositions; ++p) {
            if (p % 2 == 0)
                m_script.setLed(p, {0, green, 0});
            else
                m_script.setLed(p, {red, redGreen, 0});
        }
    };
    const int fadeSteps = 13;
    for (int round = 0; round < 2; ++round) {
        for (int k = 0; k < fadeSteps; ++k) {
            paintTwoTone(19 * k, 19 * k, 7 * k);
            m_script.append();
        }
        for (int k = 0; k < fadeSteps; ++k) {
            paintTwoTone(156 - 12 * k, 156 - 12 * k, 52 - 4 * k);
            m_script.append();
        }
    }
}
