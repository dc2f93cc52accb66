// The channel library inside one process. A process maps the channel once, so the
// whole run shares one runtime folder; each case checks what it changes.
#include "ChannelLayout.h"
#include "ChannelToolRunner.h"
#include "TestEnvironment.h"
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
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
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>
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

QString segmentPath(const TestEnvironment &env)
{
    return env.runtimeDir() + QStringLiteral("/veltrima/") + QString::fromStdString(channelSegmentFileName());
}

// The channel's file mapped directly, as another process would, for the cases that
// need to act on the shared layout itself. Its own open description takes the
// channel's lock like any other process.
class ForeignMapping
{
public:
    explicit ForeignMapping(const TestEnvironment &env)
    {
        m_fd = ::open(QFile::encodeName(segmentPath(env)).constData(), O_RDWR | O_CLOEXEC);
        if (m_fd < 0)
            return;
        void *address = mmap(nullptr, sizeof(ChannelLayout), PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
        if (address != MAP_FAILED)
            m_layout = static_cast<ChannelLayout *>(address);
    }
    ~ForeignMapping()
    {
        if (m_layout)
            munmap(m_layout, sizeof(ChannelLayout));
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ForeignMapping(const ForeignMapping &) = delete;
    ForeignMapping &operator=(const ForeignMapping &) = delete;

    ChannelLayout *operator->() const { return m_layout; }
    ChannelLayout &operator*() const { return *m_layout; }
    explicit operator bool() const { return m_layout != nullptr; }
    bool lock() const { return flock(m_fd, LOCK_EX) == 0; }
    void unlock() const { flock(m_fd, LOCK_UN); }

private:
    int m_fd = -1;
    ChannelLayout *m_layout = nullptr;
};

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

// Takes the channel's lock in a forked child through a description of its own (one
// inherited from the parent would share the parent's lock).
void lockInChild(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0 || flock(fd, LOCK_EX) != 0)
        _exit(1);
}

// Raises one event as another process would.
void raiseForeignEvent(const TestEnvironment &env, ChannelEventKind kind, int argument)
{
    const ForeignMapping shared(env);
    if (!shared || !shared.lock())
        return;
    appendForeignEvent(*shared, kind, argument);
    shared.unlock();
    wakeListeners(*shared);
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

// Collects what the library writes to standard error meanwhile.
class StderrCapture
{
public:
    StderrCapture() : m_file(std::tmpfile())
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() { finish(); }
    QByteArray finish()
    {
        if (m_saved < 0)
            return m_text;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
        std::rewind(m_file);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
            m_text.append(buffer, int(n));
        std::fclose(m_file);
        return m_text;
    }

private:
    std::FILE *m_file;
    int m_saved = -1;
    QByteArray m_text;
};

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
    void shrunkOrRemovedSegmentIsReplacedNotTouched();
    void unreachableSegmentFailsQuicklyAndQuietly();
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
    QVERIFY(QFileInfo::exists(segmentPath(m_env)));
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(m_env.runtimeDir() + QStringLiteral("/veltrima")).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QCOMPARE(::stat(QFile::encodeName(segmentPath(m_env)).constData(), &info), 0);
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

    // Only the engine's own call takes a count down to 0 (a module no longer found).
    SetValueLedNum(0, 0);
    SetValueLedNum(1, 99);
    SetValueLedNum(8, 3);
    QVERIFY(!SharedDLL_lastCallSucceeded());
    const HWData recounted = GetValueHWData();
    QCOMPARE(recounted.memoryData[0].ledNum, 0);
    QCOMPARE(recounted.memoryData[1].ledNum, kLedSlots);
    QCOMPARE(recounted.memoryData[2].ledNum, 7);
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
    const ForeignMapping shared(m_env);
    QVERIFY(shared);
    g_received.clear();
    // Another process appends far more events than the ring holds in one go.
    const int total = 3 * kChannelRingSize + 7;
    QVERIFY(shared.lock());
    for (int i = 0; i < total; ++i)
        appendForeignEvent(*shared, ChannelEventKind::Profile, i);
    shared.unlock();
    wakeListeners(*shared);

    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("profile"), total - 1), ChannelToolRunner::kWaitMs);
    const QList<QPair<QString, int>> calls = g_received.snapshot();
    QVERIFY(calls.size() <= kChannelRingSize);
    for (int i = 1; i < calls.size(); ++i)
        QCOMPARE(calls.at(i).second, calls.at(i - 1).second + 1);
}

void TestChannelLibrary::foreignBytesAreReadSafely()
{
    const ForeignMapping shared(m_env);
    QVERIFY(shared);
    g_received.clear();
    QVERIFY(shared.lock());
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
    shared.unlock();
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

void TestChannelLibrary::shrunkOrRemovedSegmentIsReplacedNotTouched()
{
    RegisterReceiveProfile(onProfile);
    SetProfile(2);
    const QByteArray path = QFile::encodeName(segmentPath(m_env));

    // Shrunk in place: touching the missing pages would raise SIGBUS. The file is
    // grown again and, its content gone, rebuilt.
    QCOMPARE(::truncate(path.constData(), 0), 0);
    QCOMPARE(GetProfile(), 0);
    QVERIFY(SharedDLL_lastCallSucceeded());
    QCOMPARE(QFileInfo(segmentPath(m_env)).size(), qint64(sizeof(ChannelLayout)));
    QCOMPARE(GetValueLightMode(3), 5);
    // A pointer getter is the first call after the shrink.
    QCOMPARE(::truncate(path.constData(), 100), 0);
    const COLORREF *rgb = GetValueRGB(0);
    QVERIFY(rgb);
    QCOMPARE(rgb[0], rgbColor(255, 0, 0));

    // Removed: the process moves to the file that now has the name, where other
    // processes meet it; a pointer handed out before shows the new file.
    QCOMPARE(::unlink(path.constData()), 0);
    SetProfile(4);
    QVERIFY(SharedDLL_lastCallSucceeded());
    const ToolResult shown = m_tool.run({QStringLiteral("show"), QStringLiteral("--json")});
    QCOMPARE(shown.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(shown.out).object().value(QStringLiteral("selectProfile")).toInt(), 4);
    QCOMPARE(m_tool.run({QStringLiteral("set-rgb"), QStringLiteral("0"), QStringLiteral("0x123456")}).exitCode, 0);
    QCOMPARE(rgb[0], COLORREF(0x123456));

    // The listener lived through all of it and hears the other processes.
    g_received.clear();
    QCOMPARE(m_tool.run({QStringLiteral("set-profile"), QStringLiteral("1")}).exitCode, 0);
    QTRY_VERIFY_WITH_TIMEOUT(g_received.contains(QStringLiteral("profile"), 1), ChannelToolRunner::kWaitMs);
}

void TestChannelLibrary::unreachableSegmentFailsQuicklyAndQuietly()
{
    // The file shrank and nothing can take its place: the folder is now a file.
    const QString folder = m_env.runtimeDir() + QStringLiteral("/veltrima");
    const QString away = folder + QStringLiteral(".away");
    QVERIFY(QDir().rename(folder, away));
    const QString movedSegment = away + QLatin1Char('/') + QString::fromStdString(channelSegmentFileName());
    QCOMPARE(::truncate(QFile::encodeName(movedSegment).constData(), 0), 0);
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    // Polled as the window polls the preview: every call fails at once, says so, and
    // the log gets a few lines, not one per call.
    StderrCapture capture;
    QElapsedTimer timer;
    timer.start();
    int reached = 0;
    for (int i = 0; i < 500; ++i) {
        GetValueLightMode(i % kModuleCount);
        reached += SharedDLL_lastCallSucceeded() ? 1 : 0;
        reached += GetValueSoftwareRGB(i % kModuleCount) ? 1 : 0;
        reached += SharedDLL_lastCallSucceeded() ? 1 : 0;
    }
    const qint64 elapsed = timer.elapsed();
    const QByteArray log = capture.finish();
    QCOMPARE(reached, 0);
    QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
    QVERIFY2(log.count('\n') <= 10, log.constData());

    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().rename(away, folder));
    QTRY_VERIFY_WITH_TIMEOUT(GetValueLightMode(0) == 5 && SharedDLL_lastCallSucceeded(), ChannelToolRunner::kWaitMs);
    SharedDLL_shutdown();
}

void TestChannelLibrary::lockHeldByAHungProcessDoesNotHang()
{
    SharedDLL_shutdown();
    SetProfile(1);
    const QByteArray path = QFile::encodeName(segmentPath(m_env));
    int ready[2];
    QCOMPARE(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        lockInChild(path);
        const char byte = 1;
        if (write(ready[1], &byte, 1) != 1)
            _exit(1);
        for (;;)
            pause(); // hangs holding the lock
    }
    QVERIFY(child > 0);
    char byte = 0;
    QCOMPARE(read(ready[0], &byte, 1), ssize_t(1));

    // Each call gives up instead of waiting for ever, changes nothing, and says so.
    QElapsedTimer timer;
    timer.start();
    SetProfile(3);
    QVERIFY(!SharedDLL_lastCallSucceeded());
    QCOMPARE(GetProfile(), 0);
    QVERIFY(!SharedDLL_lastCallSucceeded());
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    // The pointers stay usable: they take no lock.
    QVERIFY(GetValueRGB(0));
    QVERIFY(SharedDLL_lastCallSucceeded());

    // Every operation that needs the lock says that it did not reach the state, even
    // right after one that did. One thread each, so that the waits overlap.
    const COLORREF colours[kLedSlots] = {};
    const float bright[kLedSlots] = {};
    const int slotNumbers[kModuleCount] = {};
    const HWData record = makeZeroHWData();
    const std::vector<std::pair<const char *, std::function<void()>>> operations = {
        {"SetValueRGB", [&] { SetValueRGB(0, colours, bright, 0, 1.0f, kLedSlots); }},
        {"SetValueLighting", [] { SetValueLighting(0, 6, 0, 2, false); }},
        {"SetSlotNumber", [&] { SetSlotNumber(kModuleCount, slotNumbers); }},
        {"SetProfile", [] { SetProfile(2); }},
        {"SetNotiEvent", [] { SetNotiEvent(NotiEventData{}); }},
        {"SetSettingValue", [] { SetSettingValue(0); }},
        {"SetValueHWData", [&] { SetValueHWData(&record); }},
        {"SetValueSyncRGB", [&] { SetValueSyncRGB(kSyncColourCount, colours); }},
        {"Refresh_View", [] { Refresh_View(); }},
        {"GetValueHWData", [] { GetValueHWData(); }},
        {"GetNotiEvent", [] { GetNotiEvent(); }},
        {"GetSettingValue", [] { GetSettingValue(); }},
        {"GetProfile", [] { GetProfile(); }},
        {"GetValueSingleRGB", [] { GetValueSingleRGB(0); }},
        {"GetValueSingleBright", [] { GetValueSingleBright(0); }},
        {"GetValueLightMode", [] { GetValueLightMode(0); }},
        {"GetValueColorMode", [] { GetValueColorMode(0); }},
        {"GetValueLightSpeed", [] { GetValueLightSpeed(0); }},
        {"GetValueTurnOff", [] { GetValueTurnOff(0); }},
        {"GetValueMemorySlotNumber", [] { GetValueMemorySlotNumber(0); }},
    };
    std::vector<int> reached(operations.size(), -1);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < operations.size(); ++i) {
        threads.emplace_back([&, i] {
            if (!GetValueBright(1) || !SharedDLL_lastCallSucceeded())
                return;
            operations[i].second();
            reached[i] = SharedDLL_lastCallSucceeded() ? 1 : 0;
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (std::size_t i = 0; i < operations.size(); ++i)
        QVERIFY2(reached[i] == 0, operations[i].first);

    ::kill(child, SIGKILL);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    ::close(ready[0]);
    ::close(ready[1]);
    QCOMPARE(GetProfile(), 1);
    QVERIFY(SharedDLL_lastCallSucceeded());
}

void TestChannelLibrary::lockOfDeadProcessIsRecovered()
{
    // Stop our listener so that no thread of ours holds the lock while we fork.
    SharedDLL_shutdown();
    const QByteArray path = QFile::encodeName(segmentPath(m_env));
    const pid_t child = fork();
    if (child == 0) {
        lockInChild(path);
        _exit(0); // dies holding the lock
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);

    SetProfile(4);
    QCOMPARE(GetProfile(), 4);
    SetProfile(1);
    QCOMPARE(GetProfile(), 1);
}

void TestChannelLibrary::cleanupTestCase()
{
    SharedDLL_shutdown();
}

QTEST_GUILESS_MAIN(TestChannelLibrary)
#include "TestChannelLibrary.moc"
