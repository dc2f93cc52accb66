// Suspend and resume as logind announces them: PrepareForSleep(true) before the machine
// sleeps, PrepareForSleep(false) after it woke. Without a system bus the program runs on
// without power events (logged).
#pragma once

#include <QObject>

class PowerEvents : public QObject
{
    Q_OBJECT
public:
    explicit PowerEvents(QObject *parent = nullptr);

    bool isListening() const { return m_listening; }

signals:
    void suspending();
    void resumed();

private slots:
    void onPrepareForSleep(bool start);

private:
    bool m_listening = false;
};
