#pragma once

#include <string>

// The per-user folder where the processes of one user find their shared objects:
// $XDG_RUNTIME_DIR/veltrima/, else /tmp/veltrima-<uid>/.
class RuntimeFolder
{
public:
    static std::string path();
    // Creates the folder 0700 when missing and opens it. Returns a directory
    // descriptor, or -1 when the folder cannot be made or belongs to someone else.
    static int open();
};
