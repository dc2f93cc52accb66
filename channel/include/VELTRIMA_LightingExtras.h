/*
 * Operations of VELTRIMA_Lighting beyond the fixed channel interface, and the
 * library's further decisions:
 * - A new channel holds the documented defaults of every record with ledNum 0 (not
 *   counted yet), profile 0, black sync colours and dataTimestamp 0, so it is stale
 *   and the control program loads its saved files into it.
 * - The slot callback's argument is always 0; the colour and light-mode callbacks get
 *   the module, the profile callback the profile, the notification callback the
 *   record that was set (for SetSettingValue: the current notification settings with
 *   type 5). SetValueHWData, SetValueSoftwareRGB and SetValueSyncRGB raise none.
 * - SetValueRGB stores the first count entries (12 from the control program, 5 from
 *   the user interface) and always the single colour and brightness.
 * - A ledNum above 12 is stored as 12; texts are always stored NUL-terminated.
 * - A listener that falls more than 256 events behind delivers the newest 256.
 */
#ifndef VELTRIMA_LIGHTING_EXTRAS_H
#define VELTRIMA_LIGHTING_EXTRAS_H

#include "VELTRIMA_Lighting.h"

/*
 * Forgets every callback of this process and ends its listener thread. When it
 * returns, no callback of this process runs any more (unless it is called from a
 * callback, which then finishes normally). The shared state stays mapped and every
 * other operation keeps working; registering a callback again starts a new listener.
 * The library also stops the listener by itself at process exit.
 */
VELTRIMA_LIGHTING_API void SharedDLL_shutdown();

/*
 * True when this process has the shared state (SharedDLL_init found or made it). When
 * it is false, setters store nothing and getters return defaults.
 */
VELTRIMA_LIGHTING_API bool SharedDLL_isAvailable();

/*
 * Whether the calling thread's last operation reached the shared state: a setter
 * stored its values, a getter read them (a pointer getter: handed out a pointer into
 * a whole segment), SharedDLL_init found or made the state. False when there is no
 * shared state, the lock could not be taken within its second, the segment file
 * could not be reached, or the arguments were refused; a getter's result is then a
 * stand-in (defaults, 0 or nullptr) that must not be taken for the user's state, and
 * a setter's change did not happen. The register and shutdown operations leave it as
 * it was.
 */
VELTRIMA_LIGHTING_API bool SharedDLL_lastCallSucceeded();

/*
 * Stores one module's LED count as the lighting engine counted it, 0 included (a module
 * that is no longer found); kept to 0..12. SetValueHWData takes only counts above 0,
 * because a scan's record carries 0 for every module. Raises no event.
 */
VELTRIMA_LIGHTING_API void SetValueLedNum(int module, int ledNum);

#endif
