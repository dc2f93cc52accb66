// The library runs inside both programs without Qt, so its few diagnostics go to
// standard error with a fixed prefix.
#pragma once

void logChannel(const char *format, ...) __attribute__((format(printf, 1, 2)));
