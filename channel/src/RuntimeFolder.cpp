#include "RuntimeFolder.h"

#include "ChannelLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::string RuntimeFolder::path()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return std::string(runtime) + "/veltrima";
    return "/tmp/veltrima-" + std::to_string(geteuid());
}

int RuntimeFolder::open()
{
    const std::string folder = path();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        logChannel("cannot create %s: %s", folder.c_str(), std::strerror(errno));
        return -1;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        logChannel("cannot open %s: %s", folder.c_str(), std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        logChannel("refusing %s: not a folder of ours", folder.c_str());
        close(fd);
        return -1;
    }
    // The umask may have narrowed or widened what mkdir gave; only we may enter.
    if ((info.st_mode & 0777) != 0700 && fchmod(fd, 0700) != 0) {
        logChannel("cannot restrict %s: %s", folder.c_str(), std::strerror(errno));
        close(fd);
        return -1;
    }
    return fd;
}
