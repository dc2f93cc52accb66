// The per-user folder through which the processes of one user find each other's locks,
// message endpoints and shared state: $XDG_RUNTIME_DIR/veltrima/, or /tmp/veltrima-<uid>/
// when no runtime directory is set. Another user could plant a folder of that name under
// /tmp, so an existing folder is used only when it is a real directory, owned by us and
// closed to everyone else.
#pragma once

#include <QString>

class RuntimeFolder
{
public:
    // The folder's absolute path without a trailing '/', created if needed; empty (with
    // a logged reason) when it cannot be created or may not be used.
    static QString path();

    // "<folder>/<prefix><name><suffix>", the name made safe for a file name; empty when
    // the folder is unusable.
    static QString filePath(const QString &prefix, const QString &name, const QString &suffix);

    // Keeps names readable ("VELTRIMA Control.exe" stays as it is) but percent-encodes
    // '/', '%' and control characters so a name can never leave the folder.
    static QString safeName(const QString &name);
};
