// Ten thousand channel events within a second from another process, against the real
// control program on the virtual HAL: frames keep coming at 25 a second, the program
// answers its window at once when the flood ends, its memory stays put, and after exit
// the files hold the last state the flood left.
#include "LightingTypes.h"
#include "ProductFixture.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
constexpr int kEvents = 10000;
constexpr int kFloodMs = 1000;
constexpr double kFrameRate = 25.0;
constexpr double kTolerance = 0.1 * kFrameRate;

// A sanitizer build runs the program several times slower, with a heavier allocator:
// there the flood must not stop the frames or the window, and the exact figures are
// judged in an optimised build.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    true;
#else
    false;
#endif
// ThreadSanitizer's shadow memory and history grow with every access the flood makes, so
// the resident size says nothing about the program's own memory there.
constexpr bool kThreadSanitized =
#if defined(__SANITIZE_THREAD__)
    true;
#else
    false;
#endif
constexpr qint64 kAnswerBoundMs = kSanitized ? 300 : 100;
constexpr double kFrameFloor =
    kThreadSanitized ? 0.5 * kFrameRate : kSanitized ? 0.7 * kFrameRate : kFrameRate - kTolerance;

quint64 frames()
{
    const auto snapshot = ProductFixture::hal();
    return snapshot && !snapshot->devices.isEmpty() ? snapshot->devices.at(0).colourCalls : 0;
}

qint64 residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// A point on the HAL's frame counter.
struct FrameSample {
    qint64 ms;
    quint64 count;
};

double rate(const FrameSample &from, const FrameSample &to)
{
    return to.ms > from.ms ? 1000.0 * double(to.count - from.count) / double(to.ms - from.ms) : 0.0;
}

// A 40 ms tick in this process, counted like a frame timer that skips the ticks it
// missed: when it cannot keep 25 a second either, the machine is too loaded to judge
// the program's frame rate.
class TickProbe
{
public:
    TickProbe()
        : m_thread([this] { run(); })
    {
    }
    ~TickProbe()
    {
        m_stop = true;
        m_thread.join();
    }
    double rate() const
    {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        return seconds > 0 ? m_ticks / seconds : 0.0;
    }

private:
    void run()
    {
        using namespace std::chrono;
        const auto period = milliseconds(40);
        auto due = m_start + period;
        while (!m_stop) {
            std::this_thread::sleep_until(due);
            ++m_ticks;
            const auto now = steady_clock::now();
            due += period;
            while (due <= now)
                due += period;
        }
    }

    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_ticks{0};
    std::thread m_thread;
};

QString joined(const QVariant &value)
{
    return value.toStringList().join(QLatin1Char(','));
}
} // namespace

class tst_EventFlood : public QObject
{
    Q_OBJECT

private slots:
    void floodKeepsFramesAnswersAndTheLastState()
    {
        // Under AddressSanitizer every freed block waits in a quarantine of up to 256 MB,
        // which would count as the program's growth; a small one leaves the real growth.
        const QByteArray asan = qgetenv("ASAN_OPTIONS");
        if (!asan.isEmpty())
            qputenv("ASAN_OPTIONS", asan + ":quarantine_size_mb=1");

        ProductFixture product;
        QVERIFY(product.startControl());
        const qint64 pid = product.control().process().processId();
        QVERIFY2(waitUntil([] { return frames() > 25; }, 20000), qPrintable(product.control().output()));

        QElapsedTimer clock;
        clock.start();
        const auto sample = [&clock] { return FrameSample{clock.elapsed(), frames()}; };
        const FrameSample quietStart = sample();
        QTest::qWait(2000);
        const double quietRate = rate(quietStart, sample());
        const qint64 rssBefore = residentKb(pid);

        ProgramRunner flood(ProductFixture::program(QStringLiteral("channel_flood")),
                            {QString::number(kEvents), QString::number(kFloodMs)});
        QVERIFY(flood.start());
        const FrameSample floodStart = sample();
        std::optional<TickProbe> probe(std::in_place);
        // Fine-grained, so that the end is seen within milliseconds; the event loop
        // runs meanwhile, reading what the programs print.
        while (!flood.process().waitForFinished(5)) {
            QCoreApplication::processEvents();
            QVERIFY2(clock.elapsed() - floodStart.ms < 60000, "the flood did not end");
        }
        const FrameSample floodEnd = sample();
        const double probeRate = probe->rate();
        probe.reset();
        const auto answer = WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlWindowTitle),
                                                         ProgramNames::kMsgSecondCopy, 0, 0);
        const qint64 answerMs = clock.elapsed() - floodEnd.ms;
        QVERIFY2(answer.has_value(), "the window endpoint did not answer");
        QCOMPARE(flood.process().exitCode(), 0);

        QTest::qWait(1000); // writes due within half a second are done
        const qint64 rssAfter = residentKb(pid);
        const double floodRate = rate(floodStart, floodEnd);
        qInfo().noquote() << QStringLiteral("%1; frames/s before %2, during the flood %3 over %4 ms (a 40 ms tick "
                                            "here: %5/s); window answered %6 ms after the flood; RSS %7 -> %8 kB")
                                 .arg(flood.output().trimmed()) // "flooded <count> <ms>"
                                 .arg(quietRate, 0, 'f', 1)
                                 .arg(floodRate, 0, 'f', 1)
                                 .arg(floodEnd.ms - floodStart.ms)
                                 .arg(probeRate, 0, 'f', 1)
                                 .arg(answerMs)
                                 .arg(rssBefore)
                                 .arg(rssAfter);
        QVERIFY2(answerMs < kAnswerBoundMs, qPrintable(QStringLiteral("answered after %1 ms").arg(answerMs)));
        if (!kThreadSanitized)
            QVERIFY2(rssAfter - rssBefore < 10 * 1024, "the flood grew the program by 10 MB or more");

        // What the flood left last is what the files hold once the program has ended.
        product.stopControl();
        QCOMPARE(product.control().process().exitCode(), 0);
        QCOMPARE(product.deviceValue(QStringLiteral("Main/isAutoRun")).toBool(), true);
        QCOMPARE(product.deviceValue(QStringLiteral("Main/Language")).toInt(), 0);
        QCOMPARE(joined(product.deviceValue(QStringLiteral("Main/SlotSequence"))), QStringLiteral("7,6,5,4,3,2,1,0"));
        for (int m = 0; m < kModuleCount; ++m) {
            const QString group = QStringLiteral("Memory%1/").arg(m);
            QCOMPARE(product.profileValue(0, group + QStringLiteral("LightMode")).toInt(), 6);
            QCOMPARE(product.profileValue(0, group + QStringLiteral("ColorMode")).toInt(), 0);
            QCOMPARE(product.profileValue(0, group + QStringLiteral("LightSpeed")).toInt(), m % 4);
            QStringList red, green;
            for (int k = 0; k < kLedSlots; ++k) {
                red << QString::number(m * 16 + k);
                green << QString::number(k);
            }
            QCOMPARE(joined(product.profileValue(0, group + QStringLiteral("RColor"))), red.join(QLatin1Char(',')));
            QCOMPARE(joined(product.profileValue(0, group + QStringLiteral("GColor"))), green.join(QLatin1Char(',')));
        }

        if (std::abs(quietRate - kFrameRate) > kTolerance || probeRate < kFrameRate - kTolerance)
            QSKIP(qPrintable(QStringLiteral("this machine is too loaded to judge frame rates: %1 frames/s without a "
                                            "flood, %2 ticks/s of a plain 40 ms timer during it")
                                 .arg(quietRate)
                                 .arg(probeRate)));
        QVERIFY2(floodRate >= kFrameFloor && floodRate <= kFrameRate + kTolerance,
                 qPrintable(QStringLiteral("%1 frames/s during the flood").arg(floodRate)));
    }
};

QTEST_GUILESS_MAIN(tst_EventFlood)
#include "tst_event_flood.moc"
