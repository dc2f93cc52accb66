#include "HelloKV.h"

#include <QDebug>

namespace {

using Colour = ScriptBuilder::Colour;

const Colour kBlack{};
const Colour kRed{255, 0, 0};
const Colour kWhite{255, 255, 255};
const Colour kGreyUnit{1, 1, 1};

} // namespace

HelloKV::HelloKV(QObject *parent)
    : ScriptAnimation(parent)
    , m_wheel(ScriptBuilder::hueWheel())
{
    // White breathing, quicker each round.
    m_script.fadeUniform(0, 228, 19, kGreyUnit);
    m_script.fadeUniform(247, 19, -19, kGreyUnit);
    for (int round = 0; round < 2; ++round) {
        m_script.fadeUniform(0, 216, 36, kGreyUnit);
        m_script.fadeUniform(252, 36, -36, kGreyUnit);
    }
    for (int round = 0; round < 3; ++round) {
        m_script.fadeUniform(0, 170, 85, kGreyUnit);
        m_script.fadeUniform(255, 85, -85, kGreyUnit);
    }
    qDebug() << "First===userScriptList.count():" << m_script.steps().size();

    m_script.shortComet(kRed, {76, 0, 0}, {25, 0, 0});
    m_script.mirrorWalk(kRed, kWhite, {255, 127, 127}, false);

    const ScriptBuilder::ColourAt ownHue = [this](int position) { return m_wheel[position]; };
    m_script.walker(0, ScriptBuilder::kPositions - 1, ownHue, kBlack);
    m_script.walker(ScriptBuilder::kPositions - 1, 0, ownHue, kBlack);

    m_script.appendDark(3);
    m_script.loadPalette(m_wheel);
    m_script.append(2);
    m_script.appendDark(3);
    m_script.loadPalette(m_wheel);
    m_script.append(2);
    m_script.appendDark(2);
    m_script.fill(kRed);
    m_script.append(4);
    m_script.appendDark(2);
    m_script.fill(kWhite);
    m_script.append(4);

    // Every other hue, turning one position per step pair.
    ScriptBuilder::Palette oddHues{};
    for (int p = 1; p < ScriptBuilder::kPositions; p += 2)
        oddHues[p] = m_wheel[p];
    for (int shift = 0; shift < 2 * ScriptBuilder::kPositions; ++shift) {
        ScriptBuilder::Palette turned;
        for (int q = 0; q < ScriptBuilder::kPositions; ++q)
            turned[q] = oddHues[(shift + q) % ScriptBuilder::kPositions];
        m_script.loadPalette(turned);
        m_script.append(2);
    }
}
