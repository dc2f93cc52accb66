// Greeting 2: orange and green chaser, comets, mirror walks and fades (173 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloAMD : public QObject
{
    Q_OBJECT
public:
    explicit HelloAMD(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder m_script;
};
