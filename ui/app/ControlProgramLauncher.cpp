#include "ControlProgramLauncher.h"

#include "ProgramNames.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"
#include "ProcessTools.h"

#include <QDebug>
#include <QDir>

ControlProgramLauncher::ControlProgramLauncher(const QString &folder)
    : m_folder(folder)
{
}

QString ControlProgramLauncher::programPath() const
{
    return QDir(m_folder).filePath(QString::fromLatin1(ProgramNames::kControlExecutable));
}

ControlProgramLauncher::Outcome ControlProgramLauncher::start()
{
    if (NamedMutex::probe(QString::fromLatin1(ProgramNames::kControlMutex))) {
        qDebug() << "ControlProgramLauncher: the control program runs";
        return Outcome::AlreadyRunning;
    }
    qDebug() << "ControlProgramLauncher: the control program does not run, starting" << programPath();

    if (ProcessTools::startDetached(programPath(), {}, m_folder)) {
        qDebug() << "VELTRIMA RGB Control.exe OK";
        return Outcome::Started;
    }
    qDebug() << "VELTRIMA RGB Control.exe FFFFFFFFFFF";
    MessagePresenter::show(QStringLiteral("Can not find VELTRIMA RGB Control.exe"), QStringLiteral("ERROR"),
                           MessagePresenter::Icon::Information);
    return Outcome::StartFailed;
}
