// The two debug switches of the device file, read once at start and then consulted
// from every thread of the control program.
#pragma once

class DebugFlags
{
public:
    DebugFlags() = delete;

    static bool isDebugMode();
    static void setDebugMode(bool on);

    // Verbose output of the hardware reader.
    static bool isHWDebugMode();
    static void setHWDebugMode(bool on);
};
