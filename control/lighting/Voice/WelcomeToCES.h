// Greeting 7: a hue-wheel comet, red/blue/white bands filling in, then turning (60 steps).
#pragma once

#include "ScriptAnimation.h"

class WelcomeToCES : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit WelcomeToCES(QObject *parent = nullptr);

private:
    ScriptBuilder::Palette m_wheel;
};
