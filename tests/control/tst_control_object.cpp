// The control program's main object inside the test process, in debug mode, with the
// virtual HAL: the tray's actions against a stand-in user interface (its mutex held and
// its window served here), the language switch, channel events raised by the channel
// tool in another process, saving into the profile that was loaded, and the orderly exit.
// One object serves the whole case, as the channel is mapped once per process; the
// functions run in order and the last one ends it.
#include "ChannelEvents.h"
#include "DiagnosticLog.h"
#include "KVRGBMemoryControl.h"
#include "MessagePresenter.h"
#include "NamedMutex.h"
#include "ProgramNames.h"
#include "ProgramRunner.h"
#include "SettingData.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"
#include "WindowEndpoint.h"

#include <QAction>
#include <QApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QElapsedTimer>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

const QString kUnticked = QStringLiteral("\u25A1 Minimize after system startup");
const QString kTicked = QStringLiteral("\u25A0 Minimize after system startup");

QString program(const QString &name)
{
    return TestEnvironment::binDir() + QLatin1Char('/') + name;
}

// Runs the channel tool to completion; the main thread's events wait meanwhile.
bool tool(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(TestEnvironment::processEnvironment());
    process.start(program(QStringLiteral("veltrima-channel")), arguments);
    if (process.waitForFinished(15000) && process.exitCode() == 0)
        return true;
    qWarning() << "veltrima-channel" << arguments << "failed:" << process.readAllStandardError();
    return false;
}

// Holds the user interface's mutex and serves its window "VELTRIMA RGB", keeping every
// message it receives.
class FakeUserInterface
{
public:
    FakeUserInterface()
        : m_mutex(QString::fromLatin1(ProgramNames::kUiMutex))
    {
        m_mutex.tryCreate();
        m_endpoint.setHandler([this](const WindowRequest &request) {
            messages << request;
            return qint64(1);
        });
        m_endpoint.setTitle(QString::fromLatin1(ProgramNames::kMainViewTitle));
    }

    bool isUp() const { return m_mutex.isHeld() && m_endpoint.isListening(); }

    QList<WindowRequest> messages;

private:
    NamedMutex m_mutex;
    WindowEndpoint m_endpoint;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A real operation of the library that it refuses: afterwards this thread's last call
// did not reach the shared state, exactly as after a lock that timed out.
decltype(LightingChannel::GetValueLightMode) s_refusedCall = nullptr;

HWData unreadableRecord()
{
    s_refusedCall(-1);
    HWData stand_in = makeZeroHWData();
    stand_in.reset();
    return stand_in;
}

std::uint64_t unreadableSettings()
{
    s_refusedCall(-1);
    SettingData stand_in;
    stand_in.reset();
    return stand_in.pack();
}

bool isMessage(const WindowRequest &request, quint32 message, quint64 wParam, qint64 lParam)
{
    return request.message == message && request.wParam == wParam && request.lParam == lParam;
}

} // namespace

class tst_ControlObject : public QObject
{
    Q_OBJECT

private:
    QString storeFolder() const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB"); }
    QString profileFile(int profile) const
    {
        return storeFolder() + QStringLiteral("/VELTRIMA RGB/Profile_%1.ini").arg(profile);
    }
    QVariant deviceValue(const QString &key) const
    {
        return QSettings(storeFolder() + QStringLiteral("/ModuleDevice.ini"), QSettings::IniFormat).value(key);
    }

    QAction *autoRunAction() const { return m_menu->actions().value(1); }

    TestEnvironment m_env;
    QElapsedTimer m_controlAge;
    std::unique_ptr<KVRGBMemoryControl> m_control;
    QMenu *m_menu = nullptr;

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        QVERIFY(QDir().mkpath(storeFolder()));
        QSettings(storeFolder() + QStringLiteral("/ModuleDevice.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("DebugMode/isDebugMode"), 1);

        QProcess hal;
        hal.setProcessEnvironment(TestEnvironment::processEnvironment());
        hal.start(program(QStringLiteral("veltrima-hal-register")),
                  {QStringLiteral("--virtual"), m_env.dataDir() + QStringLiteral("/veltrima/hal-servers")});
        QVERIFY(hal.waitForFinished(10000));
        QCOMPARE(hal.exitCode(), 0);

        m_control = std::make_unique<KVRGBMemoryControl>();
        m_controlAge.start();
        QCOMPARE(KVRGBMemoryControl::instance(), m_control.get());
        auto *tray = m_control->findChild<QSystemTrayIcon *>();
        QVERIFY(tray);
        m_menu = tray->contextMenu();
        QVERIFY(m_menu);
        // The modules are running before anything else is asked of the program.
        QVERIFY(waitUntil([] {
            const auto hal = VirtualHalState::read(VirtualHalState::defaultClsid());
            return hal && !hal->devices.isEmpty() && hal->devices.at(0).colourCalls > 5;
        }, 20000));
    }

    void cleanupTestCase()
    {
        m_control.reset();
        DiagnosticLog::uninstall();
        QLoggingCategory::setFilterRules(QString());
        MessagePresenter::setPresenter({});
    }

    void debugModeOpensTheEffectsLog()
    {
        QVERIFY(DiagnosticLog::isInstalled());
        const QLoggingCategory effects("veltrima.lighting.effects", QtInfoMsg);
        QVERIFY(effects.isDebugEnabled());
    }

    // The main object owns everything but is never a window on screen.
    void mainObjectNeverShowsAWindow()
    {
        QVERIFY(m_control->testAttribute(Qt::WA_DontShowOnScreen));
        QCOMPARE(m_control->windowTitle(), QStringLiteral("VELTRIMA RGB Control"));
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible() || window->testAttribute(Qt::WA_DontShowOnScreen),
                     qPrintable(window->metaObject()->className()));
    }

    void trayCarriesTheTranslatedTexts()
    {
        auto *tray = m_control->findChild<QSystemTrayIcon *>();
        QCOMPARE(tray->toolTip(), QStringLiteral("VELTRIMA"));
        QVERIFY(!tray->icon().isNull());
        const QList<QAction *> actions = m_menu->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Launch VELTRIMA"));
        QCOMPARE(actions.at(1)->text(), kUnticked);
        QVERIFY(actions.at(2)->isSeparator());
        QCOMPARE(actions.at(3)->text(), QStringLiteral("Exit"));
    }

    void channelEventsAreHandledOnTheMainThread()
    {
        QThread *handledOn = nullptr;
        int module = -1;
        int mode = -1;
        const auto connection = connect(m_control.get(), &KVRGBMemoryControl::setLightMode, this,
                                        [&](int m, int lightMode, int, int, bool) {
                                            handledOn = QThread::currentThread();
                                            module = m;
                                            mode = lightMode;
                                        },
                                        Qt::DirectConnection);
        QVERIFY(tool({QStringLiteral("set-lighting"), QStringLiteral("1"), QStringLiteral("17"), QStringLiteral("0"),
                      QStringLiteral("1"), QStringLiteral("on")}));
        QTRY_VERIFY_WITH_TIMEOUT(handledOn != nullptr, 15000);
        disconnect(connection);
        QCOMPARE(handledOn, QThread::currentThread());
        QCOMPARE(module, 1);
        QCOMPARE(mode, 17);
        QTRY_COMPARE_WITH_TIMEOUT(
            QSettings(profileFile(0), QSettings::IniFormat).value(QStringLiteral("Memory1/LightMode")).toInt(), 17,
            10000);
    }

    void modeChangeBeforeAProfileChangeStaysInItsOwnProfile()
    {
        // Both changes are made while the main thread is busy, so by the time the
        // light-mode event is handled the channel already names profile 3.
        QVERIFY(tool({QStringLiteral("set-lighting"), QStringLiteral("2"), QStringLiteral("6"), QStringLiteral("0"),
                      QStringLiteral("3"), QStringLiteral("on")}));
        QVERIFY(tool({QStringLiteral("set-profile"), QStringLiteral("3")}));
        QTRY_COMPARE_WITH_TIMEOUT(deviceValue(QStringLiteral("Main/Profile")).toInt(), 3, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(m_control->channel().GetValueLightMode(2), 5, 10000); // profile 3's default

        // Profile writes are paced: the earlier profile's file may follow by half a second.
        const auto previous = [this](const char *key) {
            return QSettings(profileFile(0), QSettings::IniFormat).value(QLatin1String(key)).toInt();
        };
        QTRY_COMPARE_WITH_TIMEOUT(previous("Memory2/LightMode"), 6, 5000);
        QCOMPARE(previous("Memory2/LightSpeed"), 3);
        QVERIFY(QSettings(profileFile(3), QSettings::IniFormat).value(QStringLiteral("Memory2/LightMode")).toInt() != 6);
    }

    void settingsEventUpdatesTheTrayInTheChosenLanguage()
    {
        QVERIFY(tool({QStringLiteral("set-settings"), QStringLiteral("--auto-run"), QStringLiteral("1"),
                      QStringLiteral("--language"), QStringLiteral("3")}));
        const QString tickedGerman = QStringLiteral("\u25A0 Nach dem Systemstart minimieren");
        QTRY_COMPARE_WITH_TIMEOUT(autoRunAction()->text(), tickedGerman, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(deviceValue(QStringLiteral("Main/Language")).toInt(), 3, 10000);
        QCOMPARE(deviceValue(QStringLiteral("Main/isAutoRun")).toBool(), true);
        QCOMPARE(m_menu->actions().at(0)->text(), QStringLiteral("VELTRIMA \u00F6ffnen"));
        QCOMPARE(m_menu->actions().at(3)->text(), QStringLiteral("Beenden"));

        // Numbers outside the ten languages leave the texts as they are.
        for (int language : {-1, 10}) {
            m_control->changeLanguage(language);
            QCOMPARE(autoRunAction()->text(), tickedGerman);
            QCOMPARE(m_menu->actions().at(3)->text(), QStringLiteral("Beenden"));
        }

        QVERIFY(tool({QStringLiteral("set-settings"), QStringLiteral("--language"), QStringLiteral("0")}));
        QTRY_COMPARE_WITH_TIMEOUT(autoRunAction()->text(), kTicked, 15000);
        QCOMPARE(m_menu->actions().at(0)->text(), QStringLiteral("Launch VELTRIMA"));
        QCOMPARE(m_menu->actions().at(3)->text(), QStringLiteral("Exit"));
    }

    void autorunToggleSavesAndRefreshesTheUserInterface()
    {
        ProgramRunner watcher(program(QStringLiteral("veltrima-channel")),
                              {QStringLiteral("watch"), QStringLiteral("--count"), QStringLiteral("5"),
                               QStringLiteral("--timeout"), QStringLiteral("15000")});
        QVERIFY(watcher.start());
        QVERIFY(watcher.waitForOutput(QStringLiteral("watching"), 10000));

        const bool before = SettingData::unpack(m_control->channel().GetSettingValue()).isAutoRun;
        autoRunAction()->trigger();
        const bool after = SettingData::unpack(m_control->channel().GetSettingValue()).isAutoRun;
        QCOMPARE(after, !before);
        QCOMPARE(autoRunAction()->text(), after ? kTicked : kUnticked);
        // Written at once, or when the file's half second since its last write has passed.
        QTRY_COMPARE_WITH_TIMEOUT(deviceValue(QStringLiteral("Main/isAutoRun")).toBool(), after, 5000);
        QVERIFY2(watcher.waitForOutput(QStringLiteral("refresh"), 10000), qPrintable(watcher.output()));

        autoRunAction()->trigger();
        QCOMPARE(SettingData::unpack(m_control->channel().GetSettingValue()).isAutoRun, before);
        QCOMPARE(autoRunAction()->text(), before ? kTicked : kUnticked);
        QTRY_COMPARE_WITH_TIMEOUT(deviceValue(QStringLiteral("Main/isAutoRun")).toBool(), before, 5000);
    }

    void openingBringsARunningUserInterfaceForward()
    {
        const QString marker = m_env.root() + QStringLiteral("/ui-started");
        const QString script = m_env.root() + QStringLiteral("/fake-ui");
        {
            QFile file(script);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("#!/bin/sh\npwd > '%1'\n").arg(marker).toUtf8());
        }
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_control->setUserInterfaceProgram(script);

        FakeUserInterface ui;
        QVERIFY(ui.isUp());
        m_control->onActivated(QSystemTrayIcon::DoubleClick);
        m_control->onActivated(QSystemTrayIcon::Trigger); // status-notifier trays know no double click
        m_control->onActivated(QSystemTrayIcon::Context);
        m_control->onActivated(QSystemTrayIcon::MiddleClick);
        m_menu->actions().at(0)->trigger();
        QCOMPARE(ui.messages.size(), 3);
        for (const WindowRequest &request : qAsConst(ui.messages))
            QVERIFY(isMessage(request, ProgramNames::kMsgShow, 1, 1));
        QTest::qWait(300);
        QVERIFY2(!QFile::exists(marker), "a second user interface was started");
    }

    void openingStartsTheUserInterfaceInTheProgramFolder()
    {
        const QString marker = m_env.root() + QStringLiteral("/ui-started");
        MessagePresenter::clearShownBoxes();
        m_control->showMainView();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(marker).size() > 0, 10000);
        QFile started(marker);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QDir(QString::fromLocal8Bit(started.readAll().trimmed())).canonicalPath(),
                 QDir(QCoreApplication::applicationDirPath()).canonicalPath());
        QVERIFY(MessagePresenter::shownBoxes().isEmpty());

        m_control->setUserInterfaceProgram(m_env.root() + QStringLiteral("/no-such-program"));
        m_control->showMainView();
        const QList<MessagePresenter::Box> boxes = MessagePresenter::shownBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.at(0).text, QStringLiteral("Can not find VELTRIMA RGB.exe"));
        QCOMPARE(boxes.at(0).title, QStringLiteral("ERROR"));
        QCOMPARE(boxes.at(0).icon, MessagePresenter::Icon::Information);
    }

    void autoInfoTellsTheUserInterfaceTheAutorunSetting()
    {
        m_control->updateAutoInfo(); // no user interface: nothing to tell, nothing breaks

        FakeUserInterface ui;
        QVERIFY(ui.isUp());
        for (bool autoRun : {true, false}) {
            SettingData settings = SettingData::unpack(m_control->channel().GetSettingValue());
            settings.isAutoRun = autoRun;
            m_control->channel().SetSettingValue(settings.pack());
            ui.messages.clear();
            m_control->updateAutoInfo();
            QCOMPARE(ui.messages.size(), 1);
            QVERIFY(isMessage(ui.messages.at(0), ProgramNames::kMsgAutoRunQuit, autoRun ? 1 : 0, 1));
            QCOMPARE(autoRunAction()->text(), autoRun ? kTicked : kUnticked);
        }
    }

    // The channel's getters fail while events arrive and the user saves: nothing they
    // hand out is written, the tray keeps its setting, and the first good read saves.
    void unreadableChannelWritesNothing()
    {
        LightingChannel &channel = m_control->channel();
        const auto readRecord = channel.GetValueHWData;
        const auto readSettings = channel.GetSettingValue;
        s_refusedCall = channel.GetValueLightMode;
        QTest::qWait(800); // earlier saves that still wait for their half second are done
        // The start-up settings check (3 s after construction) sets the tray text from the
        // known copy when the channel cannot be read; on a slow build it must not fall
        // into the window below.
        QTRY_VERIFY_WITH_TIMEOUT(m_controlAge.elapsed() > 3500, 5000);
        const QString device = storeFolder() + QStringLiteral("/ModuleDevice.ini");
        const QByteArray deviceBefore = fileBytes(device);
        const QByteArray profileBefore = fileBytes(profileFile(3));
        const QString autoRunText = autoRunAction()->text();
        const QString log = DiagnosticLog::defaultFilePath();
        const int failures = QString::fromUtf8(fileBytes(log)).count(QStringLiteral("the channel cannot be read"));

        channel.GetValueHWData = unreadableRecord;
        channel.GetSettingValue = unreadableSettings;
        QVERIFY(tool({QStringLiteral("set-lighting"), QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("0"),
                      QStringLiteral("2"), QStringLiteral("on")}));
        QVERIFY(tool({QStringLiteral("set-slots"), QStringLiteral("1,0,2,3,4,5,6,7")}));
        QVERIFY(tool({QStringLiteral("set-settings"), QStringLiteral("--language"), QStringLiteral("0")}));
        QTRY_VERIFY_WITH_TIMEOUT(
            QString::fromUtf8(fileBytes(log)).count(QStringLiteral("the channel cannot be read")) > failures, 15000);
        autoRunAction()->trigger();
        m_control->saveProfile();
        QTest::qWait(800); // past the half second in which a due write would happen
        channel.GetValueHWData = readRecord;
        channel.GetSettingValue = readSettings;
        QCOMPARE(fileBytes(device), deviceBefore);
        QCOMPARE(fileBytes(profileFile(3)), profileBefore);
        QCOMPARE(autoRunAction()->text(), autoRunText);

        QVERIFY(tool({QStringLiteral("set-lighting"), QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("0"),
                      QStringLiteral("2"), QStringLiteral("on")}));
        QTRY_COMPARE_WITH_TIMEOUT(
            QSettings(profileFile(3), QSettings::IniFormat).value(QStringLiteral("Memory1/LightMode")).toInt(), 4, 10000);
    }

    // Last: the program ends here.
    void exitClosesTheUserInterfaceAndLeavesTheModulesToTheHal()
    {
        FakeUserInterface ui;
        QVERIFY(ui.isUp());
        bool eventAfterExit = false;
        connect(m_control.get(), &KVRGBMemoryControl::setLightMode, this, [&] { eventAfterExit = true; },
                Qt::DirectConnection);

        QAction *exit = m_menu->actions().at(3);
        QTimer::singleShot(0, exit, &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);

        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(isMessage(ui.messages.at(0), ProgramNames::kMsgQuit, 1, 1));
        QCOMPARE(KVRGBMemoryControl::instance(), nullptr);

        // Every module was handed the HAL's own effect, and no frame came after it.
        const auto check = [] {
            const auto hal = VirtualHalState::read(VirtualHalState::defaultClsid());
            QVERIFY(hal && !hal->devices.isEmpty());
            for (const VirtualHalDeviceSnapshot &device : hal->devices)
                QCOMPARE(device.lastEffect, 5);
        };
        check();
        const auto calls = VirtualHalState::read(VirtualHalState::defaultClsid())->devices.at(0).colourCalls;
        QTest::qWait(400);
        check();
        QCOMPARE(VirtualHalState::read(VirtualHalState::defaultClsid())->devices.at(0).colourCalls, calls);

        // Nothing from the channel reaches the object any more.
        receiveLightMode_Event(1);
        QVERIFY(tool({QStringLiteral("set-lighting"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("0"),
                      QStringLiteral("2"), QStringLiteral("on")}));
        QTest::qWait(500);
        QVERIFY(!eventAfterExit);
    }
};

QTEST_MAIN(tst_ControlObject)
#include "tst_control_object.moc"
