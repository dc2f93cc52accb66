// Greeting 8: the hue wheel highlighted, mirrored, then stacked light by light (102 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class KVNumberOne : public QObject
{
    Q_OBJECT
public:
    explicit KVNumberOne(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder::Palette m_wheel;
    ScriptBuilder m_script;
};
