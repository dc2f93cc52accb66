// Greeting 0: white breathing, a red comet and mirror walk, then the hue wheel walked,
// flashed and turned (216 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloKV : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloKV(QObject *parent = nullptr);

private:
    ScriptBuilder::Palette m_wheel;
};
