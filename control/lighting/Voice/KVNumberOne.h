// Greeting 8: the hue wheel highlighted, mirrored, then stacked light by light (102 steps).
#pragma once

#include "ScriptAnimation.h"

class KVNumberOne : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit KVNumberOne(QObject *parent = nullptr);

private:
    ScriptBuilder::Palette m_wheel;
};
