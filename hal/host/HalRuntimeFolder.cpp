#include "HalRuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString HalRuntimeFolder::path()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray folder = runtime.isEmpty() ? QByteArray("/tmp/veltrima-") + QByteArray::number(getuid())
                                                : runtime + "/veltrima";
    if (mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    const bool ours = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
    if (ours)
        fchmod(fd, 0700); // the umask may have narrowed or widened what mkdir asked for
    close(fd);
    return ours ? QFile::decodeName(folder) + QLatin1Char('/') : QString();
}
