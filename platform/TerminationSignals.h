// Turns the signals that end a session (SIGTERM, SIGINT) into an ordinary quit of the
// event loop, so a program leaves the same orderly way as through its own "Exit".
// A write to a closed pipe (the terminal or launcher that started us went away) is
// ignored instead of ending the program.
#pragma once

class QObject;

class TerminationSignals
{
public:
    // Call first in main: a signal that arrives while the program is still starting is
    // kept and ends the program as soon as its event loop runs, instead of killing it
    // half set up.
    static void catchFromNowOn();
    // Call once, after the application object exists; the notifier is owned by owner.
    static void quitOnTermination(QObject *owner);
};
