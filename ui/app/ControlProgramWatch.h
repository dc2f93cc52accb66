// Follows whether the control program answers (its single-instance guard is held and
// the channel's data were stamped less than ten seconds ago) and decides when the window
// tries to start it again. While it does not answer the window takes no edit, since an
// edit would be lost when the restarted program loads the saved profile, and the
// overlay says what the window is waiting for.
#pragma once

#include "ControlProgramLauncher.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class ControlProgramWatch
{
    Q_DECLARE_TR_FUNCTIONS(ControlProgramWatch)
public:
    // Time between two tries while the program does not answer: one stale period.
    static constexpr qint64 kRetrySeconds = 10;
    // Tries without an answer before the overlay says what fails.
    static constexpr int kTriesBeforeReport = 3;

    // One observation per poll, times in seconds since the epoch; stateRead: the channel's
    // record was read from the shared state, not a stand-in. True when a start should be
    // tried now.
    bool observe(qint64 now, bool stateRead, bool stampFresh, bool running);
    void startTried(qint64 now, ControlProgramLauncher::Outcome outcome, const QString &failureReason);

    bool isAnswering() const { return m_answering; }
    // A start was tried since the program last answered.
    bool startTriedSinceAnswer() const { return m_lastTry.has_value(); }
    int unansweredTries() const { return m_tries; }
    // The line the overlay shows while the program does not answer.
    QString statusText() const;

private:
    bool m_answering = false;
    bool m_running = false;
    bool m_stateRead = true;
    int m_tries = 0;
    std::optional<qint64> m_lastTry;
    ControlProgramLauncher::Outcome m_lastOutcome = ControlProgramLauncher::Outcome::AlreadyRunning;
    QString m_failureReason;
};
