// What every greeting animation is: an object whose constructor paints its steps with a
// script builder; the engine only ever reads the finished list.
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class ScriptAnimation : public QObject
{
    Q_OBJECT
public:
    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

protected:
    // clearBrightness: what *clear* leaves in every position's brightness.
    explicit ScriptAnimation(QObject *parent, int clearBrightness = ScriptBuilder::kFullBrightness);

    ScriptBuilder m_script;
};
