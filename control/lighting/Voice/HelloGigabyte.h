// Greeting 5: an orange comet, an orange and blue mirror walk, orange/blue flashes (48 steps).
#pragma once

#include "ScriptBuilder.h"

#include <QObject>

class HelloGigabyte : public QObject
{
    Q_OBJECT
public:
    explicit HelloGigabyte(QObject *parent = nullptr);

    const QVector<ScriptStep> &userScriptList() const { return m_script.steps(); }

private:
    ScriptBuilder m_script;
};
