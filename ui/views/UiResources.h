#pragma once

// Registers the images and translation catalogues under ":/KVRGBMemory/". The views
// live in a static library, whose resource initialisers the linker would otherwise drop.
void initUiResources();
