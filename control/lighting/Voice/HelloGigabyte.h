// Greeting 5: an orange comet, an orange and blue mirror walk, orange/blue flashes (48 steps).
#pragma once

#include "ScriptAnimation.h"

class HelloGigabyte : public ScriptAnimation
{
    Q_OBJECT
public:
    explicit HelloGigabyte(QObject *parent = nullptr);
};
