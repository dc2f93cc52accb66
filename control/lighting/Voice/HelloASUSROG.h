// Greeting 4: a red comet over white, a dark spot over red, red walkers over white (96 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloASUSROG : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloASUSROG(QObject *parent = nullptr);
};
