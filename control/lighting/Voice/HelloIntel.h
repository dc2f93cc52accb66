// Greeting 1: a blue and white mirror walk, a blue breath, then steady blue (70 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloIntel : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloIntel(QObject *parent = nullptr);
};
