// The cost of one frame for eight modules: LightingFrame on an EngineState, no threads,
// no signals, no HAL. Each benchmark prepares the modules as the engine would after a
// light-mode change (values stored, module reset, the all-module reset done) and then
// computes frame after frame, so the figures include the effects' own state handling.
#include "LightingFrame.h"

#include <QLoggingCategory>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

const COLORREF kUser[kDrivenLeds] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFFFF};

void setModule(EngineState &state, int module, int mode, int colorMode)
{
    MemoryModuleData &data = state.memoryData[module];
    std::copy_n(kUser, kDrivenLeds, data.rgb);
    std::fill(data.bright, data.bright + kDrivenLeds, 1.0f);
    data.singleRGB = 0x40C0FF;
    data.singleBright = 0.8f;
    data.lightMode = mode;
    data.colorMode = colorMode;
    data.lightSpeed = 1;
    data.ledNum = kDrivenLeds;
}

// Every module in `modes[m % size]`, reset, with live-looking inputs for the environment modes.
EngineState prepared(const std::vector<int> &modes, int helloIndex = 0, int colorMode = 0)
{
    EngineState state;
    state.helloIndex = helloIndex;
    state.volume = 60;
    state.cpuTemperature = 55;
    state.weatherType = 2;
    state.sunrise = 1700000000;
    state.sunset = state.sunrise + 12 * 3600;
    state.dayLength = state.sunset - state.sunrise;
    state.deskRed = 200;
    state.deskGreen = 120;
    state.deskBlue = 40;
    std::fill(state.syncColours, state.syncColours + kDrivenLeds, 0x00FF00);
    for (int m = 0; m < kModuleCount; ++m)
        setModule(state, m, modes.at(std::size_t(m) % modes.size()), colorMode);
    for (int m = 0; m < kModuleCount; ++m)
        LightingFrame::resetLighting(state, m);
    state.resetDone = true;
    return state;
}

void runFrames(benchmark::State &bench, EngineState &state)
{
    for (auto _ : bench) {
        FrameOutput output = LightingFrame::run(state);
        benchmark::DoNotOptimize(output);
        benchmark::ClobberMemory();
    }
    bench.SetItemsProcessed(bench.iterations() * kModuleCount);
}

// All eight modules in one mode (the argument), colour mode RGB.
void BM_FrameOneMode(benchmark::State &bench)
{
    EngineState state = prepared({int(bench.range(0))});
    runFrames(bench, state);
}
BENCHMARK(BM_FrameOneMode)->DenseRange(0, 36)->ArgName("mode");

// Mode 16 playing each of the nine animations.
void BM_FrameHello(benchmark::State &bench)
{
    EngineState state = prepared({LightingFrame::Hello}, int(bench.range(0)));
    runFrames(bench, state);
}
BENCHMARK(BM_FrameHello)->DenseRange(0, 8)->ArgName("helloIndex");

// The cross-module paths in colour mode Single.
void BM_FrameSingleColour(benchmark::State &bench)
{
    EngineState state = prepared({int(bench.range(0))}, 0, 1);
    runFrames(bench, state);
}
BENCHMARK(BM_FrameSingleColour)->Arg(LightingFrame::ShootingStar)->Arg(LightingFrame::BlackHole)
    ->Arg(LightingFrame::Twinkle)->ArgName("mode");

// A mix of all modes: five engine states that together hold modes 0 to 35 on their
// modules, one frame of each state in turn.
void BM_FrameMixOfAllModes(benchmark::State &bench)
{
    std::vector<EngineState> states;
    for (int first = 0; first < 36; first += kModuleCount) {
        std::vector<int> modes;
        for (int m = 0; m < kModuleCount; ++m)
            modes.push_back((first + m) % 36);
        states.push_back(prepared(modes));
    }
    std::size_t next = 0;
    for (auto _ : bench) {
        FrameOutput output = LightingFrame::run(states[next]);
        benchmark::DoNotOptimize(output);
        next = (next + 1) % states.size();
    }
    bench.SetItemsProcessed(bench.iterations() * kModuleCount);
}
BENCHMARK(BM_FrameMixOfAllModes);

// The frame that resets all eight modules (the first one, and the one after a warning).
void BM_FrameResettingAll(benchmark::State &bench)
{
    EngineState state = prepared({int(bench.range(0))});
    for (auto _ : bench) {
        state.resetDone = false;
        FrameOutput output = LightingFrame::run(state);
        benchmark::DoNotOptimize(output);
    }
}
BENCHMARK(BM_FrameResettingAll)->Arg(LightingFrame::Wave)->Arg(LightingFrame::ShootingStar)
    ->Arg(LightingFrame::Hello)->ArgName("mode");

} // namespace

int main(int argc, char **argv)
{
    // The resets log what they do; a benchmark measures the frame, not the terminal.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
