#include "ScriptAnimation.h"

ScriptAnimation::ScriptAnimation(QObject *parent, int clearBrightness)
    : QObject(parent)
    , m_script(clearBrightness)
{
}
