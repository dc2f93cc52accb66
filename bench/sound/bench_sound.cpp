// The CPU cost of one poll of the sound level, as the engine makes it in a sound-driven
// mode: the packets of one 40 ms frame arrive between two requests, each request polls
// twice. Measured with a capture that hands out ready packets, so only the meter's own
// work counts (the recording itself runs on the sound thread).
#include "ComputerVolume.h"

#include <QLoggingCategory>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {
constexpr int kPacketsPerFrame = 4; // 40 ms of 10 ms packets

class ReadyCapture : public SoundCapture
{
public:
    explicit ReadyCapture(int packetsPerTake)
        : m_packetsPerTake(packetsPerTake)
    {
        for (int frame = 0; frame < kPacketFrames; ++frame) {
            const float sample = 0.5f * std::sin(float(frame) * 0.033f);
            m_packet[std::size_t(2 * frame)] = sample;
            m_packet[std::size_t(2 * frame + 1)] = sample;
        }
    }
    void start() override {}
    Status status() const override
    {
        Status status;
        status.serverReady = true;
        status.sinkCount = 1;
        status.streamReady = true;
        status.streamSerial = 1;
        return status;
    }
    void takePackets(std::vector<Packet> &packets) override
    {
        packets.clear();
        packets.insert(packets.end(), std::size_t(m_packetsPerTake), m_packet);
    }

private:
    int m_packetsPerTake;
    Packet m_packet{};
};

void pollWith(benchmark::State &state, int packets)
{
    ComputerVolume meter{std::make_unique<ReadyCapture>(packets)};
    meter.UpdateVolumeValue(); // the first poll of a new recording only notes it
    int level = 0;
    for (auto _ : state) {
        level = meter.UpdateVolumeValue();
        benchmark::DoNotOptimize(level);
    }
    state.counters["level"] = level;
}

// The first poll of a request, with the frame's packets.
void BM_PollWithFramePackets(benchmark::State &state)
{
    pollWith(state, kPacketsPerFrame);
}
BENCHMARK(BM_PollWithFramePackets);

// The second poll of a request: nothing new arrived.
void BM_PollWithoutPackets(benchmark::State &state)
{
    pollWith(state, 0);
}
BENCHMARK(BM_PollWithoutPackets);
} // namespace

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
