// The meter recording a private PulseAudio server: it waits for a server and a device,
// follows a tone, falls back when the tone ends, and moves to a new default device.
#include "ComputerVolume.h"
#include "PulseServer.h"
#include "TestEnvironment.h"

#include <QtTest>

namespace {
// Polls as the engine does, one request of two polls per frame, until a level
// satisfies the condition; returns whether one did.
template <typename Condition>
bool levelBecomes(ComputerVolume &meter, Condition condition, int timeoutMs)
{
    return waitUntil(
        [&] {
            const int first = meter.UpdateVolumeValue();
            return condition(first) || condition(meter.UpdateVolumeValue());
        },
        timeoutMs);
}

bool playing(ProgramRunner *player)
{
    return player && player->process().state() == QProcess::Running;
}

// Whether the server holds a recording that is paused ("corked") or running.
bool recording(bool paused)
{
    QByteArray list;
    return PulseServer::pactl({QStringLiteral("list"), QStringLiteral("source-outputs")}, &list)
        && list.contains(paused ? "Corked: yes" : "Corked: no");
}
} // namespace

class tst_SoundCapture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void followsTheServerAndItsDevices()
    {
        TestEnvironment env;
        const QString tone = env.root() + QStringLiteral("/tone.wav");
        QVERIFY(PulseServer::writeTone(tone, 250.0, 3.0, 0.5));
        PulseServer::isolate();

        ComputerVolume meter; // before any server
        QCOMPARE(meter.UpdateVolumeValue(), -1);

        PulseServer server;
        QString why;
        if (!server.start({}, &why))
            QSKIP(qPrintable(why));
        // A server without a playback device: still nothing to measure.
        QTest::qWait(2500);
        QCOMPARE(meter.UpdateVolumeValue(), -1);

        QVERIFY(PulseServer::addSink(QStringLiteral("first")) >= 0);
        QVERIFY(levelBecomes(meter, [](int level) { return level == 0; }, 20000));

        auto player = PulseServer::play(tone, QStringLiteral("first"));
        QVERIFY(playing(player.get()));
        QVERIFY(levelBecomes(meter, [](int level) { return level >= 50; }, 20000));
        QVERIFY(player->waitForExit(20000));
        QVERIFY(levelBecomes(meter, [](int level) { return level == 0; }, 10000));

        // Nobody asking for the level: the recording pauses; the next poll resumes it.
        QVERIFY(waitUntil([] { return recording(true); }, 15000));
        player = PulseServer::play(tone, QStringLiteral("first"));
        QTest::qWait(500);
        QVERIFY(recording(true));
        QVERIFY(levelBecomes(meter, [](int level) { return level >= 50; }, 20000));
        QVERIFY(recording(false));
        player->stop();

        // A second device, then made the default: a -1 for each new recording, then
        // what the new default plays is measured.
        const int second = PulseServer::addSink(QStringLiteral("second"));
        QVERIFY(second >= 0);
        QVERIFY(levelBecomes(meter, [](int level) { return level == -1; }, 10000));
        QVERIFY(levelBecomes(meter, [](int level) { return level == 0; }, 20000));
        QVERIFY(PulseServer::pactl({QStringLiteral("set-default-sink"), QStringLiteral("second")}));
        QVERIFY(levelBecomes(meter, [](int level) { return level == -1; }, 10000));
        player = PulseServer::play(tone, QStringLiteral("second"));
        QVERIFY(levelBecomes(meter, [](int level) { return level >= 50; }, 20000));
        player->stop();

        // The recorded device goes away: a new recording on the one left.
        QVERIFY(PulseServer::pactl({QStringLiteral("unload-module"), QString::number(second)}));
        QVERIFY(levelBecomes(meter, [](int level) { return level == -1; }, 10000));
        QVERIFY(levelBecomes(meter, [](int level) { return level == 0; }, 20000));

        server.stop();
        QVERIFY(levelBecomes(meter, [](int level) { return level == -1; }, 10000));
        QTest::qWait(1500);
        QCOMPARE(meter.UpdateVolumeValue(), -1);
    }
};

QTEST_GUILESS_MAIN(tst_SoundCapture)
#include "tst_sound_capture.moc"
