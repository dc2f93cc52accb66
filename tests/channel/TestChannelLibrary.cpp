// The channel library inside one process. A process maps the channel once, so the
// whole run shares one runtime folder; each case checks what it changes.
#include "ChannelLayout.h"
#include "ChannelToolRunner.h"
#include "TestEnvironment.h"
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <linux/futex.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>
#include <ctime>
#include <mutex>

namespace {
// What the callbacks of this process received; they run on the listener thread.
struct Received {
    std::mutex mutex;
    QList<QPair<QString, int>> calls;
    int lightModeSeenInCallback = -1;
    NotiEventData lastNoti{};

    void add(const QString &kind, int argument)
    {
        std::lock_guard<std::mutex> guard(mutex);
        calls.append({kind, argument});
    }
    QList<QPair<QString, int>> snapshot()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return calls;
    }
    bool contains(const QString &kind, int argument) { return snapshot().contains({kind, argument}); }
    void clear()
    {
        std::lock_guard<std::mutex> guard(mutex);
        calls.clear();
    }
};
Received g_received;

void onRgb(int module) { g_received.add(QStringLiteral("rgb"), module); }
void onLightMode(int module)
{
    // A callback may call back into the library: the library's lock is not held.
    const int mode = GetValueLightMode(module);
    {
        std::lock_guard<std::mutex> guard(g_received.mutex);
        g_received.lightModeSeenInCallback = mode;
    }
    g_received.add(QStringLiteral("lightmode"), module);
}
void onProfile(int profile) { g_received.add(QStringLiteral("profile"), profile); }
void onNoti(NotiEventData event)
{
    {
        std::lock_guard<std::mutex> guard(g_received.mutex);
        g_received.lastNoti = event;
    }
    g_received.add(QStringLiteral("noti"), event.type);
}

struct Snapshot {
    HWData data;
    COLORREF sync[kSyncColourCount];
};

Snapshot snapshot()
{
    Snapshot s;
    s.data = GetValueHWData();
    std::memcpy(s.sync, GetValueSyncRGB(5), sizeof s.sync);
    return s;
}

bool sameState(const Snapshot &a, const Snapshot &b)
{
    return std::memcmp(&a.data, &b.data, sizeof a.data) == 0 && std::memcmp(a.sync, b.sync, sizeof a.sync) == 0;
}

// Maps the channel's file directly, as another process would, for the cases that
// need to act on the shared layout itself.
ChannelLayout *mapSegment(const TestEnvironment &env)
{
    const QByteArray path = QFile::encodeName(env.runtimeDir() + QStringLiteral("/veltrima/lighting.shm"));
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void *address = mmap(nullptr, sizeof(ChannelLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    return address == MAP_FAILED ? nullptr : static_cast<ChannelLayout *>(address);
}

// Appends an event as a process with another pid would; call with the lock held.
void appendForeignEvent(ChannelLayout &shared, ChannelEventKind kind, int argument, const NotiEventData &noti = {})
{
    const std::uint32_t sequence = shared.sequence;
    ChannelEvent &event = shared.ring[sequence % kChannelRingSize];
    event = ChannelEvent{};
    event.sequence = sequence;
    event.kind = kind;
    event.argument = argument;
    event.originPid = 1;
    event.notiEvent = noti;
    __atomic_store_n(&shared.sequence, sequence + 1, __ATOMIC_RELEASE);
}

void wakeListeners(ChannelLayout &shared)
{
    syscall(SYS_futex, &shared.sequence, FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

// Raises one event as another process would.
void raiseForeignEvent(const TestEnvironment &env, ChannelEventKind kind, int argument)
{
    ChannelLayout *shared = mapSegment(env);
    if (!shared)
        return;
    pthread_mutex_lock(&shared->mutex);
    appendForeignEvent(*shared, kind, argument);
    pthread_mutex_unlock(&shared->mutex);
    wakeListeners(*shared);
    munmap(shared, sizeof(ChannelLayout));
}

// A callback that holds the listener until the test lets it go.
std::atomic<bool> g_slowEntered{false};
std::atomic<bool> g_slowRelease{false};
std::atomic<bool> g_slowFinished{false};
void onSlowProfile(int)
{
    g_slowEntered = true;
    while (!g_slowRelease)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // Long enough that a stop which did not wait would be seen returning first.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    g_slowFinished = true;
}

std::atomic<bool> g_stoppedFromCallback{false};
void onProfileThenStop(int profile)
{
    g_received.add(QStringLiteral("profile"), profile);
    SharedDLL_shutdown();
    g_stoppedFromCallback = true;
}

void storeByte(bool &field, std::uint8_t byte)
{
    std::memcpy(&field, &byte, 1);
}
} // namespace

class TestChannelLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newChannelHasDefaults();
    void badModulesChangeNothing_data();
    void badModulesChangeNothing();
    void nullPointersAndNegativeCountsChangeNothing();
    void countsAreClamped();
    void hardwareRecordTakesOnlyReaderFields();
    void slotNumbersAndSettings();
    void remoteChangesReachCallbacksButOwnDoNot();
    void fallenBehindListenerDeliversWhatRemains();
    void foreignBytesAreReadSafely();
    void shutdownStopsCallbacksUntilRegisteredAgain();
    void shutdownWaitsForARunningCallback();
    void shutdownFromACallbackReturns();
    void lockHeldByAHungProcessDoesNotHang();
    void lockOfDeadProcessIsRecovered();
    void cleanupTestCase();

private:
    TestEnvironment m_env;
    ChannelToolRunner m_tool;
};

void TestChannelLibrary::initTestCase()
{
    SharedDLL_init();
    SharedDLL_init(); // idempotent
    QVERIFY(QFileInfo::exists(m_env.runtimeDir() + QStringLiteral("/veltrima/lighting.shm")));
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(m_env.runtimeDir() + QStringLiteral("/veltrima")).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QCOMPARE(::stat(QFile::encodeName(m_env.runtimeDir() + QStringLiteral("/veltrima/lighting.shm")).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
}

void TestChannelLibrary::newChannelHasDefaults()
{
    const HWData data = GetValueHWData();
    QCOMPARE(data.dataTimestamp, 0);
    QVERIFY(!isFreshTimestamp(data.dataTimestamp, std::time(nullptr)));
    QCOMPARE(data.memoryCount, -1);
    QCOMPARE(GetProfile(), 0);
    SettingData defaults{};
    defaults.reset();
    QCOMPARE(GetSettingValue(), defaults.pack());
    QCOMPARE(GetNotiEvent().type, -1);
    for (int m = 0; m < kModuleCount; ++m) {
        QCOMPARE(data.memoryData[m].ledNum, 0);
        QCOMPARE(GetValueLightMode(m), 5);
        QCOMPARE(GetValueColorMode(m), 0);
        QCOMPARE(GetValueLightSpeed(m), 2);
        QCOMPARE(GetValueTurnOff(m), false);
        QCOMPARE(GetValueMemorySlotNumber(m), m);
        QCOMPARE(GetValueSingleRGB(m), rgbColor(255, 0, 0));
        QCOMPARE(GetValueSingleBright(m), 1.0f);
        QCOMPARE(GetValueRGB(m)[1], rgbColor(216, 255, 0));
        QCOMPARE(GetValueSoftwareRGB(m)[1], rgbColor(216, 255, 0));
        QCOMPARE(GetValueBright(m)[11], 1.0f);
    }
    for (int k = 0; k < kSyncColourCount; ++k)
        QCOMPARE(GetValueSyncRGB(5)[k], COLORREF(0));
}

void TestChannelLibrary::badModulesChangeNothing_data()
{
    QTest::addColumn<int>("module");
    QTest::newRow("-1") << -1;
    QTest::newRow("8") << 8;
    QTest::newRow("100000") << 100000;
    QTest::newRow("INT_MIN") << INT_MIN;
}

void TestChannelLibrary::badModulesChangeNothing()
{
    QFETCH(int, module);
    const Snapshot before = snapshot();
    const COLORREF colours[kLedSlots] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const float bright[kLedSlots] = {};
    SetValueRGB(module, colours, bright, 0x123456, 0.5f, 12);
    SetValueLighting(module, 9, 1, 0, true);
    SetValueSoftwareRGB(module, colours, 12);
    QVERIFY(sameState(before, snapshot()));

    QVERIFY(!GetValueRGB(module));
    QVERIFY(!GetValueBright(module));
    QVERIFY(!GetValueSoftwareRGB(module));
    QCOMPARE(GetValueSingleRGB(module), COLORREF(0));
    QCOMPARE(GetValueSingleBright(module), 0.0f);
    QCOMPARE(GetValueLightMode(module), 0);
    QCOMPARE(GetValueColorMode(module), 0);
    QCOMPARE(GetValueLightSpeed(module), 0);
    QCOMPARE(GetValueTurnOff(module), false);
    QCOMPARE(GetValueMemorySlotNumber(module), 0);
}

void TestChannelLibrary::nullPointersAndNegativeCountsChangeNothing()
{
    const Snapshot before = snapshot();
    const COLORREF colours[kLedSlots] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const float bright[kLedSlots] = {};
    const int slotNumbers[kModuleCount] = {7, 6, 5, 4, 3, 2, 1, 0};
    SetValueRGB(0, nullptr, bright, 1, 1.0f, 12);
    SetValueRGB(0, colours, nullptr, 1, 1.0f, 12);
    SetValueRGB(0, colours, bright, 1, 1.0f, -1);
    SetValueSoftwareRGB(0, nullptr, 12);
    SetValueSoftwareRGB(0, colours, -5);
    SetValueSyncRGB(5, nullptr);
    SetValueSyncRGB(-1, colours);
    SetSlotNumber(8, nullptr);
    SetSlotNumber(-8, slotNumbers);
    SetValueHWData(nullptr);
    QVERIFY(sameState(before, snapshot()));
    QVERIFY(!GetValueSyncRGB(-1));
}

void TestChannelLibrary::countsAreClamped()
{
    // Arrays larger than the records: only what fits is read and stored.
    COLORREF many[20];
    float manyBright[20];
    for (int i = 0; i < 20; ++i) {
        many[i] = COLORREF(0x100 + i);
        manyBright[i] = 0.05f * float(i);
    }
    const HWData before = GetValueHWData();
    SetValueRGB(2, many, manyBright, 0xABCDEF, 0.25f, 20);
    const HWData after = GetValueHWData();
    for (int k = 0; k < kLedSlots; ++k) {
        QCOMPARE(GetValueRGB(2)[k], many[k]);
        QCOMPARE(GetValueBright(2)[k], manyBright[k]);
    }
    QCOMPARE(GetValueSingleRGB(2), COLORREF(0xABCDEF));
    QCOMPARE(GetValueSingleBright(2), 0.25f);
    QVERIFY(std::memcmp(&before.memoryData[3], &after.memoryData[3], sizeof(MemoryModuleData)) == 0);

    // The user interface sends five colours: the other seven stay.
    const COLORREF five[5] = {11, 12, 13, 14, 15};
    const float fiveBright[5] = {1, 1, 1, 1, 1};
    SetValueRGB(2, five, fiveBright, 0, 1.0f, 5);
    QCOMPARE(GetValueRGB(2)[4], COLORREF(15));
    QCOMPARE(GetValueRGB(2)[5], many[5]);
    QCOMPARE(GetValueBright(2)[5], manyBright[5]);

    SetValueSoftwareRGB(6, many, 13);
    QCOMPARE(GetValueSoftwareRGB(6)[11], many[11]);
    QCOMPARE(GetValueSoftwareRGB(7)[0], rgbColor(255, 0, 0));

    SetValueSyncRGB(9, many);
    for (int k = 0; k < kSyncColourCount; ++k)
        QCOMPARE(GetValueSyncRGB(5)[k], many[k]);
    QVERIFY(!GetValueSyncRGB(6));
    QVERIFY(!GetValueSyncRGB(100));
    QCOMPARE(GetValueHWData().memoryData[0].rgb[0], before.memoryData[0].rgb[0]);
}

void TestChannelLibrary::hardwareRecordTakesOnlyReaderFields()
{
    SetValueLighting(1, 9, 1, 3, true);
    SetProfile(3);
    NotiEventData noti = GetNotiEvent();
    noti.type = 3;
    noti.fanSpeedOn = true;
    noti.fanSpeedValue = 60;
    SetNotiEvent(noti);
    const int order[kModuleCount] = {1, 0, 2, 3, 4, 5, 6, 7};
    SetSlotNumber(8, order);

    // A counted module before the scan.
    HWData counted = GetValueHWData();
    counted.memoryData[0].ledNum = 5;
    counted.memoryData[1].ledNum = 5;
    SetValueHWData(&counted);

    // A fresh scan: readings filled, LEDs not counted, lighting fields at defaults.
    HWData scan = makeZeroHWData();
    scan.reset();
    scan.memoryIndex[0] = 0;
    scan.memoryIndex[1] = 1;
    scan.memoryCount = 2;
    scan.slotCount = 4;
    scan.cpuTemperature = 47;
    scan.physicalMemoryLoad = 42.5;
    std::memset(scan.chipset, 'x', sizeof scan.chipset); // no terminator
    setText(scan.memoryData[0].manufacturer, "Vandercrest");
    scan.memoryData[0].memorySlot = 2;
    scan.memoryData[0].temperature = 38;
    scan.memoryData[0].frequency = 1600.0;
    scan.memoryData[0].memoryModuleSize = 16384;
    scan.memoryData[0].ledNum = 0;
    scan.memoryData[1].ledNum = -1;
    scan.memoryData[2].ledNum = 7;
    scan.memoryData[3].ledNum = 40;
    scan.selectProfile = 1;
    scan.settingData.language = 8;
    scan.notiEvent.fanSpeedValue = 1;

    const std::int64_t start = std::time(nullptr);
    SetValueHWData(&scan);
    const std::int64_t end = std::time(nullptr);
    const HWData stored = GetValueHWData();

    QCOMPARE(stored.memoryCount, 2);
    QCOMPARE(stored.memoryIndex[1], 1);
    QCOMPARE(stored.slotCount, 4);
    QCOMPARE(stored.cpuTemperature, 47);
    QCOMPARE(stored.physicalMemoryLoad, 42.5);
    QCOMPARE(textLength(stored.chipset), std::size_t(kTextSize - 1));
    QCOMPARE(QByteArray(stored.memoryData[0].manufacturer), QByteArray("Vandercrest"));
    QCOMPARE(stored.memoryData[0].memorySlot, 2);
    QCOMPARE(stored.memoryData[0].temperature, 38);
    QCOMPARE(stored.memoryData[0].frequency, 1600.0);
    QCOMPARE(stored.memoryData[0].memoryModuleSize, 16384);
    // LED counts survive a scan that has not counted them; a count is capped.
    QCOMPARE(stored.memoryData[0].ledNum, 5);
    QCOMPARE(stored.memoryData[1].ledNum, 5);
    QCOMPARE(stored.memoryData[2].ledNum, 7);
    QCOMPARE(stored.memoryData[3].ledNum, kLedSlots);
    // Fields owned by other setters stay.
    QCOMPARE(stored.memoryData[1].lightMode, 9);
    QCOMPARE(stored.memoryData[1].colorMode, 1);
    QCOMPARE(stored.memoryData[1].turnOff, true);
    QCOMPARE(stored.memoryData[0].slotSequence, 1);
    QCOMPARE(stored.memoryData[1].slotSequence, 0);
    QCOMPARE(stored.selectProfile, 3);
    QCOMPARE(stored.notiEvent.fanSpeedValue, 60);
    QCOMPARE(stored.settingData.language, 0);
    QVERIFY(stored.dataTimestamp >= start && stored.dataTimestamp <= end);
    QVERIFY(isFreshTimestamp(stored.dataTimestamp, end));
}

void TestChannelLibrary::slotNumbersAndSettings()
{
    const int order[kModuleCount] = {7, 6, 5, 4, 3, 2, 1, 0};
    const std::int32_t slotBefore = GetValueHWData().memoryData[0].memorySlot;
    SetSlotNumber(20, order);
    for (int m = 0; m < kModuleCount; ++m)
        QCOMPARE(GetValueMemorySlotNumber(m), 7 - m);
    QCOMPARE(GetValueHWData().memoryData[0].memorySlot, slotBefore);

    const int firstTwo[2] = {0, 1};
    SetSlotNumber(2, firstTwo);
    QCOMPARE(GetValueMemorySlotNumber(1), 1);
    QCOMPARE(GetValueMemorySlotNumber(2), 5);

    const SettingData setting{5, false, true, true};
    SetSettingValue(setting.pack());
    QCOMPARE(GetSettingValue(), setting.pack());
    QCOMPARE(GetValueHWData().settingData.language, 5);
    // Flags other than 0/1 and a non-zero top byte come back canonical.
    SetSettingValue(0xFF00020300000002ull);
    QCOMPARE(GetSettingValue(), 0x0000010100000002ull);
}

void TestChannelLibrary::remoteChangesReachCallbacksButOwnDoNot()
{
    RegisterReceiveFunc(onRgb);
    RegisterReceiveLightModeFunc(onLightMode);
    RegisterReceiveProfile(onProfile);
    RegisterReceiveNotiEvent(onNoti);
    g_received.clear();

    // Our own changes come first in the ring; none of them may come back to us.
    const COLORREF colours[kLedSlots] = {};
    const float bright[kLedSlots] = {};
    SetValueRGB(1, colours, bright, 0, 1.0f, 12);
    SetValueLighting(1, 4, 0, 2, false);
    SetProfile(2);

    QCOMPARE(m_tool.run({QStringLiteral("set-rgb"), QStringLiteral("3"), QStringLiteral("0x0a0b0c")}).exitCode, 0);
    QCOMPARE(m_tool.run({QStringLiteral("set-lighting"), QStringLiteral("4"), QStringLiteral("16"),
                         QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("on")})
                 .exitCode,
             0);
    QCOMPARE(m_tool.run({QStringLiteral("set-settings"), QStringLiteral("--auto-run"), QStringLiteral("0")}).exitCode,
             0);
    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("noti"), 5), ChannelToolRunner::kWaitMs);

    const QList<QPair<QString, int>> expected = {
        {QStringLiteral("rgb"), 3}, {QStringLiteral("lightmode"), 4}, {QStringLiteral("noti"), 5}};
    QCOMPARE(g_received.snapshot(), expected);
    {
        std::lock_guard<std::mutex> guard(g_received.mutex);
        QCOMPARE(g_received.lightModeSeenInCallback, 16);
        // A settings change arrives with the current notification settings.
        QCOMPARE(g_received.lastNoti.fanSpeedValue, 60);
    }
    QCOMPARE(GetValueRGB(3)[0], COLORREF(0x0a0b0c));
}

void TestChannelLibrary::fallenBehindListenerDeliversWhatRemains()
{
    ChannelLayout *shared = mapSegment(m_env);
    QVERIFY(shared);
    g_received.clear();
    // Another process appends far more events than the ring holds in one go.
    const int total = 3 * kChannelRingSize + 7;
    QCOMPARE(pthread_mutex_lock(&shared->mutex), 0);
    for (int i = 0; i < total; ++i)
        appendForeignEvent(*shared, ChannelEventKind::Profile, i);
    pthread_mutex_unlock(&shared->mutex);
    wakeListeners(*shared);

    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("profile"), total - 1), ChannelToolRunner::kWaitMs);
    const QList<QPair<QString, int>> calls = g_received.snapshot();
    QVERIFY(calls.size() <= kChannelRingSize);
    for (int i = 1; i < calls.size(); ++i)
        QCOMPARE(calls.at(i).second, calls.at(i - 1).second + 1);
    munmap(shared, sizeof(ChannelLayout));
}

void TestChannelLibrary::foreignBytesAreReadSafely()
{
    ChannelLayout *shared = mapSegment(m_env);
    QVERIFY(shared);
    g_received.clear();
    QCOMPARE(pthread_mutex_lock(&shared->mutex), 0);
    storeByte(shared->hwData.memoryData[0].turnOff, 0x02);
    storeByte(shared->hwData.settingData.isAutoRun, 0x80);
    storeByte(shared->hwData.notiEvent.loadingOn, 0x03);
    std::memset(shared->hwData.chipset, 'c', sizeof shared->hwData.chipset);
    NotiEventData noti = shared->hwData.notiEvent;
    noti.type = 4;
    storeByte(noti.shutdownCPUOn, 0x40);
    appendForeignEvent(*shared, ChannelEventKind::Rgb, 99);
    appendForeignEvent(*shared, ChannelEventKind::LightMode, -3);
    appendForeignEvent(*shared, static_cast<ChannelEventKind>(77), 1);
    appendForeignEvent(*shared, ChannelEventKind::NotiEvent, 4, noti);
    appendForeignEvent(*shared, ChannelEventKind::Rgb, 2);
    pthread_mutex_unlock(&shared->mutex);
    wakeListeners(*shared);

    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("rgb"), 2), ChannelToolRunner::kWaitMs);
    const QList<QPair<QString, int>> expected = {{QStringLiteral("noti"), 4}, {QStringLiteral("rgb"), 2}};
    QCOMPARE(g_received.snapshot(), expected);
    {
        std::lock_guard<std::mutex> guard(g_received.mutex);
        QCOMPARE(g_received.lastNoti.shutdownCPUOn, true);
    }

    QCOMPARE(GetValueTurnOff(0), true);
    QCOMPARE(GetSettingValue() & (0xFFull << 40), 1ull << 40);
    QCOMPARE(GetNotiEvent().loadingOn, true);
    const HWData data = GetValueHWData();
    QCOMPARE(data.memoryData[0].turnOff, true);
    QCOMPARE(data.settingData.isAutoRun, true);
    QCOMPARE(textLength(data.chipset), std::size_t(kTextSize - 1));
    munmap(shared, sizeof(ChannelLayout));
}

void TestChannelLibrary::shutdownStopsCallbacksUntilRegisteredAgain()
{
    RegisterReceiveProfile(onProfile);
    SharedDLL_shutdown();
    g_received.clear();
    raiseForeignEvent(m_env, ChannelEventKind::Profile, 31);

    // A new registration listens from now on: the event raised while stopped is not
    // delivered late, the next one is.
    RegisterReceiveProfile(onProfile);
    raiseForeignEvent(m_env, ChannelEventKind::Profile, 32);
    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("profile"), 32), ChannelToolRunner::kWaitMs);
    const QList<QPair<QString, int>> expected = {{QStringLiteral("profile"), 32}};
    QCOMPARE(g_received.snapshot(), expected);
    // Stopping a stopped listener is harmless.
    SharedDLL_shutdown();
    SharedDLL_shutdown();
}

void TestChannelLibrary::shutdownWaitsForARunningCallback()
{
    RegisterReceiveProfile(onSlowProfile);
    raiseForeignEvent(m_env, ChannelEventKind::Profile, 1);
    QTRY_VERIFY_WITH_TIMEOUT(g_slowEntered.load(), ChannelToolRunner::kWaitMs);

    std::atomic<bool> finishedWhenStopped{false};
    std::thread stopper([&] {
        SharedDLL_shutdown();
        finishedWhenStopped = g_slowFinished.load();
    });
    g_slowRelease = true;
    stopper.join();
    QVERIFY(finishedWhenStopped);
}

void TestChannelLibrary::shutdownFromACallbackReturns()
{
    g_received.clear();
    RegisterReceiveProfile(onProfileThenStop);
    raiseForeignEvent(m_env, ChannelEventKind::Profile, 41);
    QTRY_VERIFY_WITH_TIMEOUT(g_stoppedFromCallback.load(), ChannelToolRunner::kWaitMs);
    // Stopped: the callback is forgotten, so a later event reaches nobody, and a new
    // registration works again.
    raiseForeignEvent(m_env, ChannelEventKind::Profile, 42);
    RegisterReceiveProfile(onProfile);
    raiseForeignEvent(m_env, ChannelEventKind::Profile, 43);
    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("profile"), 43), ChannelToolRunner::kWaitMs);
    QVERIFY(!g_received.contains(QStringLiteral("profile"), 42));
    SharedDLL_shutdown();
}

void TestChannelLibrary::lockHeldByAHungProcessDoesNotHang()
{
    SharedDLL_shutdown();
    SetProfile(1);
    ChannelLayout *shared = mapSegment(m_env);
    QVERIFY(shared);
    int ready[2];
    QCOMPARE(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        pthread_mutex_lock(&shared->mutex);
        const char byte = 1;
        if (write(ready[1], &byte, 1) != 1)
            _exit(1);
        for (;;)
            pause(); // hangs holding the lock
    }
    QVERIFY(child > 0);
    char byte = 0;
    QCOMPARE(read(ready[0], &byte, 1), ssize_t(1));

    // Each call gives up instead of waiting for ever, and changes nothing.
    SetProfile(3);
    QVERIFY(GetProfile() != 3);

    ::kill(child, SIGKILL);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    ::close(ready[0]);
    ::close(ready[1]);
    QCOMPARE(GetProfile(), 1);
    munmap(shared, sizeof(ChannelLayout));
}

void TestChannelLibrary::lockOfDeadProcessIsRecovered()
{
    // Stop our listener so that no thread of ours holds the lock while we fork.
    SharedDLL_shutdown();
    ChannelLayout *shared = mapSegment(m_env);
    QVERIFY(shared);
    const pid_t child = fork();
    if (child == 0) {
        pthread_mutex_lock(&shared->mutex);
        _exit(0); // dies holding the lock
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);

    SetProfile(4);
    QCOMPARE(GetProfile(), 4);
    SetProfile(1);
    QCOMPARE(GetProfile(), 1);
    munmap(shared, sizeof(ChannelLayout));
}

void TestChannelLibrary::cleanupTestCase()
{
    SharedDLL_shutdown();
}

QTEST_GUILESS_MAIN(TestChannelLibrary)
#include "TestChannelLibrary.moc"
