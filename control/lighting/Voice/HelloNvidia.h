// Greeting 3: green walkers, a green comet and a dark spot over green (86 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloNvidia : public QObject
{
    Q_OBJECT
public:
    explicit HelloNvidia(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder m_script;
};
