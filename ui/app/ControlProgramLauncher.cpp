#include "ControlProgramLauncher.h"

#include "ProgramNames.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"
#include "ProcessTools.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

ControlProgramLauncher::ControlProgramLauncher(const QString &folder)
    : m_folder(folder)
{
}

QString ControlProgramLauncher::programPath() const
{
    return QDir(m_folder).filePath(QString::fromLatin1(ProgramNames::kControlExecutable));
}

bool ControlProgramLauncher::isRunning()
{
    return NamedMutex::probe(QString::fromLatin1(ProgramNames::kControlMutex));
}

ControlProgramLauncher::Outcome ControlProgramLauncher::start()
{
    if (isRunning()) {
        qDebug() << "ControlProgramLauncher: the control program runs";
        return Outcome::AlreadyRunning;
    }
    qDebug() << "ControlProgramLauncher: the control program does not run, starting" << programPath();

    if (ProcessTools::startDetached(programPath(), {}, m_folder)) {
        qDebug() << "VELTRIMA RGB Control.exe OK";
        m_failureReason.clear();
        return Outcome::Started;
    }
    qDebug() << "VELTRIMA RGB Control.exe FFFFFFFFFFF";
    const QFileInfo program(programPath());
    m_failureReason = !program.exists()
        ? QCoreApplication::translate("ControlProgramLauncher", "%1 was not found").arg(program.filePath())
        : QCoreApplication::translate("ControlProgramLauncher", "%1 cannot be run").arg(program.filePath());
    qWarning().noquote() << "ControlProgramLauncher: cannot start the control program:" << m_failureReason;
    if (!m_failureReported) {
        m_failureReported = true;
        MessagePresenter::show(QStringLiteral("Can not find %1").arg(QLatin1String(ProgramNames::kControlExecutable)),
                               QStringLiteral("ERROR"), MessagePresenter::Icon::Information);
    }
    return Outcome::StartFailed;
}
