/*
 * Operations of VELTRIMA_Lighting beyond the fixed channel interface.
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

#endif
