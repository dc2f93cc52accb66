// Greeting 2: orange and green chaser, comets, mirror walks and fades (173 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloAMD : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloAMD(QObject *parent = nullptr);
};
