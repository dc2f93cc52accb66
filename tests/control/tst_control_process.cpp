// The control program as a real process: single instance, quitting by window message or
// by a termination signal, and running on without the channel library or a tray.
#include "ProgramNames.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"
#include "WindowMessenger.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>

class tst_ControlProcess : public QObject
{
    Q_OBJECT

private:
    static QString controlProgram() { return TestEnvironment::binDir() + QStringLiteral("/veltrima-rgb-control"); }

    static bool windowUp()
    {
        return WindowMessenger::findWindow(QString::fromLatin1(ProgramNames::kControlWindowTitle), 500).isValid();
    }

private slots:
    void secondCopyExitsAndKilledGuardIsReleased()
    {
        TestEnvironment env;
        ProgramRunner first(controlProgram());
        QVERIFY(first.start());
        QVERIFY2(waitUntil(windowUp, 20000), qPrintable(first.output()));

        ProgramRunner second(controlProgram());
        QVERIFY(second.start());
        QVERIFY(second.waitForExit(15000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QCOMPARE(first.process().state(), QProcess::Running);
        QVERIFY(windowUp());

        ::kill(pid_t(first.process().processId()), SIGKILL);
        QVERIFY(first.waitForExit(5000));

        ProgramRunner third(controlProgram());
        QVERIFY(third.start());
        QVERIFY2(waitUntil(windowUp, 20000), qPrintable(third.output()));
        QCOMPARE(third.process().state(), QProcess::Running);
    }

    void quitMessageEndsTheProgram()
    {
        TestEnvironment env;
        ProgramRunner control(controlProgram());
        QVERIFY(control.start());
        QVERIFY2(waitUntil(windowUp, 20000), qPrintable(control.output()));

        const auto answer = WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlWindowTitle), 0x8301, 1, 1);
        QVERIFY(answer.has_value());
        QVERIFY2(control.waitForExit(15000), qPrintable(control.output()));
        QCOMPARE(control.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(control.process().exitCode(), 0);
        // Offscreen there is no tray: said once, and the program ran on regardless.
        QCOMPARE(control.output().count(QStringLiteral("no system tray")), 1);
        // Without debug mode the diagnostic lines reach neither the terminal nor a file.
        QVERIFY2(!control.output().contains(QStringLiteral("KVRGBMemoryControl::0x8301")), qPrintable(control.output()));
        QVERIFY(!control.output().contains(QStringLiteral("Profile_RW::readDevice")));
        QVERIFY(!QFile::exists(env.configDir() + QStringLiteral("/Kv/VELTRIMARGB/VELTRIMARGB_Log.txt")));
    }

    void terminationSignalLeavesTheModulesToTheHal()
    {
        TestEnvironment env;
        QProcess hal;
        hal.setProcessEnvironment(TestEnvironment::processEnvironment());
        hal.start(TestEnvironment::binDir() + QStringLiteral("/veltrima-hal-register"),
                  {QStringLiteral("--virtual"), env.dataDir() + QStringLiteral("/veltrima/hal-servers")});
        QVERIFY(hal.waitForFinished(10000));
        QCOMPARE(hal.exitCode(), 0);

        ProgramRunner control(controlProgram());
        QVERIFY(control.start());
        const auto halState = [] { return VirtualHalState::read(VirtualHalState::defaultClsid()); };
        QVERIFY2(waitUntil([&] {
            const auto state = halState();
            return state && !state->devices.isEmpty() && state->devices.at(0).colourCalls > 5;
        }, 20000), qPrintable(control.output()));

        ::kill(pid_t(control.process().processId()), SIGTERM);
        QVERIFY2(control.waitForExit(15000), qPrintable(control.output()));
        QCOMPARE(control.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(control.process().exitCode(), 0);
        const auto state = halState();
        QVERIFY(state);
        for (const VirtualHalDeviceSnapshot &device : state->devices)
            QCOMPARE(device.lastEffect, 5);
    }

    void runsOnWithoutTheChannelLibrary()
    {
        TestEnvironment env;
        // A copy of the program in a folder without the library beside it.
        const QString lonely = env.root() + QStringLiteral("/lonely");
        QVERIFY(QDir().mkpath(lonely));
        const QString copy = lonely + QStringLiteral("/veltrima-rgb-control");
        QVERIFY(QFile::copy(controlProgram(), copy));

        ProgramRunner control(copy);
        QVERIFY(control.start());
        QVERIFY2(control.waitForOutput(QStringLiteral("SharedDll Init Failure"), 20000), qPrintable(control.output()));
        QVERIFY2(waitUntil(windowUp, 10000), qPrintable(control.output()));
        QTest::qWait(1500); // a few frames and scans without the channel
        QCOMPARE(control.process().state(), QProcess::Running);

        QVERIFY(WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlWindowTitle), 0x8301, 1, 1).has_value());
        QVERIFY2(control.waitForExit(15000), qPrintable(control.output()));
        QCOMPARE(control.process().exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ControlProcess)
#include "tst_control_process.moc"
