// The cost of one screen colour sample on X11, ours and the X server's: the strips that
// the sampler reads (shared memory and socket), against a plain full-screen grab shrunk
// the same way; plus the colour choice alone and the once-per-screen-size calibration.
// The X server's CPU comes from its threads' run time in /proc (nanoseconds), so run it
// on an X server of this machine, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build-bench/bin/bench_screen
#include "DominantColour.h"
#include "FastScalePicks.h"
#include "X11StripGrabber.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {
// The X server serving DISPLAY: an Xvfb or Xorg process whose command line names it.
qint64 serverPid()
{
    const QString display = qEnvironmentVariable("DISPLAY").section(QLatin1Char('.'), 0, 0);
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> words = file.readAll().split('\0');
        const QByteArray program = words.value(0).mid(words.value(0).lastIndexOf('/') + 1);
        if ((program == "Xvfb" || program == "Xorg") && words.contains(display.toLocal8Bit()))
            return entry.toLongLong();
    }
    return -1;
}

// Run time of all the server's threads, in nanoseconds.
qint64 serverNanoseconds(qint64 pid)
{
    qint64 total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
        if (file.open(QIODevice::ReadOnly))
            total += file.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

QSize screenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

qint64 processNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Reports per sample the CPU of this whole process (the toolkit's X reader thread
// included), the X server's, and both together.
template <typename Sample>
void measure(benchmark::State &state, Sample sample)
{
    const qint64 pid = serverPid();
    const qint64 serverBefore = pid > 0 ? serverNanoseconds(pid) : 0;
    const qint64 ownBefore = processNanoseconds();
    for (auto _ : state)
        sample();
    const double samples = double(state.iterations());
    const double ownUs = double(processNanoseconds() - ownBefore) / 1000.0 / samples;
    state.counters["own_us"] = ownUs;
    if (pid <= 0) {
        state.counters["server_us"] = -1;
        return;
    }
    const double serverUs = double(serverNanoseconds(pid) - serverBefore) / 1000.0 / samples;
    state.counters["server_us"] = serverUs;
    state.counters["total_us"] = ownUs + serverUs;
}

void stripSample(benchmark::State &state, X11StripGrabber::Transport transport)
{
    QString whyNot;
    const auto grabber = X11StripGrabber::connect(&whyNot, transport);
    if (!grabber) {
        state.SkipWithError(qPrintable(whyNot));
        return;
    }
    const FastScalePicks picks(screenSize());
    measure(state, [&] {
        const QImage scaled = picks.assemble(grabber->pixels(picks.points(), &whyNot));
        benchmark::DoNotOptimize(DominantColour::of(scaled));
    });
}

void BM_StripSample_SharedMemory(benchmark::State &state) { stripSample(state, X11StripGrabber::Transport::SharedMemory); }
void BM_StripSample_Socket(benchmark::State &state) { stripSample(state, X11StripGrabber::Transport::Socket); }

void BM_FullGrabSample(benchmark::State &state)
{
    const QSize size = screenSize();
    measure(state, [&] {
        const QImage picture = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, size.width(), size.height()).toImage();
        benchmark::DoNotOptimize(DominantColour::of(FastScalePicks::scaled(picture)));
    });
}

void BM_ColourChoice(benchmark::State &state)
{
    QImage scaled(15, 15, QImage::Format_RGB32);
    QRandomGenerator random(5);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x)
            scaled.setPixel(x, y, 0xff000000u | (random.generate() & 0xffffffu));
    for (auto _ : state)
        benchmark::DoNotOptimize(DominantColour::of(scaled));
}

void BM_CalibrationPerScreenSize(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FastScalePicks(screenSize()));
}
} // namespace

BENCHMARK(BM_StripSample_SharedMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StripSample_Socket)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullGrabSample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColourChoice)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalibrationPerScreenSize)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
