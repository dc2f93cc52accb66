// Greeting 0: white breathing, a red comet and mirror walk, then the hue wheel walked,
// flashed and turned (216 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloKV : public QObject
{
    Q_OBJECT
public:
    explicit HelloKV(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder::Palette m_wheel;
    ScriptBuilder m_script;
};
