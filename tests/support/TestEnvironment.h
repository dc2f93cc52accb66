// Gives a test process its own XDG folders so it never touches the real home and
// parallel tests never meet. Create one before anything reads the folders.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class TestEnvironment
{
public:
    TestEnvironment()
    {
        QDir root(m_root.path());
        for (const char *name : {"runtime", "config", "data", "home"})
            root.mkpath(QString::fromLatin1(name));
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtimeDir().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
        qputenv("XDG_DATA_HOME", dataDir().toLocal8Bit());
        qputenv("XDG_DATA_DIRS", dataDir().toLocal8Bit());
        qputenv("HOME", (m_root.path() + QStringLiteral("/home")).toLocal8Bit());
    }

    QString root() const { return m_root.path(); }
    QString runtimeDir() const { return m_root.path() + QStringLiteral("/runtime"); }
    QString configDir() const { return m_root.path() + QStringLiteral("/config"); }
    QString dataDir() const { return m_root.path() + QStringLiteral("/data"); }

    // The folder with the built programs, libraries and HAL servers.
    static QString binDir()
    {
        const QByteArray dir = qgetenv("VELTRIMA_BIN_DIR");
        return dir.isEmpty() ? QString() : QString::fromLocal8Bit(dir);
    }

    // For child processes: the current environment, which already points at our folders.
    static QProcessEnvironment processEnvironment() { return QProcessEnvironment::systemEnvironment(); }

private:
    QTemporaryDir m_root;
};
