#include "HelloASUSROG.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kRed{255, 0, 0};
const Colour kWhite{255, 255, 255};

} // namespace

HelloASUSROG::HelloASUSROG(QObject *parent)
    : ScriptAnimation(parent)
{
    const int twoRounds = 2 * ScriptBuilder::kPositions;
    for (int i = 0; i < twoRounds; ++i)
        m_script.cometStep(kRed, kWhite);
    // The spot carries on from where the comet's head stands.
    for (int i = 0; i < twoRounds; ++i)
        m_script.spotStep(kRed);

    const ScriptBuilder::ColourAt red = [](int) { return kRed; };
    m_script.walker(0, ScriptBuilder::kPositions - 1, red, kWhite);
    m_script.walker(ScriptBuilder::kPositions - 1, 0, red, kWhite);
}
