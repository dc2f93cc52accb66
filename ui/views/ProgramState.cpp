#include "ProgramState.h"

#include "LightingTypes.h"

#include <QApplication>

#include <cstring>
#include <utility>

namespace ProgramState {

int effectiveLanguage()
{
    return currentLanguage >= 0 && currentLanguage < LanguageCount ? currentLanguage : LanguageEnglish;
}

bool isOpenArgument(const char *argument)
{
    return argument != nullptr && std::strcmp(argument, "open") == 0;
}

namespace {
std::function<void()> &quitHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void quitApplication()
{
    if (quitHandler())
        quitHandler()();
    else
        QApplication::quit();
}

void setQuitHandler(std::function<void()> handler)
{
    quitHandler() = std::move(handler);
}

} // namespace ProgramState
