#include "ControlProgramWatch.h"

bool ControlProgramWatch::observe(qint64 now, bool stateRead, bool stampFresh, bool running)
{
    m_running = running;
    m_stateRead = stateRead;
    m_answering = stateRead && stampFresh && running;
    if (m_answering) {
        m_tries = 0;
        m_lastTry.reset();
        m_failureReason.clear();
        return false;
    }
    if (!m_lastTry)
        return true;
    // A clock set back must not postpone the next try by as much.
    if (now < *m_lastTry)
        m_lastTry = now;
    return now - *m_lastTry >= kRetrySeconds;
}

void ControlProgramWatch::startTried(qint64 now, ControlProgramLauncher::Outcome outcome,
                                     const QString &failureReason)
{
    m_lastTry = now;
    ++m_tries;
    m_lastOutcome = outcome;
    m_failureReason = failureReason;
    if (outcome == ControlProgramLauncher::Outcome::AlreadyRunning)
        m_running = true;
}

QString ControlProgramWatch::statusText() const
{
    using Outcome = ControlProgramLauncher::Outcome;
    if (m_answering)
        return QString();
    if (m_tries < kTriesBeforeReport)
        return m_running ? tr("Waiting for VELTRIMA RGB Control\u2026") : tr("Starting VELTRIMA RGB Control\u2026");
    if (m_lastOutcome == Outcome::StartFailed && !m_running)
        return tr("VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.")
            .arg(m_failureReason)
            .arg(kRetrySeconds);
    if (!m_stateRead)
        return tr("The shared lighting state cannot be read. Trying again every %1 seconds.").arg(kRetrySeconds);
    if (m_running)
        return tr("VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.")
            .arg(kRetrySeconds);
    return tr("VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.")
        .arg(kRetrySeconds);
}
