#include "HalFixtures.h"
#include "Lighting_Control.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QString kServer = QStringLiteral("{40000000-0000-0000-0000-000000000004}");

QVector<quint32> frameOf(const EngineState &state, int module)
{
    return QVector<quint32>(state.memoryData[module].softwareRGB, state.memoryData[module].softwareRGB + 5);
}

} // namespace

class tst_engine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void sendCmdSkipsMbSync();
    void destructionLeavesEffect5();
    void frameSignalsFromTheEngineThread();
    void handlersMayCallBack();
    void timersDriveFramesAndSends();
    void overrunningFramesSkipTicks();
    void ledNumbersReported();
    void slotsDuringFrames();
    void rediscoveryWhileSending();
};

void tst_engine::sendCmdSkipsMbSync()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kServer, 4, 5));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 4);
    engine.setLightMode(2, 35, 0, 2, false);
    engine.setLightMode(1, 14, 0, 2, false); // Temp.: all blue after its reset
    engine.computeFrame();
    engine.computeFrame();
    engine.sendCmd();

    const auto published = VirtualHalState::read(kServer);
    QVERIFY(published);
    QCOMPARE(published->devices.at(2).colourCalls, 0ull);
    // The user interface still sees black for the skipped module.
    QCOMPARE(frameOf(engine.state(), 2), QVector<quint32>(5, 0));
    const EngineState state = engine.state();
    for (int m : {0, 1, 3}) {
        QCOMPARE(published->devices.at(m).colourCalls, 1ull);
        QCOMPARE(published->devices.at(m).lastEffect, 0);
        QCOMPARE(published->devices.at(m).lastCount, 5);
        QCOMPARE(published->devices.at(m).lastColours, frameOf(state, m));
    }
    QCOMPARE(published->devices.at(1).lastColours.at(0) & 0xFF0000u, 0xFF0000u);
}

void tst_engine::destructionLeavesEffect5()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kServer, 3, 5));
    EngineState last;
    {
        Lighting_Control engine;
        QCOMPARE(engine.setupMemory(), 3);
        COLORREF colours[5] = {0x11, 0x22, 0x33, 0x44, 0x55};
        float bright[5] = {1, 1, 1, 1, 1};
        engine.setRGB(1, colours, bright, 0, 0, 5);
        engine.setLightMode(1, 6, 0, 0, false);
        engine.setLightMode(2, 35, 0, 0, false);
        engine.startTimers();
        engine.computeFrame();
        last = engine.state();
    }
    const auto published = VirtualHalState::read(kServer);
    QVERIFY(published);
    for (int m = 0; m < 3; ++m) {
        QCOMPARE(published->devices.at(m).lastEffect, 5);
        QCOMPARE(published->devices.at(m).effectCalls[5], 1ull);
        QCOMPARE(published->devices.at(m).lastColours, frameOf(last, m));
    }
    QCOMPARE(published->devices.at(1).lastColours, QVector<quint32>({0x11, 0x22, 0x33, 0x44, 0x55}));
    QCOMPARE(published->objectsAlive, qint64(0));
}

void tst_engine::frameSignalsFromTheEngineThread()
{
    TestEnvironment env;
    Lighting_Control engine;
    // Written on the engine thread, read here after wait(); the lock makes that hand-over
    // visible to ThreadSanitizer, which cannot see through QThread::wait().
    std::mutex lock;
    QVector<int> modules;
    QVector<int> counts;
    QThread *emitter = nullptr;
    connect(&engine, &Lighting_Control::update_SoftwareRGB_DLL, this,
            [&](int module, COLORREF *colours, int count) {
                QVERIFY(colours);
                std::lock_guard<std::mutex> guard(lock);
                modules << module;
                counts << count;
                emitter = QThread::currentThread();
            },
            Qt::DirectConnection);
    engine.runEffect();
    QVERIFY(engine.wait(10000));
    std::lock_guard<std::mutex> guard(lock);
    QCOMPARE(modules, QVector<int>({0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(counts, QVector<int>(8, 5));
    QCOMPARE(emitter, static_cast<QThread *>(&engine));
    QCOMPARE(engine.state().frameCounter, 1);
}

void tst_engine::handlersMayCallBack()
{
    TestEnvironment env;
    Lighting_Control engine;
    engine.setLightMode(0, 20, 0, 2, false); // RGB Sync
    engine.setLightMode(1, 8, 0, 2, false);  // Movie
    engine.setLightMode(2, 30, 0, 2, false); // Screen Movie
    COLORREF sync[5] = {5, 4, 3, 2, 1};
    std::atomic<int> deskRequests{0}; // counted on the engine thread
    connect(&engine, &Lighting_Control::getRGBSync, this, [&] { engine.receive_RGB_Sync(5, sync); },
            Qt::DirectConnection);
    connect(&engine, &Lighting_Control::GetVolume, this, [&] { engine.slot_Volume(42); }, Qt::DirectConnection);
    connect(&engine, &Lighting_Control::getDeskPixelRGB, this,
            [&](int x, int y) {
                QCOMPARE(x, 0);
                QCOMPARE(y, 0);
                ++deskRequests;
            },
            Qt::DirectConnection);
    // Frame 1 resets every module; frame 2 asks; frame 3 shows what the answers brought.
    for (int frame = 0; frame < 3; ++frame) {
        engine.runEffect();
        QVERIFY(engine.wait(10000));
    }
    const EngineState state = engine.state();
    QCOMPARE(state.volume, 42);
    QCOMPARE(QVector<quint32>(state.syncColours, state.syncColours + 5), QVector<quint32>({5, 4, 3, 2, 1}));
    QCOMPARE(frameOf(state, 0), QVector<quint32>({5, 4, 3, 2, 1}));
    // Module 0 resets every module in frame 1; module 2 is dispatched after that reset.
    QCOMPARE(deskRequests.load(), 3);
}

void tst_engine::timersDriveFramesAndSends()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kServer, 2, 5));
    Lighting_Control engine;
    // Moved like the control program moves it, to a thread that here never runs: the
    // frames do not depend on the object's thread.
    QThread worker;
    engine.moveToThread(&worker);
    QCOMPARE(engine.setupMemory(), 2);
    QVERIFY(!engine.timersActive());

    // Every frame comes from one thread that lives as long as the frames run, one at a time.
    std::mutex lock;
    std::set<pid_t> frameThreads;
    std::atomic<int> inFrame{0};
    std::atomic<bool> overlapped{false};
    connect(&engine, &Lighting_Control::update_SoftwareRGB_DLL, this,
            [&](int module, COLORREF *, int) {
                if (module == 0 && ++inFrame > 1)
                    overlapped = true;
                if (module == kModuleCount - 1)
                    --inFrame;
                std::lock_guard<std::mutex> guard(lock);
                frameThreads.insert(pid_t(syscall(SYS_gettid)));
            },
            Qt::DirectConnection);
    const auto threadCount = [] { return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(); };
    engine.startTimers();
    QVERIFY(engine.timersActive());
    QTRY_VERIFY_WITH_TIMEOUT(VirtualHalState::read(kServer)->devices.at(0).colourCalls >= 3, 10000);
    const int threads = threadCount();
    const int firstFrames = engine.state().frameCounter;
    QTRY_VERIFY_WITH_TIMEOUT(engine.state().frameCounter >= firstFrames + 20, 20000);
    QCOMPARE(threadCount(), threads);
    {
        std::lock_guard<std::mutex> guard(lock);
        QCOMPARE(frameThreads.size(), std::size_t(1));
    }
    QVERIFY(!overlapped);

    // Paused sending: frames go on, sends stop (one already under way may still land).
    engine.seitchSendCmdTimer(false);
    const int frames = engine.state().frameCounter;
    QTRY_VERIFY_WITH_TIMEOUT(engine.state().frameCounter >= frames + 2, 10000);
    const quint64 paused = VirtualHalState::read(kServer)->devices.at(0).colourCalls;
    QTRY_VERIFY_WITH_TIMEOUT(engine.state().frameCounter >= frames + 5, 10000);
    QCOMPARE(VirtualHalState::read(kServer)->devices.at(0).colourCalls, paused);

    // Any thread may switch the sending back on.
    std::thread([&engine] { engine.seitchSendCmdTimer(true); }).join();
    QTRY_VERIFY_WITH_TIMEOUT(VirtualHalState::read(kServer)->devices.at(0).colourCalls > paused, 10000);
    engine.stopTimers();
    QVERIFY(!engine.timersActive());
    QVERIFY(engine.wait(10000));
    const int stopped = engine.state().frameCounter;
    QTest::qWait(200);
    QCOMPARE(engine.state().frameCounter, stopped);

    // Started again, the frames go on; a stop and a start in a row leave one loop running.
    engine.stopTimers();
    engine.startTimers();
    engine.stopTimers();
    engine.startTimers();
    QTRY_VERIFY_WITH_TIMEOUT(engine.state().frameCounter >= stopped + 3, 10000);
    {
        std::lock_guard<std::mutex> guard(lock);
        frameThreads.clear();
    }
    QTRY_VERIFY_WITH_TIMEOUT(engine.state().frameCounter >= stopped + 10, 10000);
    QVERIFY(!overlapped);
    engine.stopTimers();
    QVERIFY(engine.wait(10000));
    std::lock_guard<std::mutex> guard(lock);
    QCOMPARE(frameThreads.size(), std::size_t(1));
}

void tst_engine::overrunningFramesSkipTicks()
{
    TestEnvironment env;
    Lighting_Control engine;
    // Each frame takes 50 ms or more: the tick that passes meanwhile is skipped, not made
    // up for, so a frame starts every 80 ms (frames back to back would start every 50 ms).
    connect(&engine, &Lighting_Control::update_SoftwareRGB_DLL, this,
            [](int module, COLORREF *, int) {
                if (module == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
            },
            Qt::DirectConnection);
    QElapsedTimer clock;
    clock.start();
    engine.startTimers();
    QTRY_VERIFY_WITH_TIMEOUT(engine.state().frameCounter >= 5, 20000);
    const int frames = engine.state().frameCounter;
    QTest::qWait(1000);
    engine.stopTimers();
    QVERIFY(engine.wait(10000));
    const double seconds = clock.elapsed() / 1000.0;
    const int total = engine.state().frameCounter;
    QVERIFY2(total <= int(seconds * 1000 / 60) + 2, qPrintable(QStringLiteral("%1 frames in %2 s").arg(total).arg(seconds)));
    QVERIFY(total > frames);
}

void tst_engine::ledNumbersReported()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kServer, 3, 4));
    Lighting_Control engine;
    engine.setupMemory();
    QSignalSpy spy(&engine, &Lighting_Control::sendLedNum);
    engine.getMemoryLedNum();
    QCOMPARE(spy.size(), 8);
    for (int m = 0; m < 8; ++m)
        QCOMPARE(spy.at(m), QVariantList({m, m < 3 ? 4 : 0}));
}

void tst_engine::slotsDuringFrames()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kServer, 8, 5));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 8);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        COLORREF colours[5] = {1, 2, 3, 4, 5};
        float bright[5] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
        for (int i = 0; !stop; ++i) {
            const int m = i % 8;
            engine.setLightMode(m, i % 40, i % 4, i % 4, false);
            engine.setRGB(m, colours, bright, 0xFF, 0.5f, 5);
            engine.setTurnOff(m, i % 7 == 0);
            engine.setMemorySlotNumber(m, (i / 8) % 8);
            engine.setHelloIndex(i % 10);
            engine.setMemoryLoad(i % 100);
            engine.setWarningMode(i % 50 == 0, 0xFF, 90);
            engine.receiveTemp(40 + i % 30);
            engine.slot_SetWeatherType(i % 7);
        }
    });
    for (int frame = 0; frame < 150; ++frame) {
        engine.runEffect();
        engine.sendCmd();
        engine.wait();
    }
    stop = true;
    writer.join();
    QVERIFY(engine.state().frameCounter > 0);
}

void tst_engine::rediscoveryWhileSending()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kServer, 4, 5));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 4);
    std::atomic<bool> done{false};
    // Each rediscovery replaces the HAL object and gives the old devices back, which frees
    // them; a send must never reach a device given back.
    std::thread rediscovery([&] {
        for (int i = 0; i < 20; ++i)
            engine.setupMemory();
        done = true;
    });
    int sends = 0;
    while (!done) {
        engine.computeFrame();
        engine.sendCmd();
        ++sends;
    }
    rediscovery.join();
    QVERIFY(sends > 0);
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2, 3}));
    QCOMPARE(engine.state().totalLedNum, 20);
    QCOMPARE(engine.descriptions().size(), 21 * 4);
    QCOMPARE(VirtualHalState::read(kServer)->objectsAlive, qint64(1));
    engine.sendCmd();
    QVERIFY(VirtualHalState::read(kServer)->devices.at(3).colourCalls >= 1);
}

QTEST_GUILESS_MAIN(tst_engine)
#include "tst_engine.moc"
