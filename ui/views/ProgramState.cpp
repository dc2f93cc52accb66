#include "ProgramState.h"

#include "LightingTypes.h"

#include <cstring>

namespace ProgramState {

int effectiveLanguage()
{
    return currentLanguage >= 0 && currentLanguage < LanguageCount ? currentLanguage : LanguageEnglish;
}

bool isOpenArgument(const char *argument)
{
    return argument != nullptr && std::strcmp(argument, "open") == 0;
}

} // namespace ProgramState
