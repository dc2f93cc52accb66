// Greeting 7: a hue-wheel comet, red/blue/white bands filling in, then turning (60 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class WelcomeToCES : public QObject
{
    Q_OBJECT
public:
    explicit WelcomeToCES(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder::Palette m_wheel;
    ScriptBuilder m_script;
};
