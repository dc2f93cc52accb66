// The overheat countdown window and the rule that starts it, without the rest of the
// program: the texts it counts through, when it asks for the shutdown, and which
// readings call for a countdown at all.
#include "HWData.h"
#include "NotificationGuard.h"
#include "Widget_Shutdown.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

class tst_ShutdownDialog : public QObject
{
    Q_OBJECT

private:
    QTranslator m_translator;

    static HWData readings(std::int32_t memory, std::int32_t cpu)
    {
        HWData data = makeZeroHWData();
        for (MemoryModuleData &module : data.memoryData)
            module.temperature = -1;
        data.memoryData[5].temperature = memory;
        data.cpuTemperature = cpu;
        return data;
    }

    static NotiEventData rules(bool memoryOn, int memory, bool cpuOn, int cpu)
    {
        NotiEventData r{};
        r.shutdownMemoryOn = memoryOn;
        r.shutdownMemoryValue = memory;
        r.shutdownCPUOn = cpuOn;
        r.shutdownCPUValue = cpu;
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_translator.load(QStringLiteral(":/KVRGBMemoryControl/VELTRIMA_en.qm")));
        QCoreApplication::installTranslator(&m_translator);
    }

    void countsDownThirtySecondsThenAsksForTheShutdown()
    {
        Widget_Shutdown dialog;
        QCOMPARE(dialog.size(), QSize(430, 131));
        auto *label = dialog.findChild<QLabel *>(QStringLiteral("label_Shutdown_Alert"));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("btn_OK"));
        QVERIFY(label && ok);
        QCOMPARE(label->geometry(), QRect(70, 20, 340, 65));
        QCOMPARE(ok->geometry(), QRect(115, 105, 90, 18));
        QSignalSpy shutdown(&dialog, &Widget_Shutdown::Signal_Shutdown);

        dialog.startCountdown(Widget_Shutdown::MemorySource);
        QCOMPARE(ok->text(), QStringLiteral("Shutdown now"));
        QVERIFY(label->text().startsWith(QStringLiteral("Caution:\nThe Memory temperature is too high")));
        QVERIFY(label->text().contains(QStringLiteral("in 30 seconds")));
        dialog.slot_Countdown();
        QVERIFY(label->text().contains(QStringLiteral("in 29 seconds")));
        const QString shots = qEnvironmentVariable("VELTRIMA_SHOT_DIR");
        if (!shots.isEmpty())
            dialog.grab().save(shots + QStringLiteral("/shutdown-dialog.png"));
        for (int left = 28; left >= 0; --left) {
            dialog.slot_Countdown();
            QCOMPARE(label->text(),
                     QStringLiteral("Caution:\nThe Memory temperature is too high, system will automatically shutdown "
                                    "in %1 seconds, please save your data to prevent data loss.")
                         .arg(left));
            QCOMPARE(shutdown.count(), 0);
        }
        QVERIFY(dialog.isCounting());
        dialog.slot_Countdown();
        QCOMPARE(shutdown.count(), 1);
        QCOMPARE(shutdown.at(0).at(0).toInt(), int(Widget_Shutdown::MemorySource));
        QVERIFY(!dialog.isCounting());

        // A new countdown starts from the beginning with the other source's texts.
        dialog.startCountdown(Widget_Shutdown::CpuSource);
        dialog.slot_Countdown();
        QVERIFY(label->text().startsWith(QStringLiteral("Caution:\nThe CPU temperature is too high")));
        QVERIFY(label->text().contains(QStringLiteral("in 29 seconds")));
    }

    void onlyAReadingAboveTheThresholdCallsForACountdown()
    {
        const int none = Widget_Shutdown::NoSource;
        const int memory = Widget_Shutdown::MemorySource;
        const int cpu = Widget_Shutdown::CpuSource;
        QCOMPARE(NotificationGuard::overheatSource(readings(61, 40), rules(true, 60, false, 0)), memory);
        QCOMPARE(NotificationGuard::overheatSource(readings(60, 40), rules(true, 60, false, 0)), none);
        QCOMPARE(NotificationGuard::overheatSource(readings(61, 40), rules(false, 60, false, 0)), none);
        // No readings: every module -1, even with a threshold below it.
        QCOMPARE(NotificationGuard::overheatSource(readings(-1, 40), rules(true, -30, false, 0)), none);
        QCOMPARE(NotificationGuard::overheatSource(readings(-1, 81), rules(true, 60, true, 80)), cpu);
        QCOMPARE(NotificationGuard::overheatSource(readings(-1, 80), rules(false, 60, true, 80)), none);
        // A CPU without a reading (0) never counts, whatever the threshold.
        QCOMPARE(NotificationGuard::overheatSource(readings(-1, 0), rules(false, 60, true, -30)), none);
        // Memory first when both are too hot.
        QCOMPARE(NotificationGuard::overheatSource(readings(70, 90), rules(true, 60, true, 80)), memory);
    }
};

QTEST_MAIN(tst_ShutdownDialog)
#include "tst_shutdown_dialog.moc"
