// Limits of the process that the programs set for themselves at start.
#pragma once

class ProcessLimits
{
public:
    ProcessLimits() = delete;

    // Raises the soft limit of open file descriptors to the hard one, so that a burst of
    // connections or files meets the system's real bound rather than the shell's
    // default of 1024. Returns the soft limit in force afterwards (-1 when unknown);
    // call it first thing in main().
    static long raiseOpenFileLimit();
};
