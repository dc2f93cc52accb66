// The per-user runtime folder that the processes of one user share.
#pragma once

#include <QString>

class HalRuntimeFolder
{
public:
    // $XDG_RUNTIME_DIR/veltrima/, else /tmp/veltrima-<uid>/, created 0700. Empty when it
    // cannot be created or is not ours.
    static QString path();
};
