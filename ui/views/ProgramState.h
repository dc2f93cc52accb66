// State the whole user interface shares: one instance each for the process.
#pragma once

#include <functional>

namespace ProgramState {

// Started with the argument "open" (a start at log-on): message 0x8303 may then quit it.
inline bool programStart = false;
// At least one module's part number names a lighting model.
inline bool lightingModuleFound = false;
// The module whose settings the lighting page shows (0 to 7).
inline int SelectMemoryIndex = 0;
// The language last read from the channel or chosen on the settings page.
inline int currentLanguage = 0;

// The language to use for font sizes and codes: a value outside 0..9 counts as English.
int effectiveLanguage();

// True when the argument is exactly "open" (case and length included).
bool isOpenArgument(const char *argument);

// Ends the event loop. Every way of quitting goes through here; a test may replace the
// action (an empty function restores QApplication::quit).
void quitApplication();
void setQuitHandler(std::function<void()> handler);

} // namespace ProgramState
