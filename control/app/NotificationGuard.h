// Acts on the notification rules the user sets: after each hardware scan it starts the
// overheat countdown and tells the hub program whether the CPU is too hot; it handles the
// rules' channel events and carries out the countdown's end. A rule that the program
// switches off itself is stored like a change made by the user.
#pragma once

#include "HWData.h"

#include <QObject>

class LightingChannel;
class ShutdownCommand;
class Widget_Shutdown;

class NotificationGuard : public QObject
{
    Q_OBJECT
public:
    static constexpr quint32 kFanSpeedMessage = 0x8130;
    static constexpr int kHubTimeoutMs = 250;

    NotificationGuard(LightingChannel &channel, Widget_Shutdown *dialog, QObject *parent = nullptr);

    // The countdown the readings call for under the rules: Widget_Shutdown's memory or
    // CPU source, or NoSource. Memory comes first; a reading of 0 or less is no reading.
    static int overheatSource(const HWData &readings, const NotiEventData &rules);

    void checkScan(const HWData &readings);
    void onNotiEvent(const NotiEventData &event);
    // The countdown's two ends.
    void shutdown(int source);
    void cancel(int source);
    // After a resume: the fan request (not hot) when the rule is on at the time of the call.
    void sendFanSpeedIfOn();

signals:
    void writeDevice(HWData data);
    void writeErrorLog(QString text);

private:
    bool dialogBusy() const;
    void stopCountdownIfRuleOff(const NotiEventData &rules);
    void sendFanSpeed(bool hot, int value);
    void switchRuleOff(int source);
    void commandFinished(const QString &commandLine, bool ok, const QString &detail);

    LightingChannel &m_channel;
    Widget_Shutdown *m_dialog;
    ShutdownCommand *m_command;
    int m_shutdownSource = -1; // the source whose shutdown command is running
};
