// Greeting 1: a blue and white mirror walk, a blue breath, then steady blue (70 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloIntel : public QObject
{
    Q_OBJECT
public:
    explicit HelloIntel(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder m_script;
};
