// Greeting 6: a dark spot over red, a red mirror walk, red breaths and flashes, a red comet
// (120 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloMSI : public QObject
{
    Q_OBJECT
public:
    explicit HelloMSI(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder m_script;
};
