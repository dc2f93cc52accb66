#include "HelloMSI.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kRed{255, 0, 0};
const Colour kRedUnit{1, 0, 0};

} // namespace

HelloMSI::HelloMSI(QObject *parent)
    : ScriptAnimation(parent)
{
    const int twoRounds = 2 * ScriptBuilder::kPositions;
    for (int i = 0; i < twoRounds; ++i)
        m_script.spotStep(kRed);

    m_script.mirrorWalk(kRed, kRed, kRed, false);

    for (int round = 0; round < 2; ++round) {
        m_script.fadeUniform(0, 228, 19, kRedUnit);
        m_script.fadeUniform(156, 12, -12, kRedUnit);
    }

    for (int round = 0; round < 2; ++round) {
        for (int p = 0; p < ScriptBuilder::kPositions; ++p)
            m_script.setLed(p, Colour(), 0);
        m_script.append(2);
        m_script.fill(kRed);
        m_script.append(2);
    }

    // The comet picks up head and trail where the spot left them.
    for (int i = 0; i < twoRounds; ++i)
        m_script.cometStep(kRed);
}
