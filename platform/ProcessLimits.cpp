#include "ProcessLimits.h"

#include <QDebug>

#include <cerrno>
#include <cstring>
#include <sys/resource.h>

long ProcessLimits::raiseOpenFileLimit()
{
    struct rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        qWarning() << "The open-file limit cannot be read:" << std::strerror(errno);
        return -1;
    }
    if (limit.rlim_cur == limit.rlim_max)
        return long(limit.rlim_cur);
    const rlim_t previous = limit.rlim_cur;
    limit.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        qWarning() << "The open-file limit stays at" << qulonglong(previous) << ":" << std::strerror(errno);
        return long(previous);
    }
    return long(limit.rlim_cur);
}
