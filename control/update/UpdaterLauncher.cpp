#include "UpdaterLauncher.h"

#include "ProcessTools.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

QString UpdaterLauncher::languageCode(int language)
{
    switch (language) {
    case 1:
        return QStringLiteral(";tc;");
    case 2:
        return QStringLiteral(";CN;");
    case 3:
        return QStringLiteral(";DE;");
    case 4:
        return QStringLiteral(";FR;");
    case 5:
        return QStringLiteral(";JP;");
    case 6:
        return QStringLiteral(";TH;");
    default:
        return QStringLiteral(";en;");
    }
}

QString UpdaterLauncher::parameters(int language, const QString &version)
{
    return QStringLiteral("VELTRIMARGB") + languageCode(language) + version;
}

QString UpdaterLauncher::resolveProgram(const QString &configured, const QString &programFolder)
{
    const QString name = configured.isEmpty() ? defaultProgramName() : configured;
    if (QDir::isAbsolutePath(name))
        return QDir::cleanPath(name);
    // A relative name must never be looked up in the working folder or on PATH.
    if (!QDir::isAbsolutePath(programFolder))
        return QString();
    return QDir::cleanPath(QDir(programFolder).filePath(name));
}

bool UpdaterLauncher::start(const QString &program, const QString &parameters, const QString &programFolder)
{
    const QFileInfo info(program);
    if (program.isEmpty() || !info.isAbsolute() || !info.isFile() || !info.isExecutable()) {
        qWarning().noquote() << "Update: no updater program at" << (program.isEmpty() ? QStringLiteral("\"\"") : program);
        return false;
    }
    if (!ProcessTools::startDetached(program, {parameters}, programFolder)) {
        qWarning().noquote() << "Update: the updater" << program << "did not start";
        return false;
    }
    qInfo().noquote() << "Update: started" << program << parameters;
    return true;
}
