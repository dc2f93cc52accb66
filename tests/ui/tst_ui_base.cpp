#include "Information_View.h"
#include "KVRGBMemory.h"
#include "UiLog.h"
#include "Loading_View.h"
#include "Main_View.h"
#include "ProgramState.h"
#include "Widget_LocationPolicy.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"
#include "WindowMessenger.h"

#include "LightingMetaTypes.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QSettings>

#include <sys/stat.h>
#include <cstring>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(int *)
Q_DECLARE_METATYPE(float *)
Q_DECLARE_METATYPE(COLORREF *)
Q_DECLARE_METATYPE(QList<COLORREF *>)

namespace {
// What the channel stand-ins below hand out.
HWData g_record;
std::uint64_t g_setting = 0;
int g_profile = 0;
int g_slotNumbers[kModuleCount];
COLORREF g_rgb[kLedSlots];
float g_bright[kLedSlots];
float g_singleBright = 1.0f;
int g_lastLightMode = -1;
int g_lightingCalls = 0;
bool g_callsSucceed = true;
qint64 g_now = 1'700'000'000;

HWData freshRecord(int slotCount, int memoryCount)
{
    HWData d = makeZeroHWData();
    d.reset();
    d.slotCount = slotCount;
    d.memoryCount = memoryCount;
    d.dataTimestamp = std::int32_t(g_now);
    return d;
}

void useFakeChannel(KVRGBMemory &base)
{
    base.updateTimer()->stop();
    base.previewTimer()->stop();
    base.setClock([] { return g_now; });
    LightingChannel &ch = base.channel();
    ch.GetValueHWData = [] { return g_record; };
    ch.GetSettingValue = [] { return g_setting; };
    ch.SetSettingValue = [](std::uint64_t v) { g_setting = v; };
    ch.GetProfile = [] { return g_profile; };
    ch.GetValueMemorySlotNumber = [](int m) { return g_slotNumbers[m]; };
    ch.GetValueRGB = [](int) -> COLORREF * { return g_rgb; };
    ch.GetValueBright = [](int m) -> float * { return m == 0 ? g_bright : nullptr; };
    ch.GetValueSingleBright = [](int) { return g_singleBright; };
    ch.GetValueSoftwareRGB = [](int m) -> COLORREF * { return m == 1 ? g_rgb : nullptr; };
    ch.SetValueLighting = [](int, int mode, int, int, bool) {
        g_lastLightMode = mode;
        ++g_lightingCalls;
    };
    base.setCallCheck([] { return g_callsSucceed; });
}

// The control program holds its guard and has just published: the window takes edits.
void answer(KVRGBMemory &base, NamedMutex &controlGuard)
{
    if (!controlGuard.isHeld())
        QCOMPARE(controlGuard.tryCreate(), NamedMutex::Result::Created);
    g_record = freshRecord(4, 4);
    base.requestUpdateData();
    QVERIFY(base.controlWatch().isAnswering());
}

NamedMutex controlGuard()
{
    return NamedMutex(QStringLiteral("VELTRIMA Control.exe"));
}

int startsRecorded(const QString &folder)
{
    QFile file(folder + QStringLiteral("/starts.log"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}
} // namespace

class TestBase : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QTemporaryDir m_emptyFolder;

    // A stand-in control program that records each start in its working folder.
    static QString makeFakeControlFolder(QTemporaryDir &dir)
    {
        const QString path = dir.path() + QStringLiteral("/veltrima-rgb-control");
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write("#!/bin/sh\necho started >> starts.log\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return dir.path();
    }

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        qRegisterMetaType<int *>();
        qRegisterMetaType<float *>();
        qRegisterMetaType<COLORREF *>();
        qRegisterMetaType<QList<COLORREF *>>();
    }

    void init()
    {
        g_record = makeZeroHWData();
        g_record.reset();
        SettingData s;
        s.reset();
        g_setting = s.pack();
        g_profile = 0;
        for (int m = 0; m < kModuleCount; ++m)
            g_slotNumbers[m] = m;
        for (int i = 0; i < kLedSlots; ++i) {
            g_rgb[i] = rgbColor(i, 0, 0);
            g_bright[i] = 0.5f;
        }
        g_singleBright = 1.0f;
        g_lightingCalls = 0;
        g_callsSucceed = true;
        ProgramState::lightingModuleFound = false;
        MessagePresenter::clearShownBoxes();
    }

    // Without debug mode the lines go to the log file, not to the terminal; a device file
    // that is no regular file never stalls the start.
    void diagnosticLinesStayOffTheTerminal()
    {
        QVERIFY(!UiLog::debugModeFromDeviceFile());
        QDir().mkpath(UiLog::settingsFolder());
        const QString device = UiLog::settingsFolder() + QStringLiteral("/ModuleDevice.ini");
        QSettings(device, QSettings::IniFormat).setValue(QStringLiteral("DebugMode/isDebugMode"), true);
        QVERIFY(UiLog::debugModeFromDeviceFile());
        QVERIFY(QFile::remove(device));
        QVERIFY(::mkfifo(QFile::encodeName(device).constData(), 0600) == 0);
        QVERIFY(!UiLog::debugModeFromDeviceFile());
        QFile::remove(device);

        const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
        UiLog::install(false);
        qDebug() << "chatter-1233211234567";
        qWarning() << "warning-shown-in-the-file";
        qInstallMessageHandler(testHandler);
        QFile log(UiLog::filePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("Warning: warning-shown-in-the-file"));
        QVERIFY(text.contains("Debug: chatter-1233211234567"));
    }

    void openArgumentIsExact()
    {
        QVERIFY(ProgramState::isOpenArgument("open"));
        QVERIFY(!ProgramState::isOpenArgument("opened"));
        QVERIFY(!ProgramState::isOpenArgument("OPEN"));
        QVERIFY(!ProgramState::isOpenArgument("ope"));
        QVERIFY(!ProgramState::isOpenArgument(nullptr));
    }

    // A control program that cannot be started: the overlay says so and covers the pages,
    // no edit reaches the channel, the start is tried again, the box comes once, and after
    // a few tries the overlay says what fails. Once the program answers, edits go through.
    void controlProgramDownTakesNoEdit()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        QVERIFY(base.testAttribute(Qt::WA_DontShowOnScreen));
        Main_View *view = base.mainView();
        Loading_View *overlay = view->loadingView();
        g_record = freshRecord(4, 4); // the channel is fresh, but nobody holds the guard
        base.requestUpdateData();
        QVERIFY(!base.controlWatch().isAnswering());
        QVERIFY(overlay->isVisible() && overlay->isLoading());
        QCOMPARE(overlay->statusText(), QStringLiteral("Starting VELTRIMA RGB Control\u2026"));

        // Neither the mouse nor the keyboard reaches a page; a change that still arrives
        // is refused with a word to the user.
        const QWidget *hit = view->childAt(QPoint(600, 300));
        QVERIFY(hit == overlay || overlay->isAncestorOf(hit));
        QVERIFY(!view->informationView()->isEnabled());
        emit view->changeLightMode(0, 7, 0, 2, false);
        base.select_Profile(2);
        QCOMPARE(g_lightingCalls, 0);
        QVERIFY(view->noticeText().contains(QLatin1String("not applied")));

        for (int poll = 0; poll < 3; ++poll) {
            g_now += ControlProgramWatch::kRetrySeconds;
            g_record.dataTimestamp = std::int32_t(g_now);
            base.requestUpdateData();
        }
        QCOMPARE(base.controlWatch().unansweredTries(), 4);
        const QString program = m_emptyFolder.path() + QStringLiteral("/veltrima-rgb-control");
        QVERIFY2(overlay->statusText().contains(program + QStringLiteral(" was not found")),
                 qPrintable(overlay->statusText()));
        QVERIFY(overlay->isVisible());
        int boxes = 0;
        for (const auto &box : MessagePresenter::shownBoxes())
            boxes += box.text == QLatin1String("Can not find veltrima-rgb-control") && box.title == QLatin1String("ERROR");
        QCOMPARE(boxes, 1);

        NamedMutex guard = controlGuard();
        answer(base, guard);
        QVERIFY(!overlay->isVisible());
        QVERIFY(view->informationView()->isEnabled());
        QVERIFY(!overlay->isAncestorOf(view->childAt(QPoint(600, 300))));
        emit view->changeLightMode(0, 7, 0, 2, false);
        QCOMPARE(g_lastLightMode, 7);
        QCOMPARE(g_lightingCalls, 1);

        // The program goes away: the overlay is back at the next poll, before the data
        // go stale.
        guard.release();
        base.requestUpdateData();
        QVERIFY(overlay->isVisible());
        QVERIFY(!overlay->statusText().isEmpty());
        emit view->changeLightMode(0, 9, 0, 2, false);
        QCOMPARE(g_lightingCalls, 1);
    }

    // A change that did not reach the shared state is reported, on the window and in the log.
    void unappliedWriteIsReported()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        NamedMutex guard = controlGuard();
        answer(base, guard);
        Main_View *view = base.mainView();

        emit view->changeLightMode(1, 4, 0, 2, false);
        QCOMPARE(g_lightingCalls, 1);
        QVERIFY(view->noticeText().isEmpty());

        g_callsSucceed = false;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("SetValueLighting 1 did not reach")));
        emit view->changeLightMode(1, 5, 0, 2, false);
        QCOMPARE(g_lightingCalls, 2);
        QVERIFY(view->noticeText().contains(QLatin1String("not applied")));

        // The location answer is never written back over settings that could not be read,
        // and stand-in values never reach a page, whose next Apply would send them.
        const std::uint64_t before = g_setting;
        base.LocationWarningCheck(true);
        QCOMPARE(g_setting, before);
        QSignalSpy lighting(&base, &KVRGBMemory::setLighting);
        QSignalSpy settings(&base, &KVRGBMemory::setSettingData);
        base.requestSetLighting();
        base.requestSettingData();
        QCOMPARE(lighting.count(), 0);
        QCOMPARE(settings.count(), 0);
    }

    void freshnessRule()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        QSignalSpy data(&base, &KVRGBMemory::setHWData);

        g_record = freshRecord(4, 1);
        g_record.dataTimestamp = std::int32_t(g_now - 9);
        g_record.cpuTemperature = 55;
        base.requestUpdateData();
        QCOMPARE(data.last().at(0).value<HWData>().cpuTemperature, 55);

        g_record.dataTimestamp = std::int32_t(g_now - 10);
        base.requestUpdateData();
        QCOMPARE(data.last().at(0).value<HWData>().cpuTemperature, -1);
        QCOMPARE(data.last().at(0).value<HWData>().memoryCount, -1);

        g_record.dataTimestamp = std::int32_t(g_now + 1); // a stamp from the future
        base.requestUpdateData();
        QCOMPARE(data.last().at(0).value<HWData>().cpuTemperature, -1);

        g_record.dataTimestamp = std::int32_t(g_now);
        g_record.memoryCount = 0; // fresh but without modules
        base.requestUpdateData();
        QCOMPARE(data.last().at(0).value<HWData>().cpuTemperature, -1);
    }

    void firstDataOnlyFromFreshRecord()
    {
        NamedMutex guard = controlGuard();
        QCOMPARE(guard.tryCreate(), NamedMutex::Result::Created);
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        QSignalSpy counts(&base, &KVRGBMemory::setSlotNum);
        QSignalSpy parts(&base, &KVRGBMemory::setKVModuleType);

        // A channel nobody has written yet: zero counts, zero stamp.
        g_record = makeZeroHWData();
        base.requestUpdateData();
        QCOMPARE(counts.count(), 0);
        QVERIFY(!base.firstDataSeen());
        QVERIFY(base.mainView()->menuButton(1)->isVisibleTo(base.mainView()));
        QVERIFY(base.mainView()->loadingView()->isLoading());

        // Stale but with counts: still not trusted.
        g_record = freshRecord(4, 2);
        g_record.dataTimestamp = std::int32_t(g_now - 30);
        base.requestUpdateData();
        QCOMPARE(counts.count(), 0);

        g_record = freshRecord(12, 9); // counts beyond eight are clamped
        setText(g_record.memoryData[1].partNumber, "KV-R022D-16");
        std::memset(g_record.memoryData[2].partNumber, 'A', kTextSize); // no terminator
        base.requestUpdateData();
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.at(0).at(0).toInt(), 8);
        QCOMPARE(counts.at(0).at(1).toInt(), 8);
        const QStringList list = parts.at(0).at(0).toStringList();
        QCOMPARE(list.size(), 8);
        QCOMPARE(list.at(1), QStringLiteral("KV-R022D-16"));
        QCOMPARE(list.at(2).size(), kTextSize);
        QVERIFY(base.firstDataSeen());
        QVERIFY(ProgramState::lightingModuleFound);
        QVERIFY(!base.mainView()->loadingView()->isVisible());

        base.requestUpdateData();
        QCOMPARE(counts.count(), 1);
    }

    void staleRestartOncePerStalePeriod()
    {
        QTemporaryDir folder;
        QVERIFY(!makeFakeControlFolder(folder).isEmpty());
        KVRGBMemory base(folder.path());
        useFakeChannel(base);
        QTRY_COMPARE(startsRecorded(folder.path()), 1);
        // The start just made covers the wait for the program's first data.
        QVERIFY(base.staleRestartDone());
        base.requestUpdateData();
        base.requestUpdateData();

        // The stand-in exits at once; a control program that runs holds its guard.
        NamedMutex guard = controlGuard();
        QCOMPARE(guard.tryCreate(), NamedMutex::Result::Created);
        g_record = freshRecord(4, 2);
        base.requestUpdateData();
        QVERIFY(!base.staleRestartDone());
        guard.release();

        g_now += 10;
        base.requestUpdateData();
        QVERIFY(base.staleRestartDone());
        QTRY_COMPARE(startsRecorded(folder.path()), 2);
        base.requestUpdateData();
        g_now += 5;
        base.requestUpdateData();

        QCOMPARE(guard.tryCreate(), NamedMutex::Result::Created);
        g_record.dataTimestamp = std::int32_t(g_now);
        base.requestUpdateData();
        guard.release();
        g_now += 60;
        base.requestUpdateData();
        QTRY_COMPARE(startsRecorded(folder.path()), 3);
        QTest::qWait(200);
        QCOMPARE(startsRecorded(folder.path()), 3);
    }

    void runningControlProgramIsNotStartedAgain()
    {
        QTemporaryDir folder;
        QVERIFY(!makeFakeControlFolder(folder).isEmpty());
        NamedMutex controlGuard(QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(controlGuard.tryCreate(), NamedMutex::Result::Created);
        KVRGBMemory base(folder.path());
        useFakeChannel(base);
        // Stale data while the control program holds its guard (hung): no second copy.
        base.requestUpdateData();
        QVERIFY(base.staleRestartDone());
        QTest::qWait(200);
        QCOMPARE(startsRecorded(folder.path()), 0);
        for (const auto &box : MessagePresenter::shownBoxes())
            QVERIFY2(box.title != QLatin1String("ERROR"), qPrintable(box.text));
    }

    void channelValuesAreChecked()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);

        g_slotNumbers[3] = 9;
        QSignalSpy slotSpy(&base, &KVRGBMemory::setMemorySlotNumber);
        base.requestSetSlotNum();
        int *numbers = slotSpy.at(0).at(1).value<int *>();
        for (int m = 0; m < kModuleCount; ++m)
            QCOMPARE(numbers[m], m);
        g_slotNumbers[3] = 3;
        std::swap(g_slotNumbers[0], g_slotNumbers[5]);
        base.requestSetSlotNum();
        numbers = slotSpy.at(1).at(1).value<int *>();
        QCOMPARE(numbers[0], 5);
        QCOMPARE(numbers[5], 0);

        QSignalSpy profileSpy(&base, &KVRGBMemory::setProfile);
        g_profile = 7;
        base.requestSetProfile();
        QCOMPARE(profileSpy.count(), 0);
        g_profile = 4;
        base.requestSetProfile();
        QCOMPARE(profileSpy.count(), 1);

        QSignalSpy rgbSpy(&base, &KVRGBMemory::setRGB);
        g_bright[0] = 3.0f;
        g_bright[1] = -1.0f;
        g_singleBright = 2.5f;
        base.requestSetRGB();
        QCOMPARE(rgbSpy.count(), kModuleCount);
        const float *bright0 = rgbSpy.at(0).at(3).value<float *>();
        QCOMPARE(bright0[0], 1.0f);
        QCOMPARE(bright0[1], 0.0f);
        QCOMPARE(bright0[2], 0.5f);
        QCOMPARE(rgbSpy.at(0).at(4).toFloat(), 1.0f);
        // Module 1's brightness pointer is null: full brightness, not a crash.
        const float *bright1 = rgbSpy.at(1).at(3).value<float *>();
        QCOMPARE(bright1[0], 1.0f);
        // The pages get copies, never the channel's own arrays.
        QVERIFY(rgbSpy.at(0).at(1).value<COLORREF *>() != g_rgb);
        QCOMPARE(rgbSpy.at(0).at(1).value<COLORREF *>()[4], rgbColor(4, 0, 0));

        QSignalSpy previewSpy(&base, &KVRGBMemory::updatePreviewList);
        base.requestUpdate_SoftwareRGB();
        const auto list = previewSpy.at(0).at(0).value<QList<COLORREF *>>();
        QCOMPARE(list.size(), kModuleCount);
        QCOMPARE(list.at(1)[2], rgbColor(2, 0, 0));
        QCOMPARE(list.at(0)[0], rgbColor(255, 0, 0)); // null pointer: default colours
    }

    void languageLoading()
    {
        KVRGBMemory base(m_emptyFolder.path());
        QCOMPARE(base.loadedLanguage(), 0);
        // Numbers outside the ten languages read as English, and are remembered so the
        // once-a-second poll does not load it again.
        QVERIFY(base.loadLanguage(10));
        QCOMPARE(base.loadedLanguage(), 10);
        QVERIFY(base.loadLanguage(-1));
        QCOMPARE(base.loadedLanguage(), -1);
        QCOMPARE(base.mainView()->menuButton(0)->text(), QStringLiteral("Information"));
    }

    // Choosing a language whose catalogue is not shipped keeps the texts on show and
    // still stores the choice.
    void languageWithoutCatalogueKeepsTexts()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        NamedMutex guard = controlGuard();
        answer(base, guard);
        QPushButton *info = base.mainView()->menuButton(0);
        QCOMPARE(info->text(), QStringLiteral("Information"));
        int missing = 0;
        for (int language = LanguageEnglish + 1; language < LanguageCount; ++language) {
            if (QFile::exists(QStringLiteral(":/KVRGBMemory/VELTRIMA_%1.qm").arg(QLatin1String(languageCode(language)))))
                continue;
            ++missing;
            SettingData setting = SettingData::unpack(g_setting);
            setting.language = language;
            base.changeSettingData(setting);
            QCOMPARE(SettingData::unpack(g_setting).language, language);
            QCOMPARE(ProgramState::currentLanguage, language);
            QCOMPARE(base.loadedLanguage(), int(LanguageEnglish));
            QCOMPARE(info->text(), QStringLiteral("Information"));
            // A key that is an identifier still reads as its English text.
            QCOMPARE(QCoreApplication::translate("Information_Slots_View", "Temperature:"), QStringLiteral("TEMP: "));
        }
        ProgramState::currentLanguage = LanguageEnglish;
        if (missing == 0)
            QSKIP("every language has its catalogue");
    }

    void clockModeAsksForLocation()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        NamedMutex guard = controlGuard();
        answer(base, guard);
        base.changeLightMode(0, 31, 0, 2, false);
        QCOMPARE(g_lastLightMode, 31);
        QVERIFY(base.locationDialog()->isVisible());
        base.locationDialog()->RemindChange(true);
        base.locationDialog()->pushOK();
        QVERIFY(SettingData::unpack(g_setting).isCurrentLocation);
        QVERIFY(!base.locationDialog()->isVisible());

        g_lastLightMode = -1;
        base.changeLightMode(0, 31, 0, 2, false);
        QCOMPARE(g_lastLightMode, 31);
        QVERIFY(!base.locationDialog()->isVisible());
    }

    void messagesToTheBaseWindow()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        base.setWindowTitle(QStringLiteral("VELTRIMA"));
        QVERIFY(!WindowMessenger::findWindow(QStringLiteral("VELTRIMA RGB Base")).isValid());
        QVERIFY(WindowMessenger::findWindow(QStringLiteral("VELTRIMA")).isValid());

        base.mainView()->hide();
        QCOMPARE(WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8101, 1, 1).value_or(-1), 0);
        QTRY_VERIFY(base.mainView()->isVisible());

        int quits = 0;
        ProgramState::setQuitHandler([&quits] { ++quits; });
        ProgramState::programStart = true;
        WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8303, 0, 0);
        QTest::qWait(50);
        QCOMPARE(quits, 0);
        WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8303, 1, 0);
        QTRY_COMPARE(quits, 1);
        ProgramState::programStart = false;
        WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8303, 1, 0);
        WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8301, 1, 1);
        QTRY_COMPARE(quits, 2);
        QTest::qWait(50);
        QCOMPARE(quits, 2);

        // The close button quits the user interface only.
        QTest::mouseClick(base.mainView()->closeButton(), Qt::LeftButton);
        QCOMPARE(quits, 3);
        ProgramState::setQuitHandler({});
    }
};

QTEST_MAIN(TestBase)
#include "tst_ui_base.moc"
