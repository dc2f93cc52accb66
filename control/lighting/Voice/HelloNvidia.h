// Greeting 3: green walkers, a green comet and a dark spot over green (86 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloNvidia : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloNvidia(QObject *parent = nullptr);
};
