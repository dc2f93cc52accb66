// The sound level's arithmetic on made-up packets, and the meter's answers for the
// states a recording can be in, with a capture that the test drives.
#include "ComputerVolume.h"
#include "LightingFrame.h"
#include "Lighting_Control.h"
#include "TestEnvironment.h"
#include "VolumeSpectrum.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <complex>
#include <limits>
#include <random>

namespace {
using Packet = SoundCapture::Packet;

class ScriptedCapture : public SoundCapture
{
public:
    void start() override { ++starts; }
    Status status() const override { return state; }
    void takePackets(std::vector<Packet> &packets) override
    {
        packets.clear();
        packets.swap(queue);
    }

    void ready(int sinks, std::uint64_t serial)
    {
        state.serverReady = true;
        state.sinkCount = sinks;
        state.streamReady = true;
        state.streamSerial = serial;
    }

    Status state;
    std::vector<Packet> queue;
    int starts = 0;
};

Packet filled(float value)
{
    Packet packet;
    packet.fill(value);
    return packet;
}

// Enough packets to replace every one of the meter's 256 samples.
void queue(ScriptedCapture &capture, float value)
{
    for (int i = 0; i < 3; ++i)
        capture.queue.push_back(filled(value));
}

std::vector<int> emitted(ComputerVolume &meter, int requests)
{
    QSignalSpy levels(&meter, &ComputerVolume::sendVolume);
    for (int i = 0; i < requests; ++i)
        meter.slot_GetVolume();
    std::vector<int> values;
    for (const QList<QVariant> &level : levels)
        values.push_back(level.at(0).toInt());
    return values;
}
} // namespace

class tst_VolumeMeter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void realFftMatchesTheDefinition()
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        for (const int count : {16, 512}) {
            std::vector<float> input(static_cast<std::size_t>(count));
            for (float &x : input)
                x = sample(random);
            std::vector<float> data = input;
            VolumeSpectrum::realFft(data.data(), count);
            const auto coefficient = [&](int k) {
                std::complex<double> sum;
                for (int j = 0; j < count; ++j)
                    sum += double(input[std::size_t(j)]) * std::polar(1.0, 2.0 * M_PI * j * k / count);
                return sum / double(count);
            };
            QVERIFY(std::abs(data[0] - coefficient(0).real()) < 1e-5);
            QVERIFY(std::abs(data[1] - coefficient(count / 2).real()) < 1e-5);
            for (int k = 1; k < count / 2; ++k) {
                const std::complex<double> expected = coefficient(k);
                QVERIFY2(std::abs(data[std::size_t(2 * k)] - expected.real()) < 1e-5
                             && std::abs(data[std::size_t(2 * k + 1)] - expected.imag()) < 1e-5,
                         qPrintable(QStringLiteral("count %1, coefficient %2").arg(count).arg(k)));
            }
        }
    }

    void silenceDecaysByAFifthPerPoll()
    {
        auto *capture = new ScriptedCapture;
        ComputerVolume meter{std::unique_ptr<SoundCapture>(capture)};
        QCOMPARE(capture->starts, 1);
        capture->ready(1, 1);
        QCOMPARE(meter.UpdateVolumeValue(), -1); // the recording is new to the meter
        queue(*capture, 1.0f);
        QCOMPARE(emitted(meter, 1), std::vector<int>{100});
        queue(*capture, 0.0f);
        QCOMPARE(meter.UpdateVolumeValue(), 80);
        QCOMPARE(meter.UpdateVolumeValue(), 64);
        QCOMPARE(meter.UpdateVolumeValue(), 51);

        // The same from the top, in requests of two polls as the engine asks.
        queue(*capture, 1.0f);
        QCOMPARE(emitted(meter, 1), std::vector<int>{100});
        queue(*capture, 0.0f);
        QCOMPARE(emitted(meter, 4), (std::vector<int>{64, 40, 26, 16}));
        QCOMPARE(emitted(meter, 20).back(), 0);
    }

    void bandsNeverExceedOne()
    {
        VolumeSpectrum spectrum;
        std::mt19937 random(11);
        std::uniform_real_distribution<float> loud(-50.0f, 50.0f);
        Packet packet;
        const float broken[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max()};
        for (int poll = 0; poll < 200; ++poll) {
            for (float &x : packet)
                x = loud(random);
            if (poll % 10 == 0)
                packet[std::size_t(4 * (poll % 40))] = broken[(poll / 10) % 4];
            spectrum.decay();
            spectrum.takePacket(packet.data(), SoundCapture::kPacketFrames);
            const int level = spectrum.measure();
            QVERIFY2(level >= 0 && level <= 100, qPrintable(QString::number(level)));
            for (int i = 0; i < VolumeSpectrum::kSize; ++i)
                QVERIFY2(spectrum.spectrum(i) >= 0.0f && spectrum.spectrum(i) <= 1.0f,
                         qPrintable(QStringLiteral("poll %1 band %2: %3").arg(poll).arg(i).arg(spectrum.spectrum(i))));
        }
        // Samples that are not numbers count as silence, never as full level.
        VolumeSpectrum quiet;
        quiet.takePacket(filled(std::numeric_limits<float>::quiet_NaN()).data(), SoundCapture::kPacketFrames);
        QCOMPARE(quiet.measure(), 0);
    }

    // Only the left sample of every second frame, in the first half of a packet, is
    // taken: sound elsewhere in the packet does not move the level.
    void intakeTakesEverySecondLeftSample()
    {
        VolumeSpectrum taken;
        VolumeSpectrum skipped;
        Packet left = filled(0.0f);
        Packet other = filled(0.0f);
        for (int frame = 0; frame < SoundCapture::kPacketFrames; ++frame) {
            const bool counted = frame % 2 == 0 && frame < SoundCapture::kPacketFrames / 2;
            (counted ? left : other)[std::size_t(2 * frame)] = 1.0f;
            other[std::size_t(2 * frame + 1)] = 1.0f;
        }
        for (int i = 0; i < 3; ++i) {
            taken.takePacket(left.data(), SoundCapture::kPacketFrames);
            skipped.takePacket(other.data(), SoundCapture::kPacketFrames);
        }
        QCOMPARE(taken.measure(), 100);
        QCOMPARE(skipped.measure(), 0);
    }

    void noLevelWhileThereIsNothingToMeasure()
    {
        auto *capture = new ScriptedCapture;
        ComputerVolume meter{std::unique_ptr<SoundCapture>(capture)};
        queue(*capture, 1.0f);
        QCOMPARE(emitted(meter, 2), (std::vector<int>{-1, -1})); // no sound server
        capture->state.serverReady = true;
        QCOMPARE(meter.UpdateVolumeValue(), -1); // no playback device

        capture->ready(1, 1);
        QCOMPARE(meter.UpdateVolumeValue(), -1);
        QCOMPARE(meter.UpdateVolumeValue(), 0); // what was queued before is not measured
        queue(*capture, 1.0f);
        QCOMPARE(meter.UpdateVolumeValue(), 100);

        // A second device: one -1 for the new recording, then it is measured.
        capture->ready(2, 2);
        QCOMPARE(meter.UpdateVolumeValue(), -1);
        queue(*capture, 0.0f);
        QCOMPARE(meter.UpdateVolumeValue(), 80);

        // Another default device or a lost recording: a new recording again.
        capture->ready(2, 3);
        QCOMPARE(meter.UpdateVolumeValue(), -1);
        capture->state.streamReady = false;
        QCOMPARE(meter.UpdateVolumeValue(), -1);
        capture->state.streamReady = true;
        QVERIFY(meter.UpdateVolumeValue() >= 0);
        capture->state.serverReady = false;
        QCOMPARE(meter.UpdateVolumeValue(), -1);
    }

    void engineTakesNoLevelAsSilence()
    {
        TestEnvironment env;
        Lighting_Control engine;
        COLORREF colours[5] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
        float bright[5] = {1, 1, 1, 1, 1};
        engine.setRGB(0, colours, bright, 0xFFFFFF, 1.0f, 5);
        engine.setLightMode(0, LightingFrame::Movie, 0, 2, false);
        engine.slot_Volume(-1);
        engine.computeFrame();
        QCOMPARE(engine.state().volume, 0);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(engine.state().memoryData[0].softwareRGB[k], COLORREF(0));
        engine.slot_Volume(50);
        engine.computeFrame();
        QVERIFY(engine.state().memoryData[0].softwareRGB[0] != 0);
    }
};

QTEST_GUILESS_MAIN(tst_VolumeMeter)
#include "tst_volume_meter.moc"
