// The overheat guard and the other notification rules inside the control program's main
// object: scenario sensors whose DIMM temperature rises over time, the virtual HAL, the
// test hub in its own process, the channel tool acting as the user interface, and a
// recording `shutdown` first on PATH. The real shutdown is never reachable: the case
// stops before the object exists unless PATH yields the recorder.
// One object serves the whole case (the channel is mapped once per process); the
// functions run in order.
#include "KVRGBMemoryControl.h"
#include "MessagePresenter.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "TestHubProcess.h"
#include "VirtualHalState.h"
#include "Widget_Shutdown.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

constexpr COLORREF kLoadingColour = 0x0000FF00;

QString program(const QString &name)
{
    return TestEnvironment::binDir() + QLatin1Char('/') + name;
}

// Sends a notification record as the user interface would: "--type 2 --shutdown-memory 1".
bool setNoti(const QString &options)
{
    const QStringList arguments = QStringList{QStringLiteral("set-noti")} + options.split(QLatin1Char(' '));
    QProcess process;
    process.start(program(QStringLiteral("veltrima-channel")), arguments);
    if (process.waitForFinished(15000) && process.exitCode() == 0)
        return true;
    qWarning() << "veltrima-channel" << arguments << "failed:" << process.readAllStandardError();
    return false;
}

// DIMM 0 holds 40 °C for 12 seconds, then rises 2 °C a second to 76 °C; the CPU stays
// at 45 °C and the memory load at 40 %.
const char kScenario[] = R"({
  "board": { "clock": 2400, "chipset": "Orrin Q7 Platform Hub" },
  "modules": [
    { "index": 0, "size": 16384, "manufacturer": "Vandercrest", "partNumber": "VCR5R022D-16G", "type": "DDR5", "text": "DIMM_A1", "frequency": 2400 },
    { "index": 1, "size": 16384, "manufacturer": "Vandercrest", "partNumber": "VCR5R022D-16G", "type": "DDR5", "text": "DIMM_A2", "frequency": 2400 }
  ],
  "sensors": [
    { "name": "System", "readings": [ { "label": "Physical Memory Load", "unit": "%", "value": 40 } ] },
    { "name": "CPU [#0]: Halvane H7 16-Core", "temperatures": [ { "label": "CPU Package", "unit": "°C", "value": 45 } ] },
    { "name": "DDR5 DIMM Temperature Sensors", "temperatures": [
        { "label": "DIMM[0] Temperature", "unit": "°C", "value": { "time": [[0, 40], [12, 40], [30, 76]] } },
        { "label": "DIMM[1] Temperature", "unit": "°C", "value": 40 } ] }
  ]
})";

} // namespace

class tst_OverheatGuard : public QObject
{
    Q_OBJECT

private:
    QString storeFolder() const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB"); }
    QVariant deviceValue(const QString &key) const
    {
        return QSettings(storeFolder() + QStringLiteral("/ModuleDevice.ini"), QSettings::IniFormat).value(key);
    }
    QString callsFile() const { return m_env.root() + QStringLiteral("/shutdown-calls"); }
    QStringList shutdownCalls() const
    {
        QFile file(callsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void setShutdownExitStatus(int status) const
    {
        QFile file(m_env.root() + QStringLiteral("/shutdown-exit"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::number(status));
    }
    NotiEventData rules() const { return m_control->channel().GetNotiEvent(); }
    QList<WindowRequest> fanMessages() const
    {
        QList<WindowRequest> fan;
        for (const WindowRequest &request : m_hub->messages()) {
            if (request.message == 0x8130)
                fan << request;
        }
        return fan;
    }
    bool dialogShown() const { return m_dialog->isVisible() && m_dialog->isCounting(); }

    TestEnvironment m_env;
    std::unique_ptr<TestHubProcess> m_hub;
    std::unique_ptr<KVRGBMemoryControl> m_control;
    Widget_Shutdown *m_dialog = nullptr;

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});

        // The recording shutdown: notes its arguments, exits with the status the case asks for.
        const QString binDir = m_env.root() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(binDir));
        QFile recorder(binDir + QStringLiteral("/shutdown"));
        QVERIFY(recorder.open(QIODevice::WriteOnly));
        recorder.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\nexit $(cat '%2/shutdown-exit' 2>/dev/null || echo 0)\n")
                           .arg(callsFile(), m_env.root())
                           .toUtf8());
        recorder.close();
        QVERIFY(recorder.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("PATH", binDir.toLocal8Bit() + ':' + qgetenv("PATH"));
        QCOMPARE(QStandardPaths::findExecutable(QStringLiteral("shutdown")), recorder.fileName());
        QProcess which;
        which.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("command -v shutdown")});
        QVERIFY(which.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(which.readAllStandardOutput()).trimmed(), recorder.fileName());

        const QString sensors = m_env.dataDir() + QStringLiteral("/veltrima");
        QVERIFY(QDir().mkpath(sensors));
        QFile scenario(sensors + QStringLiteral("/overheat.json"));
        QVERIFY(scenario.open(QIODevice::WriteOnly));
        scenario.write(kScenario);
        scenario.close();
        QFile config(sensors + QStringLiteral("/sensors"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[Sensors]\nLibrary=%1\nConfig=%2\n")
                         .arg(program(QStringLiteral("veltrima-sensors-scenario.so")), scenario.fileName())
                         .toUtf8());
        config.close();

        QProcess hal;
        hal.start(program(QStringLiteral("veltrima-hal-register")),
                  {QStringLiteral("--virtual"), m_env.dataDir() + QStringLiteral("/veltrima/hal-servers")});
        QVERIFY(hal.waitForFinished(10000));
        QCOMPARE(hal.exitCode(), 0);

        m_hub = std::make_unique<TestHubProcess>(m_env.root() + QStringLiteral("/hub-record"));
        QVERIFY(m_hub->start());

        m_control = std::make_unique<KVRGBMemoryControl>();
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (auto *dialog = qobject_cast<Widget_Shutdown *>(window))
                m_dialog = dialog;
        }
        QVERIFY(m_dialog);
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(waitUntil([] {
            const auto hal = VirtualHalState::read(VirtualHalState::defaultClsid());
            return hal && !hal->devices.isEmpty() && hal->devices.at(0).colourCalls > 5;
        }, 30000));
    }

    void cleanupTestCase()
    {
        m_control.reset();
        if (m_hub)
            m_hub->stop();
        MessagePresenter::setPresenter({});
    }

    void loadAtTheThresholdShowsTheLoadingColour()
    {
        const auto allLoading = [] {
            const auto hal = VirtualHalState::read(VirtualHalState::defaultClsid());
            if (!hal || hal->devices.isEmpty())
                return false;
            for (const VirtualHalDeviceSnapshot &device : hal->devices) {
                if (device.lastColours.isEmpty())
                    return false;
                for (quint32 colour : device.lastColours) {
                    if (colour != kLoadingColour)
                        return false;
                }
            }
            return true;
        };
        QVERIFY(!allLoading());
        QVERIFY(setNoti(QStringLiteral("--type 1 --loading 1 --loading-value 40 --loading-color %1").arg(kLoadingColour)));
        QVERIFY(waitUntil(allLoading, 15000));
        // The load now stays below the threshold: the modules' own lighting comes back.
        QVERIFY(setNoti(QStringLiteral("--type 1 --loading-value 41")));
        QVERIFY(waitUntil([&] { return !allLoading(); }, 15000));
        QVERIFY(waitUntil([&] { return deviceValue(QStringLiteral("Main/NotiLoadingValue")).toInt() == 41; }, 10000));
    }

    void fanSpeedRuleTellsTheHub()
    {
        QVERIFY(setNoti(QStringLiteral("--type 3 --fan-speed 1 --fan-speed-value 40")));
        // CPU 45 °C is above 40: each scan asks for full speed, with the threshold.
        QVERIFY(waitUntil([&] { return fanMessages().size() >= 2; }, 15000));
        for (const WindowRequest &request : fanMessages()) {
            QCOMPARE(request.wParam, quint64(1));
            QCOMPARE(request.lParam, qint64(40));
        }
        QVERIFY(setNoti(QStringLiteral("--type 3 --fan-speed-value 50")));
        QVERIFY(waitUntil([&] {
            const auto fan = fanMessages();
            return fan.last().wParam == 0 && fan.last().lParam == 50;
        }, 15000));
        // Switched off: the hub hears it at once, and no further scan asks.
        QVERIFY(setNoti(QStringLiteral("--type 3 --fan-speed 0")));
        QTest::qWait(2500);
        const int count = fanMessages().size();
        QTest::qWait(2500);
        QCOMPARE(fanMessages().size(), count);
        QCOMPARE(fanMessages().last().wParam, quint64(0));
        QCOMPARE(fanMessages().last().lParam, qint64(50));
    }

    void risingMemoryTemperatureCountsDownAndShutsDownOnce()
    {
        QVERIFY(setNoti(QStringLiteral("--type 2 --shutdown-memory 1 --shutdown-memory-value 60")));
        auto *label = m_dialog->findChild<QLabel *>(QStringLiteral("label_Shutdown_Alert"));
        QVERIFY(label);

        // Not while the hottest module is at or below 60 °C.
        bool early = false;
        QVERIFY(waitUntil([&] {
            if (m_control->channel().GetValueHWData().memoryData[0].temperature > 60)
                return true;
            early = early || dialogShown();
            return false;
        }, 60000));
        QVERIFY(!early);
        QVERIFY(waitUntil([&] { return dialogShown(); }, 5000));
        QCOMPARE(m_dialog->source(), int(Widget_Shutdown::MemorySource));
        QElapsedTimer shown;
        shown.start();

        QStringList texts;
        QVERIFY(waitUntil([&] {
            if (texts.isEmpty() || texts.last() != label->text())
                texts << label->text();
            return !shutdownCalls().isEmpty();
        }, 60000));
        QVERIFY2(shown.elapsed() > 28000, qPrintable(QString::number(shown.elapsed())));
        QStringList counted;
        for (const QString &text : texts) {
            const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("in (\\d+) seconds")).match(text);
            if (match.hasMatch())
                counted << match.captured(1);
        }
        QStringList expected{QStringLiteral("30")};
        for (int left = 29; left >= 0; --left)
            expected << QString::number(left);
        QCOMPARE(counted, expected);
        QCOMPARE(shutdownCalls(), QStringList{QStringLiteral("-h now")});
        QVERIFY(!m_dialog->isVisible());

        // Done: the rule is off in the channel and in the device file, and stays quiet.
        QVERIFY(waitUntil([&] { return !rules().shutdownMemoryOn; }, 10000));
        QVERIFY(waitUntil([&] { return !deviceValue(QStringLiteral("Main/NotiShutdown_Memory")).toBool(); }, 10000));
        QTest::qWait(3000);
        QCOMPARE(shutdownCalls().size(), 1);
        QVERIFY(!m_dialog->isVisible());
    }

    void cancelRunsTheAbortAndSwitchesTheRuleOff()
    {
        QVERIFY(setNoti(QStringLiteral("--type 2 --shutdown-memory 1")));
        QVERIFY(waitUntil([&] { return dialogShown(); }, 15000));
        // Another process listening the way the user interface does hears the switch-off
        // and the refresh that makes its page re-read the record.
        ProgramRunner watcher(program(QStringLiteral("veltrima-channel")),
                              {QStringLiteral("watch"), QStringLiteral("--timeout"), QStringLiteral("20000")});
        QVERIFY(watcher.start());
        QVERIFY(watcher.waitForOutput(QStringLiteral("watching"), 15000));
        QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("btn_Cancel")), Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(watcher.waitForOutput(QStringLiteral("refresh"), 15000));
        QVERIFY2(watcher.output().contains(QStringLiteral("shutdownMemory=0/60")), qPrintable(watcher.output()));
        QVERIFY(waitUntil([&] { return shutdownCalls().size() == 2; }, 15000));
        QCOMPARE(shutdownCalls().last(), QStringLiteral("-c"));
        QVERIFY(!rules().shutdownMemoryOn);
        QVERIFY(waitUntil([&] { return !deviceValue(QStringLiteral("Main/NotiShutdown_Memory")).toBool(); }, 10000));
        QTest::qWait(2500);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(shutdownCalls().size(), 2);
    }

    void refusedShutdownIsReportedAndKeepsTheRuleOn()
    {
        setShutdownExitStatus(1);
        MessagePresenter::clearShownBoxes();
        QVERIFY(setNoti(QStringLiteral("--type 2 --shutdown-memory 1")));
        QVERIFY(waitUntil([&] { return dialogShown(); }, 15000));
        QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("btn_OK")), Qt::LeftButton);
        QVERIFY(waitUntil([] { return !MessagePresenter::shownBoxes().isEmpty(); }, 15000));
        QCOMPARE(MessagePresenter::shownBoxes().last().title, QStringLiteral("Shutdown Failure"));
        QCOMPARE(shutdownCalls().size(), 3);
        QCOMPARE(shutdownCalls().last(), QStringLiteral("-h now"));
        QVERIFY(rules().shutdownMemoryOn);
        QVERIFY(deviceValue(QStringLiteral("Main/NotiShutdown_Memory")).toBool());

        // Still armed: the next scans count again; switching the rule off stops that
        // countdown and runs nothing.
        QVERIFY(waitUntil([&] { return dialogShown(); }, 15000));
        QVERIFY(setNoti(QStringLiteral("--type 2 --shutdown-memory 0")));
        QVERIFY(waitUntil([&] { return !m_dialog->isVisible(); }, 5000));
        QTest::qWait(2500);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(shutdownCalls().size(), 3);
    }
};

QTEST_MAIN(tst_OverheatGuard)
#include "tst_overheat_guard.moc"
