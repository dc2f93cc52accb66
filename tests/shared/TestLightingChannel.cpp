// The programs' binding of the channel library: what callers get without the library,
// and that the binding's end stops callbacks into its owner.
#include "LightingChannel.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <atomic>

namespace {
std::atomic<int> g_firstCalls{0};
std::atomic<int> g_secondProfile{-1};
void onFirst(int) { ++g_firstCalls; }
void onSecond(int profile) { g_secondProfile = profile; }
} // namespace

class TestLightingChannel : public QObject
{
    Q_OBJECT

private slots:
    void standInsReturnDefaults();
    void loadedBindingReachesTheChannel();

private:
    static int runTool(const QStringList &arguments)
    {
        QProcess tool;
        tool.start(TestEnvironment::binDir() + QStringLiteral("/veltrima-channel"), arguments);
        if (!tool.waitForFinished(20000)) {
            tool.kill();
            tool.waitForFinished();
            return -1;
        }
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
};

void TestLightingChannel::standInsReturnDefaults()
{
    LightingChannel channel;
    QVERIFY(!channel.isLoaded());

    // Every operation may be called; setters store nothing.
    const COLORREF colours[kLedSlots] = {};
    const float bright[kLedSlots] = {};
    const int slotNumbers[kModuleCount] = {};
    channel.SharedDLL_init();
    channel.RegisterReceiveFunc(onFirst);
    channel.SetValueRGB(0, colours, bright, 0, 0.0f, 12);
    channel.SetValueLighting(0, 9, 1, 0, true);
    channel.SetSlotNumber(8, slotNumbers);
    channel.SetProfile(3);
    channel.SetNotiEvent(NotiEventData{});
    channel.SetSettingValue(0);
    channel.SetValueHWData(nullptr);
    channel.SetValueSoftwareRGB(0, colours, 5);
    channel.SetValueSyncRGB(5, colours);
    channel.Refresh_View();
    channel.shutdown();

    const HWData data = channel.GetValueHWData();
    QCOMPARE(data.dataTimestamp, 0);
    QCOMPARE(data.memoryCount, -1);
    QCOMPARE(data.memoryData[3].lightMode, 5);
    QCOMPARE(channel.GetNotiEvent().type, -1);
    SettingData defaults{};
    defaults.reset();
    QCOMPARE(channel.GetSettingValue(), defaults.pack());
    QCOMPARE(channel.GetProfile(), 0);
    for (int m = 0; m < kModuleCount; ++m) {
        QCOMPARE(channel.GetValueLightMode(m), 5);
        QCOMPARE(channel.GetValueColorMode(m), 0);
        QCOMPARE(channel.GetValueLightSpeed(m), 2);
        QCOMPARE(channel.GetValueTurnOff(m), false);
        QCOMPARE(channel.GetValueMemorySlotNumber(m), m);
        QCOMPARE(channel.GetValueSingleRGB(m), rgbColor(255, 0, 0));
        QCOMPARE(channel.GetValueSingleBright(m), 1.0f);
        QVERIFY(!channel.GetValueRGB(m));
        QVERIFY(!channel.GetValueBright(m));
        QVERIFY(!channel.GetValueSoftwareRGB(m));
    }
    QVERIFY(!channel.GetValueSyncRGB(5));
}

void TestLightingChannel::loadedBindingReachesTheChannel()
{
    TestEnvironment env;
    {
        LightingChannel first;
        QVERIFY2(first.load(TestEnvironment::binDir()), qPrintable(first.errorString()));
        first.SharedDLL_init();
        first.SetProfile(2);
        QCOMPARE(first.GetProfile(), 2);
        first.RegisterReceiveProfile(onFirst);
    }
    // The first binding is gone: a change made now must not reach its callback.
    QCOMPARE(runTool({QStringLiteral("set-profile"), QStringLiteral("1")}), 0);

    LightingChannel second;
    QVERIFY(second.load(TestEnvironment::binDir()));
    QCOMPARE(second.GetProfile(), 1);
    second.RegisterReceiveProfile(onSecond);
    QCOMPARE(runTool({QStringLiteral("set-profile"), QStringLiteral("4")}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(g_secondProfile.load(), 4, 20000);
    QCOMPARE(g_firstCalls.load(), 0);
}

QTEST_GUILESS_MAIN(TestLightingChannel)
#include "TestLightingChannel.moc"
