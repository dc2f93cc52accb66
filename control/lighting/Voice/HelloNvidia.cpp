#include "HelloNvidia.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kBlack{};
const Colour kGreen{0, 255, 0};

} // namespace

HelloNvidia::HelloNvidia(QObject *parent)
    : ScriptAnimation(parent)
{
    const ScriptBuilder::ColourAt green = [](int) { return kGreen; };
    m_script.walker(0, ScriptBuilder::kPositions - 1, green, kBlack);
    m_script.walker(ScriptBuilder::kPositions - 1, 0, green, kBlack);
    m_script.shortComet(kGreen, {0, 76, 0}, {0, 25, 0});
    for (int i = 0; i < 2 * ScriptBuilder::kPositions; ++i)
        m_script.spotStep(kGreen);
}
