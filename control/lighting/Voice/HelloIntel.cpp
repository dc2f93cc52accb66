#include "HelloIntel.h"

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kBlue{0, 0, 255};
const Colour kWhite{255, 255, 255};
const Colour kPaleBlue{127, 127, 255};
const Colour kBlueChannel{0, 0, 1};

} // namespace

HelloIntel::HelloIntel(QObject *parent)
    : ScriptAnimation(parent)
{
    m_script.mirrorWalk(kBlue, kWhite, kPaleBlue, true);
    m_script.fadeUniform(0, 228, 12, kBlueChannel);
    m_script.fadeUniform(240, 12, -12, kBlueChannel);
    m_script.fill(kBlue);
    m_script.append(6);
}
