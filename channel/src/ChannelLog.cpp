#include "ChannelLog.h"

#include <cstdarg>
#include <cstdio>

void logChannel(const char *format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "VELTRIMA_Lighting: %s\n", line);
}
