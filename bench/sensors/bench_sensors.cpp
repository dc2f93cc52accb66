// The CPU cost of one hardware scan with the Linux sensor library: through the reader
// (updateData, as the rescan timer runs it), as the bare sequence of library calls that a
// scan makes, and the same sequence on a fixture tree of a desktop with a CPU package
// sensor, eight cores, four DIMM sensors and a drive, for machines that have more sensors
// than this one. Run from the build's bin folder, where the library lives.
#include "Get_HWInfo.h"
#include "SysfsTree.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <memory>

namespace {

constexpr int kModuleIndices = 4;
constexpr int kReadingsPerSensor = 64;

// The library bound by hand, the way the reader binds it.
class LinuxLibrary
{
public:
    LinuxLibrary()
    {
        const QByteArray path = (QCoreApplication::applicationDirPath() + QStringLiteral("/veltrima-sensors-linux.so")).toLocal8Bit();
        m_handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            return;
        bind(configure, "veltrima_sensors_configure");
        bind(initialise, "ordinal_338");
        bind(moduleSize, "ordinal_448");
        bind(moduleText, "ordinal_413");
        bind(frequency, "ordinal_873");
        bind(clock, "ordinal_317");
        bind(boardText, "ordinal_795");
        bind(timing, "ordinal_215");
        bind(sensorCount, "ordinal_462");
        bind(sensorName, "ordinal_947");
        bind(prepareSensor, "ordinal_280");
        bind(temperature, "ordinal_253");
        bind(other, "ordinal_475");
    }
    ~LinuxLibrary()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    bool ready() const { return m_handle && other; }

    // Everything one scan asks: module details, board values, every reading of every sensor.
    int scan() const
    {
        char text[64];
        char label[256];
        char unit[256];
        int labels = 0;
        for (int i = 0; i < kModuleIndices; ++i) {
            if (moduleSize(i) < 1)
                continue;
            for (int call = 0; call < 4; ++call)
                moduleText(i, text, sizeof text);
            benchmark::DoNotOptimize(frequency(i));
        }
        benchmark::DoNotOptimize(clock());
        boardText(text, sizeof text);
        boardText(text, sizeof text);
        for (int call = 0; call < 5; ++call)
            benchmark::DoNotOptimize(timing());
        const int sensors = sensorCount();
        for (int s = 0; s < sensors; ++s) {
            sensorName(s, label, sizeof label);
            prepareSensor(s);
            for (int j = 0; j < kReadingsPerSensor; ++j) {
                benchmark::DoNotOptimize(temperature(s, j, label, sizeof label));
                labels += label[0] != '\0';
                benchmark::DoNotOptimize(other(s, j, label, sizeof label, unit, sizeof unit));
                labels += label[0] != '\0';
            }
        }
        return labels;
    }

    int (*configure)(const char *) = nullptr;
    int (*initialise)(int) = nullptr;

private:
    template <typename Function>
    void bind(Function &target, const char *symbol)
    {
        target = reinterpret_cast<Function>(dlsym(m_handle, symbol));
    }

    void *m_handle = nullptr;
    int (*moduleSize)(int) = nullptr;
    int (*moduleText)(int, char *, int) = nullptr;
    double (*frequency)(int) = nullptr;
    double (*clock)() = nullptr;
    int (*boardText)(char *, int) = nullptr;
    int (*timing)() = nullptr;
    int (*sensorCount)() = nullptr;
    int (*sensorName)(int, char *, int) = nullptr;
    int (*prepareSensor)(int) = nullptr;
    double (*temperature)(int, int, char *, int) = nullptr;
    double (*other)(int, int, char *, int, char *, int) = nullptr;
};

void buildDesktop(const SysfsTree &tree)
{
    tree.write("proc/meminfo", "MemTotal:       65536000 kB\nMemFree:        20000000 kB\nMemAvailable:   40000000 kB\n");
    tree.write("proc/cpuinfo", "processor\t: 0\nmodel name\t: Intel(R) Sample(TM) 8-Core CPU @ 3.60GHz\n");
    tree.hwmon(0, "acpitz", {{"", 27800}});
    QList<QPair<QByteArray, int>> cores{{"Package id 0", 52000}};
    for (int core = 0; core < 8; ++core)
        cores.append({"Core " + QByteArray::number(core), 45000 + core * 500});
    tree.hwmon(1, "coretemp", cores);
    tree.hwmon(2, "nvme", {{"Composite", 38850}, {"Sensor 1", 38850}});
    for (int slot = 0; slot < 4; ++slot)
        tree.hwmon(3 + slot, "jc42", {{"", 36000 + slot * 250}}, QStringLiteral("0-%1").arg(0x18 + slot, 4, 16, QLatin1Char('0')));
}

void BM_ReaderScan(benchmark::State &state)
{
    // Without a registration the reader loads the Linux library from the program's folder.
    TestEnvironment environment;
    Get_HWInfo reader;
    bool ready = false;
    QObject::connect(&reader, &Get_HWInfo::sendInitStatus, [&ready](bool ok) { ready = ok; });
    reader.initHWInfo();
    reader.stopScans();
    if (!ready) {
        state.SkipWithError("the Linux sensor library did not start");
        return;
    }
    for (auto _ : state)
        reader.updateData();
    const HWData data = reader.snapshot();
    state.counters["memoryLoad%"] = data.physicalMemoryLoad;
    state.counters["modules"] = data.memoryCount;
}
BENCHMARK(BM_ReaderScan)->Unit(benchmark::kMicrosecond);

void runLibraryScan(benchmark::State &state, const QString &root)
{
    const LinuxLibrary library;
    if (!library.ready() || library.configure(root.toUtf8().constData()) != 0 || library.initialise(64) != 0) {
        state.SkipWithError("the Linux sensor library did not start");
        return;
    }
    int labels = 0;
    for (auto _ : state)
        labels = library.scan();
    state.counters["readings"] = labels;
}

void BM_LibraryScan_ThisMachine(benchmark::State &state)
{
    runLibraryScan(state, QString());
}
BENCHMARK(BM_LibraryScan_ThisMachine)->Unit(benchmark::kMicrosecond);

void BM_LibraryScan_DesktopTree(benchmark::State &state)
{
    const SysfsTree tree;
    buildDesktop(tree);
    runLibraryScan(state, tree.root());
}
BENCHMARK(BM_LibraryScan_DesktopTree)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
