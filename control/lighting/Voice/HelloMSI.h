// Greeting 6: a dark spot over red, a red mirror walk, red breaths and flashes, a red comet
// (120 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloMSI : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloMSI(QObject *parent = nullptr);
};
