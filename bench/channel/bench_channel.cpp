// The channel's costs: how long a change takes to reach another process's callback
// (median and 99th percentile), and what the getters and the per-frame setter cost.
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <benchmark/benchmark.h>

#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr int kWarmUp = 200;
constexpr int kEvents = 5000;
constexpr int kTotal = kWarmUp + kEvents;

// Lives in memory shared with the receiving child.
struct Exchange {
    std::atomic<int> ready;
    std::atomic<int> received;
    std::atomic<std::int64_t> sentNs[kTotal];
    std::atomic<std::int64_t> latencyNs[kTotal];
};
Exchange *g_exchange = nullptr;

std::int64_t nowNs()
{
    // CLOCK_MONOTONIC is one clock for all processes of the machine.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void onProfile(int index)
{
    const std::int64_t arrived = nowNs();
    if (index < 0 || index >= kTotal)
        return;
    g_exchange->latencyNs[index] = arrived - g_exchange->sentNs[index];
    g_exchange->received = index + 1;
}

[[noreturn]] void runReceiver()
{
    SharedDLL_init();
    RegisterReceiveProfile(onProfile);
    g_exchange->ready = 1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (g_exchange->received < kTotal && std::chrono::steady_clock::now() < deadline)
        usleep(10000);
    SharedDLL_shutdown();
    _exit(0);
}

bool waitFor(const std::atomic<int> &value, int target, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (value.load() < target) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        sched_yield();
    }
    return true;
}

double percentile(std::vector<std::int64_t> sorted, double p)
{
    const std::size_t index = std::min(sorted.size() - 1, std::size_t(p * double(sorted.size() - 1) + 0.5));
    return double(sorted[index]) / 1000.0;
}

// Each change waits for its callback before the next one is sent, so the figures
// are latencies, not queueing.
int measureCallbackLatency()
{
    void *memory = mmap(nullptr, sizeof(Exchange), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return 1;
    g_exchange = new (memory) Exchange{};
    const pid_t child = fork();
    if (child == 0)
        runReceiver();
    if (!waitFor(g_exchange->ready, 1, std::chrono::seconds(10))) {
        std::fprintf(stderr, "receiver did not start\n");
        return 1;
    }
    SharedDLL_init();
    int lost = 0;
    for (int i = 0; i < kTotal; ++i) {
        g_exchange->sentNs[i] = nowNs();
        SetProfile(i);
        if (!waitFor(g_exchange->received, i + 1, std::chrono::seconds(1))) {
            ++lost;
            g_exchange->received = i + 1;
        }
    }
    waitpid(child, nullptr, 0);

    std::vector<std::int64_t> latencies;
    for (int i = kWarmUp; i < kTotal; ++i)
        latencies.push_back(g_exchange->latencyNs[i]);
    std::sort(latencies.begin(), latencies.end());
    std::printf("setter-to-remote-callback latency over %d events: median %.1f us, p99 %.1f us, max %.1f us, lost %d\n",
                kEvents, percentile(latencies, 0.5), percentile(latencies, 0.99), percentile(latencies, 1.0), lost);
    std::fflush(stdout);
    munmap(memory, sizeof(Exchange));
    return lost == 0 ? 0 : 1;
}

void BM_GetValueLightMode(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GetValueLightMode(3));
}
BENCHMARK(BM_GetValueLightMode);

void BM_GetValueRGB(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GetValueRGB(3));
}
BENCHMARK(BM_GetValueRGB);

void BM_GetValueHWData(benchmark::State &state)
{
    for (auto _ : state) {
        HWData data = GetValueHWData();
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_GetValueHWData);

void BM_SetValueSoftwareRGB(benchmark::State &state)
{
    const COLORREF colours[kLedSlots] = {1, 2, 3, 4, 5};
    for (auto _ : state)
        SetValueSoftwareRGB(2, colours, kDrivenLeds);
}
BENCHMARK(BM_SetValueSoftwareRGB);
} // namespace

int main(int argc, char **argv)
{
    // A private runtime folder, so the benchmark never meets a running product.
    char folder[] = "/tmp/veltrima-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    setenv("XDG_RUNTIME_DIR", folder, 1);

    const int result = measureCallbackLatency();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::string cleanup = std::string("rm -rf '") + folder + "'";
    std::system(cleanup.c_str());
    return result;
}
