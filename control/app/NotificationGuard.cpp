#include "NotificationGuard.h"

#include "LightingChannel.h"
#include "MessagePresenter.h"
#include "ShutdownCommand.h"
#include "Widget_Shutdown.h"
#include "WindowMessenger.h"

#include <QDebug>

#include <algorithm>

namespace {
const QString kHubTitle = QStringLiteral("Spectra Hub");

bool ruleOn(const NotiEventData &rules, int source)
{
    if (source == Widget_Shutdown::MemorySource)
        return rules.shutdownMemoryOn;
    if (source == Widget_Shutdown::CpuSource)
        return rules.shutdownCPUOn;
    return false;
}
} // namespace

NotificationGuard::NotificationGuard(LightingChannel &channel, Widget_Shutdown *dialog, QObject *parent)
    : QObject(parent)
    , m_channel(channel)
    , m_dialog(dialog)
    , m_command(new ShutdownCommand(this))
{
    connect(m_command, &ShutdownCommand::finished, this, &NotificationGuard::commandFinished);
}

int NotificationGuard::overheatSource(const HWData &readings, const NotiEventData &rules)
{
    if (rules.shutdownMemoryOn) {
        std::int32_t hottest = readings.memoryData[0].temperature;
        for (const MemoryModuleData &module : readings.memoryData)
            hottest = std::max(hottest, module.temperature);
        if (hottest > 0 && hottest > rules.shutdownMemoryValue)
            return Widget_Shutdown::MemorySource;
    }
    if (rules.shutdownCPUOn && readings.cpuTemperature > 0 && readings.cpuTemperature > rules.shutdownCPUValue)
        return Widget_Shutdown::CpuSource;
    return Widget_Shutdown::NoSource;
}

bool NotificationGuard::dialogBusy() const
{
    return m_dialog->isVisible() || m_dialog->isCounting();
}

void NotificationGuard::checkScan(const HWData &readings)
{
    const NotiEventData rules = m_channel.GetNotiEvent();
    if (!m_channel.lastCallSucceeded()) {
        qWarning() << "NotificationGuard: the notification rules cannot be read; no checks this time";
        return;
    }
    stopCountdownIfRuleOff(rules);
    // A shutdown command under way has the last word; a new countdown waits for its result.
    if (!dialogBusy() && !m_command->isRunning()) {
        const int source = overheatSource(readings, rules);
        if (source != Widget_Shutdown::NoSource) {
            qInfo() << "NotificationGuard: overheating, countdown from source" << source;
            m_dialog->startCountdown(source);
            m_dialog->present();
        }
    }
    if (rules.fanSpeedOn)
        sendFanSpeed(readings.cpuTemperature > rules.fanSpeedValue, rules.fanSpeedValue);
}

void NotificationGuard::stopCountdownIfRuleOff(const NotiEventData &rules)
{
    if (!dialogBusy() || ruleOn(rules, m_dialog->source()))
        return;
    qInfo() << "NotificationGuard: the rule of the running countdown was switched off; countdown stopped";
    m_dialog->stopCountdown();
}

void NotificationGuard::onNotiEvent(const NotiEventData &event)
{
    switch (event.type) {
    case NotiLoading:
        qDebug() << "receiveNoti_Event Loading" << event.loadingOn << event.loadingValue << event.loadingColor;
        break;
    case NotiShutdownMemory:
        qDebug() << "receiveNoti_Event Shutdown_Memory" << event.shutdownMemoryOn << event.shutdownMemoryValue
                 << event.shutdownMemoryUnit;
        stopCountdownIfRuleOff(event);
        break;
    case NotiShutdownCPU:
        qDebug() << "receiveNoti_Event Shutdown_CPU" << event.shutdownCPUOn << event.shutdownCPUValue
                 << event.shutdownCPUUnit;
        stopCountdownIfRuleOff(event);
        break;
    case NotiFanSpeed:
        qDebug() << "receiveNoti_Event FanSpeed" << event.fanSpeedOn << event.fanSpeedValue << event.fanSpeedUnit;
        // Switched on, the next scan tells the hub; switched off, the hub must hear it now.
        if (!event.fanSpeedOn)
            sendFanSpeed(false, event.fanSpeedValue);
        break;
    default:
        break;
    }
}

void NotificationGuard::sendFanSpeed(bool hot, int value)
{
    const WindowMessenger::Window hub = WindowMessenger::findWindow(kHubTitle, kHubTimeoutMs);
    qDebug() << "SpectraHub_Hwnd" << hub.pid;
    if (!hub.isValid())
        return;
    qDebug() << "Send FanSpeed Command";
    // The hub's answer carries nothing we act on.
    WindowMessenger::sendMessage(hub, kFanSpeedMessage, hot ? 1 : 0, value, kHubTimeoutMs);
}

void NotificationGuard::sendFanSpeedIfOn()
{
    const NotiEventData rules = m_channel.GetNotiEvent();
    if (!m_channel.lastCallSucceeded()) {
        qWarning() << "NotificationGuard: the notification rules cannot be read; no fan request after resume";
        return;
    }
    if (rules.fanSpeedOn)
        sendFanSpeed(false, rules.fanSpeedValue);
}

void NotificationGuard::shutdown(int source)
{
    m_dialog->stopCountdown();
    if (!m_command->run(ShutdownCommand::shutdownCommandLine())) {
        qWarning() << "NotificationGuard: a shutdown command is already running; not run again";
        return;
    }
    m_shutdownSource = source;
}

void NotificationGuard::cancel(int source)
{
    m_dialog->stopCountdown();
    // Nothing of ours is pending at the system (the countdown is ours), so the abort only
    // clears a shutdown scheduled elsewhere; the user's cancel stands whatever it reports.
    m_command->run(ShutdownCommand::abortCommandLine());
    switchRuleOff(source);
}

void NotificationGuard::commandFinished(const QString &commandLine, bool ok, const QString &detail)
{
    if (commandLine != ShutdownCommand::shutdownCommandLine()) {
        if (!ok)
            emit writeErrorLog(QStringLiteral("Shutdown abort \"%1\" %2").arg(commandLine, detail));
        return;
    }
    const int source = m_shutdownSource;
    m_shutdownSource = -1;
    if (ok) {
        switchRuleOff(source);
        return;
    }
    // The guard stays armed: the rule keeps its switch and the next scan may count again.
    const QString text = QStringLiteral("Shutdown \"%1\" %2").arg(commandLine, detail);
    emit writeErrorLog(text);
    MessagePresenter::show(tr("The system did not shut down (%1). Please save your data and shut the computer "
                              "down yourself.")
                               .arg(detail),
                           tr("Shutdown Failure"), MessagePresenter::Icon::Critical);
}

void NotificationGuard::switchRuleOff(int source)
{
    NotiEventData rules = m_channel.GetNotiEvent();
    if (!m_channel.lastCallSucceeded()) {
        qWarning() << "NotificationGuard: the notification rules cannot be read; the rule stays as it is";
        return;
    }
    if (source == Widget_Shutdown::MemorySource) {
        rules.type = NotiShutdownMemory;
        rules.shutdownMemoryOn = false;
    } else if (source == Widget_Shutdown::CpuSource) {
        rules.type = NotiShutdownCPU;
        rules.shutdownCPUOn = false;
    } else {
        return;
    }
    m_channel.SetNotiEvent(rules);
    if (!m_channel.lastCallSucceeded()) {
        qWarning() << "NotificationGuard: the rule could not be switched off in the channel";
        return;
    }
    const HWData data = m_channel.GetValueHWData();
    if (m_channel.lastCallSucceeded())
        emit writeDevice(data);
    else
        qWarning() << "NotificationGuard: the channel's record cannot be read; the device file keeps the rule";
    m_channel.Refresh_View();
}
