// Greeting 4: a red comet over white, a dark spot over red, red walkers over white (96 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloASUSROG : public QObject
{
    Q_OBJECT
public:
    explicit HelloASUSROG(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder m_script;
};
