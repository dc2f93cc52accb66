#include "ChannelTool.h"

#include "ChannelStatePrinter.h"
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <QJsonDocument>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace {
constexpr int kMaxModule = kModuleCount - 1;
constexpr int kBusy = 4;

// The watch command's callbacks run on the library's listener thread.
std::mutex g_watchMutex;
std::condition_variable g_watchEvent;
int g_watchLines = 0;
int g_watchLimit = 0; // 0: no limit

void printWatchLine(const QString &line)
{
    std::lock_guard<std::mutex> guard(g_watchMutex);
    // A script that asked for N lines gets exactly N, even if more arrive before the
    // listener stops.
    if (g_watchLimit > 0 && g_watchLines >= g_watchLimit)
        return;
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
    ++g_watchLines;
    g_watchEvent.notify_all();
}

void onRgb(int module) { printWatchLine(QStringLiteral("rgb %1").arg(module)); }
void onLightMode(int module) { printWatchLine(QStringLiteral("lightmode %1").arg(module)); }
void onSlot(int argument) { printWatchLine(QStringLiteral("slot %1").arg(argument)); }
void onProfile(int profile) { printWatchLine(QStringLiteral("profile %1").arg(profile)); }
void onRefresh(int argument) { printWatchLine(QStringLiteral("refresh %1").arg(argument)); }
void onNoti(NotiEventData event)
{
    printWatchLine(QStringLiteral("noti %1 %2").arg(event.type).arg(ChannelStatePrinter::notiEventText(event)));
}

void printOut(const QString &text)
{
    std::fputs(qPrintable(text), stdout);
    std::fflush(stdout);
}

QVector<COLORREF> syncColours()
{
    QVector<COLORREF> colours;
    if (const COLORREF *sync = GetValueSyncRGB(5))
        colours = QVector<COLORREF>(sync, sync + 5);
    return colours;
}

// A stand-in value must never be printed as the state or merged into a change, and a
// change that was not stored must not be reported as done.
bool reached(const char *command, const char *what)
{
    if (SharedDLL_lastCallSucceeded())
        return true;
    std::fprintf(stderr,
                 "veltrima-channel: %s: %s: the lighting channel is busy (another process holds its lock) "
                 "or cannot be reached\n",
                 command, what);
    return false;
}

bool stored(const char *command)
{
    return reached(command, "the change was not stored");
}

bool read(const char *command)
{
    return reached(command, "nothing was read");
}
} // namespace

QString ChannelTool::usage()
{
    return QStringLiteral(
        "usage: veltrima-channel <command> [arguments]\n"
        "\n"
        "Reads and changes the lighting channel shared by the VELTRIMA RGB programs.\n"
        "Modules are 0..7; colours are COLORREF 0x00BBGGRR, decimal or 0x hex;\n"
        "brightness is 0.0..1.0; switches are 0 or 1.\n"
        "\n"
        "commands:\n"
        "  show [--json]                        print the whole state\n"
        "  set-rgb <module> <c0,c1,...> [--bright b0,b1,...] [--single C] [--single-bright F]\n"
        "                                       set up to 12 LED colours of a module\n"
        "  set-lighting <module> <mode> <colorMode> <speed> <on|off>\n"
        "                                       set a module's light mode (0..35), colour\n"
        "                                       mode (0..3) and speed (0..3)\n"
        "  set-slots <a,b,c,d,e,f,g,h>          set the slot order of modules 0..7\n"
        "  set-profile <n>                      select a profile\n"
        "  set-settings [--language N] [--auto-update 0/1] [--auto-run 0/1] [--location 0/1]\n"
        "                                       change the global settings\n"
        "  set-noti [--type N] [--loading 0/1] [--loading-value N] [--loading-color C]\n"
        "           [--loading-unit N] [--shutdown-memory 0/1] [--shutdown-memory-value N]\n"
        "           [--shutdown-memory-unit N] [--fan-speed 0/1] [--fan-speed-value N]\n"
        "           [--fan-speed-unit N] [--shutdown-cpu 0/1] [--shutdown-cpu-value N]\n"
        "           [--shutdown-cpu-unit N]     send a notification record (fields not given\n"
        "                                       keep their current values)\n"
        "  set-sync <c0,...,c4>                 set the five hub sync colours\n"
        "  refresh                              ask the user interface to re-read the state\n"
        "  software-rgb <module> [c0,c1,...]    print (or set) a module's effect colours\n"
        "  watch [--count N] [--timeout ms]     print one line per callback that another\n"
        "                                       process's change raises; exit after N lines\n"
        "                                       (1 when the timeout comes first); says\n"
        "                                       \"watching\" on standard error once listening\n"
        "\n"
        "exit status: 0 done, 1 watch timed out before its count, 2 bad arguments,\n"
        "3 the lighting channel is not available, 4 the channel was busy: nothing was\n"
        "stored or read\n");
}

int ChannelTool::usageError(const QString &message) const
{
    std::fprintf(stderr, "veltrima-channel: %s\n(run \"veltrima-channel --help\" for usage)\n", qPrintable(message));
    return 2;
}

std::optional<QStringList> ChannelTool::expect(ChannelArguments &args, int minimum, int maximum)
{
    const QStringList words = args.positional();
    if (args.failed()) {
        usageError(args.error());
        return std::nullopt;
    }
    if (words.size() < minimum || words.size() > maximum) {
        usageError(words.size() < minimum ? QStringLiteral("missing arguments") : QStringLiteral("too many arguments"));
        return std::nullopt;
    }
    return words;
}

int ChannelTool::run(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        printOut(usage());
        return 0;
    }
    ChannelArguments args(arguments.mid(1));
    using Handler = int (ChannelTool::*)(ChannelArguments &);
    const std::pair<const char *, Handler> commands[] = {
        {"show", &ChannelTool::show},
        {"set-rgb", &ChannelTool::setRgb},
        {"set-lighting", &ChannelTool::setLighting},
        {"set-slots", &ChannelTool::setSlots},
        {"set-profile", &ChannelTool::setProfile},
        {"set-settings", &ChannelTool::setSettings},
        {"set-noti", &ChannelTool::setNoti},
        {"set-sync", &ChannelTool::setSync},
        {"refresh", &ChannelTool::refresh},
        {"software-rgb", &ChannelTool::softwareRgb},
        {"watch", &ChannelTool::watch},
    };
    for (const auto &entry : commands) {
        if (command == QLatin1String(entry.first)) {
            SharedDLL_init();
            if (!SharedDLL_isAvailable()) {
                std::fprintf(stderr, "veltrima-channel: the lighting channel is not available\n");
                return 3;
            }
            return (this->*entry.second)(args);
        }
    }
    return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
}

int ChannelTool::show(ChannelArguments &args)
{
    const bool asJson = args.takeFlag(QStringLiteral("--json"));
    if (!expect(args, 0, 0))
        return 2;
    const HWData state = GetValueHWData();
    if (!read("show"))
        return kBusy;
    const QVector<COLORREF> sync = syncColours();
    if (!read("show"))
        return kBusy;
    const ChannelStatePrinter printer(state, sync);
    if (asJson)
        printOut(QString::fromUtf8(QJsonDocument(printer.json()).toJson(QJsonDocument::Indented)));
    else
        printOut(printer.text());
    return 0;
}

int ChannelTool::setRgb(ChannelArguments &args)
{
    const std::optional<QString> brightText = args.takeOption(QStringLiteral("--bright"));
    const std::optional<QString> singleText = args.takeOption(QStringLiteral("--single"));
    const std::optional<QString> singleBrightText = args.takeOption(QStringLiteral("--single-bright"));
    const std::optional<QStringList> words = expect(args, 2, 2);
    if (!words)
        return 2;
    const std::optional<int> module = args.toInt(words->at(0), QStringLiteral("module"), 0, kMaxModule);
    const std::optional<QVector<COLORREF>> colours =
        module ? args.toColours(words->at(1), QStringLiteral("colours"), kLedSlots) : std::nullopt;
    if (!colours)
        return usageError(args.error());

    QVector<float> bright(colours->size(), 1.0f);
    if (brightText) {
        const QStringList parts = brightText->split(QLatin1Char(','));
        if (parts.size() != colours->size())
            return usageError(QStringLiteral("--bright needs one value per colour"));
        for (int k = 0; k < parts.size(); ++k) {
            const std::optional<float> value = args.toBrightness(parts.at(k), QStringLiteral("--bright"));
            if (!value)
                return usageError(args.error());
            bright[k] = *value;
        }
    }
    COLORREF single = GetValueSingleRGB(*module);
    if (!read("set-rgb"))
        return kBusy;
    float singleBright = GetValueSingleBright(*module);
    if (!read("set-rgb"))
        return kBusy;
    if (singleText) {
        const std::optional<COLORREF> value = args.toColour(*singleText, QStringLiteral("--single"));
        if (!value)
            return usageError(args.error());
        single = *value;
    }
    if (singleBrightText) {
        const std::optional<float> value = args.toBrightness(*singleBrightText, QStringLiteral("--single-bright"));
        if (!value)
            return usageError(args.error());
        singleBright = *value;
    }
    SetValueRGB(*module, colours->constData(), bright.constData(), single, singleBright, colours->size());
    return stored("set-rgb") ? 0 : kBusy;
}

int ChannelTool::setLighting(ChannelArguments &args)
{
    const std::optional<QStringList> words = expect(args, 5, 5);
    if (!words)
        return 2;
    const std::optional<int> module = args.toInt(words->at(0), QStringLiteral("module"), 0, kMaxModule);
    const std::optional<int> mode = args.toInt(words->at(1), QStringLiteral("light mode"), 0, 35);
    const std::optional<int> colorMode = args.toInt(words->at(2), QStringLiteral("colour mode"), 0, 3);
    const std::optional<int> speed = args.toInt(words->at(3), QStringLiteral("speed"), 0, 3);
    const QString power = words->at(4);
    if (args.failed())
        return usageError(args.error());
    if (power != QLatin1String("on") && power != QLatin1String("off"))
        return usageError(QStringLiteral("the last argument must be on or off, not \"%1\"").arg(power));
    SetValueLighting(*module, *mode, *colorMode, *speed, power == QLatin1String("off"));
    return stored("set-lighting") ? 0 : kBusy;
}

int ChannelTool::setSlots(ChannelArguments &args)
{
    const std::optional<QStringList> words = expect(args, 1, 1);
    if (!words)
        return 2;
    const QStringList parts = words->first().split(QLatin1Char(','));
    if (parts.size() != kModuleCount)
        return usageError(QStringLiteral("set-slots needs eight slot numbers"));
    int slotNumbers[kModuleCount] = {};
    for (int m = 0; m < kModuleCount; ++m) {
        const std::optional<int> slot = args.toInt(parts.at(m), QStringLiteral("slot number"), 0, kMaxModule);
        if (!slot)
            return usageError(args.error());
        slotNumbers[m] = *slot;
    }
    SetSlotNumber(kModuleCount, slotNumbers);
    return stored("set-slots") ? 0 : kBusy;
}

int ChannelTool::setProfile(ChannelArguments &args)
{
    const std::optional<QStringList> words = expect(args, 1, 1);
    if (!words)
        return 2;
    const std::optional<int> profile = args.toInt(words->first(), QStringLiteral("profile"), 0, 4);
    if (!profile)
        return usageError(args.error());
    SetProfile(*profile);
    return stored("set-profile") ? 0 : kBusy;
}

int ChannelTool::setSettings(ChannelArguments &args)
{
    SettingData setting = SettingData::unpack(GetSettingValue());
    if (!read("set-settings"))
        return kBusy;
    if (const auto text = args.takeOption(QStringLiteral("--language"))) {
        if (const auto value = args.toInt(*text, QStringLiteral("--language"), 0, LanguageCount - 1))
            setting.language = *value;
    }
    const std::pair<const char *, bool SettingData::*> switches[] = {
        {"--auto-update", &SettingData::isAutoUpdate},
        {"--auto-run", &SettingData::isAutoRun},
        {"--location", &SettingData::isCurrentLocation},
    };
    for (const auto &entry : switches) {
        const QString name = QLatin1String(entry.first);
        if (const auto text = args.takeOption(name)) {
            if (const auto value = args.toSwitch(*text, name))
                setting.*entry.second = *value;
        }
    }
    if (args.failed())
        return usageError(args.error());
    if (!expect(args, 0, 0))
        return 2;
    SetSettingValue(setting.pack());
    return stored("set-settings") ? 0 : kBusy;
}

int ChannelTool::setNoti(ChannelArguments &args)
{
    NotiEventData event = GetNotiEvent();
    if (!read("set-noti"))
        return kBusy;
    if (const auto text = args.takeOption(QStringLiteral("--type"))) {
        if (const auto value = args.toInt(*text, QStringLiteral("--type"), 1, 5))
            event.type = *value;
    }
    if (const auto text = args.takeOption(QStringLiteral("--loading-color"))) {
        if (const auto value = args.toColour(*text, QStringLiteral("--loading-color")))
            event.loadingColor = *value;
    }
    const std::pair<const char *, bool NotiEventData::*> switches[] = {
        {"--loading", &NotiEventData::loadingOn},
        {"--shutdown-memory", &NotiEventData::shutdownMemoryOn},
        {"--fan-speed", &NotiEventData::fanSpeedOn},
        {"--shutdown-cpu", &NotiEventData::shutdownCPUOn},
    };
    for (const auto &entry : switches) {
        const QString name = QLatin1String(entry.first);
        if (const auto text = args.takeOption(name)) {
            if (const auto value = args.toSwitch(*text, name))
                event.*entry.second = *value;
        }
    }
    const std::pair<const char *, std::int32_t NotiEventData::*> numbers[] = {
        {"--loading-value", &NotiEventData::loadingValue},
        {"--loading-unit", &NotiEventData::loadingUnit},
        {"--shutdown-memory-value", &NotiEventData::shutdownMemoryValue},
        {"--shutdown-memory-unit", &NotiEventData::shutdownMemoryUnit},
        {"--fan-speed-value", &NotiEventData::fanSpeedValue},
        {"--fan-speed-unit", &NotiEventData::fanSpeedUnit},
        {"--shutdown-cpu-value", &NotiEventData::shutdownCPUValue},
        {"--shutdown-cpu-unit", &NotiEventData::shutdownCPUUnit},
    };
    for (const auto &entry : numbers) {
        const QString name = QLatin1String(entry.first);
        if (const auto text = args.takeOption(name)) {
            if (const auto value = args.toInt(*text, name, -1000000, 1000000))
                event.*entry.second = *value;
        }
    }
    if (args.failed())
        return usageError(args.error());
    if (!expect(args, 0, 0))
        return 2;
    SetNotiEvent(event);
    return stored("set-noti") ? 0 : kBusy;
}

int ChannelTool::setSync(ChannelArguments &args)
{
    const std::optional<QStringList> words = expect(args, 1, 1);
    if (!words)
        return 2;
    const std::optional<QVector<COLORREF>> colours = args.toColours(words->first(), QStringLiteral("sync colours"), 5);
    if (!colours)
        return usageError(args.error());
    SetValueSyncRGB(colours->size(), colours->constData());
    return stored("set-sync") ? 0 : kBusy;
}

int ChannelTool::refresh(ChannelArguments &args)
{
    if (!expect(args, 0, 0))
        return 2;
    Refresh_View();
    return stored("refresh") ? 0 : kBusy;
}

int ChannelTool::softwareRgb(ChannelArguments &args)
{
    const std::optional<QStringList> words = expect(args, 1, 2);
    if (!words)
        return 2;
    const std::optional<int> module = args.toInt(words->at(0), QStringLiteral("module"), 0, kMaxModule);
    if (!module)
        return usageError(args.error());
    if (words->size() == 2) {
        const auto colours = args.toColours(words->at(1), QStringLiteral("colours"), kLedSlots);
        if (!colours)
            return usageError(args.error());
        SetValueSoftwareRGB(*module, colours->constData(), colours->size());
        return stored("software-rgb") ? 0 : kBusy;
    }
    QVector<COLORREF> colours(kLedSlots, 0);
    const COLORREF *software = GetValueSoftwareRGB(*module);
    if (!software || !read("software-rgb"))
        return kBusy;
    std::copy(software, software + kLedSlots, colours.begin());
    QStringList parts;
    for (COLORREF colour : qAsConst(colours))
        parts << ChannelStatePrinter::colourText(colour);
    printOut(parts.join(QLatin1Char(',')) + QLatin1Char('\n'));
    return 0;
}

int ChannelTool::watch(ChannelArguments &args)
{
    std::optional<int> count;
    std::optional<int> timeout;
    if (const auto text = args.takeOption(QStringLiteral("--count")))
        count = args.toInt(*text, QStringLiteral("--count"), 1, 1000000000);
    if (const auto text = args.takeOption(QStringLiteral("--timeout")))
        timeout = args.toInt(*text, QStringLiteral("--timeout"), 0, 1000000000);
    if (args.failed())
        return usageError(args.error());
    if (!expect(args, 0, 0))
        return 2;

    {
        std::lock_guard<std::mutex> guard(g_watchMutex);
        g_watchLimit = count.value_or(0);
    }
    RegisterReceiveFunc(onRgb);
    RegisterReceiveLightModeFunc(onLightMode);
    RegisterReceiveMemorySlotNumber(onSlot);
    RegisterReceiveProfile(onProfile);
    RegisterReceiveNotiEvent(onNoti);
    RegisterUIEventLightModeFunc(onRefresh);
    // Tells a script that every change from now on will be printed.
    std::fprintf(stderr, "watching\n");
    std::fflush(stderr);

    bool reached = true;
    {
        std::unique_lock<std::mutex> guard(g_watchMutex);
        const auto done = [&] { return count && g_watchLines >= *count; };
        if (timeout)
            reached = g_watchEvent.wait_for(guard, std::chrono::milliseconds(*timeout), done) || !count;
        else
            g_watchEvent.wait(guard, done);
    }
    SharedDLL_shutdown();
    return reached ? 0 : 1;
}
