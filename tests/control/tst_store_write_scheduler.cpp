// The pacing of the store's writes: a file written a moment ago takes the next change
// only when its half second has passed, keeps only the newest record meanwhile, and
// loses nothing that waits when it must be read back or the program ends.
#include "Profile_RW.h"
#include "StoreWriteScheduler.h"
#include "TestEnvironment.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
HWData withLanguage(int language)
{
    HWData data = makeZeroHWData();
    data.reset();
    data.settingData.language = language;
    return data;
}

HWData withMode(int mode)
{
    HWData data = makeZeroHWData();
    data.reset();
    data.memoryData[0].lightMode = mode;
    return data;
}
} // namespace

class tst_StoreWriteScheduler : public QObject
{
    Q_OBJECT

private slots:
    void pacedNewestFirstAndNothingLost()
    {
        TestEnvironment env;
        Profile_RW store(env.root() + QStringLiteral("/store"));
        QSignalSpy deviceWrites(&store, &Profile_RW::writeDeviceStatus);
        const auto language = [&store] {
            return QSettings(store.deviceFilePath(), QSettings::IniFormat).value(QStringLiteral("Main/Language")).toInt();
        };
        const auto mode = [&store](int profile) {
            return QSettings(store.profileFilePath(profile), QSettings::IniFormat)
                .value(QStringLiteral("Memory0/LightMode"))
                .toInt();
        };
        auto writes = std::make_unique<StoreWriteScheduler>(&store, 300);

        writes->writeDevice(withLanguage(1)); // nothing written lately: at once
        QCOMPARE(language(), 1);
        for (int l = 2; l <= 5; ++l)
            writes->writeDevice(withLanguage(l));
        QCOMPARE(language(), 1);
        QVERIFY(writes->hasPending());
        QTRY_COMPARE_WITH_TIMEOUT(language(), 5, 5000);
        QCOMPARE(deviceWrites.count(), 2);
        QVERIFY(!writes->hasPending());

        writes->writeProfile(3, 0, withMode(6));
        writes->writeProfile(3, 0, withMode(17));
        QCOMPARE(mode(3), 6);
        writes->flushProfile(3); // before profile 3 is read back
        QCOMPARE(mode(3), 17);

        writes->writeProfile(Profile_RW::kProfileCount, 0, withMode(4)); // no such profile
        writes->writeDevice(withLanguage(7));
        writes->writeProfile(1, 0, withMode(9));
        writes->writeProfile(1, 0, withMode(10));
        writes.reset(); // the program ends
        QCOMPARE(language(), 7);
        QCOMPARE(mode(1), 10);
        QVERIFY(store.profileFilePath(Profile_RW::kProfileCount).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_StoreWriteScheduler)
#include "tst_store_write_scheduler.moc"
