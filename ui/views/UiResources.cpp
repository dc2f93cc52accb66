#include "UiResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(VELTRIMA_RGB);
    Q_INIT_RESOURCE(VELTRIMA_RGB_translations);
}

void initUiResources()
{
    static const bool registered = [] {
        registerResources();
        return true;
    }();
    Q_UNUSED(registered);
}
