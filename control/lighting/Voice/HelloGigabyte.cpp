#include "HelloGigabyte.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kOrange{255, 97, 0};
const Colour kFlashOrange{255, 95, 0};
const Colour kBlue{0, 0, 255};

} // namespace

HelloGigabyte::HelloGigabyte(QObject *parent)
    : ScriptAnimation(parent)
{
    for (int i = 0; i < 2 * ScriptBuilder::kPositions; ++i)
        m_script.cometStep(kOrange);
    m_script.mirrorWalk(kOrange, kBlue, {127, 48, 127}, false);
    for (int round = 0; round < 3; ++round) {
        m_script.appendDark(2);
        m_script.alternate(kFlashOrange, kBlue);
        m_script.append(2);
    }
}
