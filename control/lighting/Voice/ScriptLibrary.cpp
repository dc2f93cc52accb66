#include "ScriptLibrary.h"

#include "HelloAMD.h"
#include "HelloASUSROG.h"
#include "HelloGigabyte.h"
#include "HelloIntel.h"
#include "HelloKV.h"
#include "HelloMSI.h"
#include "HelloNvidia.h"
#include "KVNumberOne.h"
#include "WelcomeToCES.h"

#include <QtGlobal>

namespace {

// The animation object only exists to build its list; the list is shared out and the
// object dropped, so repeated resets do not pile up objects.
template<typename Animation>
QVector<ScriptStep> stepsOf()
{
    const Animation animation;
    QVector<ScriptStep> steps = animation.userScriptList();
    steps.squeeze();
    return steps;
}

} // namespace

QVector<ScriptStep> ScriptLibrary::build(int helloIndex)
{
    switch (helloIndex) {
    case 0: return stepsOf<HelloKV>();
    case 1: return stepsOf<HelloIntel>();
    case 2: return stepsOf<HelloAMD>();
    case 3: return stepsOf<HelloNvidia>();
    case 4: return stepsOf<HelloASUSROG>();
    case 5: return stepsOf<HelloGigabyte>();
    case 6: return stepsOf<HelloMSI>();
    case 7: return stepsOf<WelcomeToCES>();
    case 8: return stepsOf<KVNumberOne>();
    default: return {};
    }
}

void ScriptLibrary::showStep(const ScriptStep &step, COLORREF *frame, int count)
{
    if (!frame)
        return;
    const int shown = qMin(count, kDrivenLeds);
    for (int k = 0; k < shown; ++k)
        frame[k] = rgbColor(step.red[k], step.green[k], step.blue[k]);
}
