// The settings page, its language list and the location dialog, in the windows of the
// user interface with the channel played by stand-ins; and a language change reaching
// the pages, the overlay, the dialogs of both programs.
#include "KVRGBMemory.h"
#include "Loading_View.h"
#include "Main_View.h"
#include "ProgramState.h"
#include "Setting_View.h"
#include "UiResources.h"
#include "SwitchButton.h"
#include "Widget_Language.h"
#include "Widget_LocationPolicy.h"
#include "Widget_Shutdown.h"

#include "LightingMetaTypes.h"
#include "MessagePresenter.h"
#include "NamedMutex.h"

#include "TestEnvironment.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QResource>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <cstring>

namespace {
qint64 g_now = 1'700'000'000;
HWData g_record;
std::uint64_t g_setting = 0;
int g_settingWrites = 0;
int g_lastLightMode = -1;
int g_lightingCalls = 0;

void useFakeChannel(KVRGBMemory &base)
{
    base.updateTimer()->stop();
    base.previewTimer()->stop();
    base.setClock([] { return g_now; });
    LightingChannel &ch = base.channel();
    ch.GetValueHWData = [] { return g_record; };
    ch.GetSettingValue = [] { return g_setting; };
    ch.SetSettingValue = [](std::uint64_t v) {
        g_setting = v;
        ++g_settingWrites;
    };
    ch.SetValueLighting = [](int, int mode, int, int, bool) {
        g_lastLightMode = mode;
        ++g_lightingCalls;
    };
    base.setCallCheck([] { return true; });
}

// The control program holds its guard and has just published: the window takes edits.
void answer(KVRGBMemory &base, NamedMutex &guard)
{
    if (!guard.isHeld())
        QCOMPARE(guard.tryCreate(), NamedMutex::Result::Created);
    g_record = makeZeroHWData();
    g_record.reset();
    g_record.slotCount = 4;
    g_record.memoryCount = 4;
    g_record.dataTimestamp = std::int32_t(g_now);
    std::strcpy(g_record.memoryData[0].partNumber, "KV-R009D");
    base.requestUpdateData();
    QVERIFY(base.controlWatch().isAnswering());
}

SettingData setting(int language, bool autoUpdate, bool autoRun, bool location)
{
    SettingData s;
    s.reset();
    s.language = language;
    s.isAutoUpdate = autoUpdate;
    s.isAutoRun = autoRun;
    s.isCurrentLocation = location;
    return s;
}

template <typename T>
T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

// A left click through the window system at the centre of the widget.
void click(QWidget *target)
{
    QWidget *top = target->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      target->mapTo(top, target->rect().center()));
}

void saveShot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("VELTRIMA_SHOT_DIR");
    if (!dir.isEmpty())
        widget->grab().save(dir + QLatin1Char('/') + name);
}
} // namespace

class tst_SettingsView : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QTemporaryDir m_emptyFolder;
    QTranslator m_english;

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        registerLightingMetaTypes();
        initUiResources();
        QVERIFY(m_english.load(QStringLiteral(":/KVRGBMemory/VELTRIMA_en.qm")));
        QCoreApplication::installTranslator(&m_english);
        // Builds without the real Russian catalogues get a stand-in under each prefix.
        for (const char *root : {"/KVRGBMemory", "/KVRGBMemoryControl"}) {
            if (!QFile::exists(QLatin1String(":") + QLatin1String(root) + QLatin1String("/VELTRIMA_ru.qm")))
                QVERIFY(QResource::registerResource(QStringLiteral(SETTINGS_TEST_RCC), QLatin1String(root)));
        }
    }

    void init()
    {
        g_setting = setting(LanguageEnglish, true, false, false).pack();
        g_settingWrites = 0;
        g_lastLightMode = -1;
        g_lightingCalls = 0;
        ProgramState::currentLanguage = LanguageEnglish;
        ProgramState::lightingModuleFound = true;
    }

    // The list opens under its button and closes on a click elsewhere; "ru" sends language
    // 7, the base window loads the Russian catalogue and every page and the overlay re-read
    // their texts; the start-at-log-on text shrinks for Russian and French.
    void choosingALanguageReachesEveryPage()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        NamedMutex guard(QStringLiteral("VELTRIMA Control.exe"));
        answer(base, guard);
        Main_View *view = base.mainView();
        QApplication::setActiveWindow(view);
        QVERIFY(QTest::qWaitForWindowActive(view));
        click(view->menuButton(4));
        Setting_View *page = view->settingView();
        QVERIFY(page && page->isVisible());
        auto *button = child<QPushButton>(page, "btn_Language");
        auto *autoRun = child<QLabel>(page, "label_AutoRun");
        QCOMPARE(button->text(), QStringLiteral("English"));
        QCOMPARE(autoRun->text(), QStringLiteral("Minimize after system startup"));
        QCOMPARE(autoRun->font().pixelSize(), 22);
        QTest::qWait(300); // the menu indicator's move
        saveShot(view, QStringLiteral("settings_en.png"));

        Widget_Language *list = page->languageList();
        QVERIFY(!list->isVisible());
        click(button);
        QVERIFY(list->isVisible());
        const QPoint under = button->mapTo(page, QPoint(0, button->height() + 1));
        QCOMPARE(list->pos(), under);
        QVERIFY(list->hasFocus());
        QCOMPARE(list->languageButton(7)->text(), QStringLiteral("Русский"));
        QCOMPARE(list->languageButton(1)->text(), QStringLiteral("正體中文"));
        saveShot(view, QStringLiteral("settings_list_en.png"));

        // A click elsewhere on the page closes the list.
        QTest::mouseClick(view->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          page->mapTo(view, QPoint(page->width() - 20, page->height() - 20)));
        QTRY_VERIFY(!list->isVisible());

        click(button);
        QVERIFY(list->isVisible());
        QSignalSpy changes(page, &Setting_View::changeSettingData);
        click(list->languageButton(7));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).value<SettingData>().language, int(LanguageRussian));
        QCOMPARE(SettingData::unpack(g_setting).language, int(LanguageRussian));
        QCOMPARE(ProgramState::currentLanguage, int(LanguageRussian));
        QCOMPARE(base.loadedLanguage(), int(LanguageRussian));
        // Whatever the catalogue says, the page shows it and not the English.
        const QString russianAutoRun =
            QCoreApplication::translate("Setting_View", "Run VELTRIMA RGB Program when Windows starts.");
        QVERIFY(russianAutoRun != QStringLiteral("Minimize after system startup"));
        QCOMPARE(autoRun->text(), russianAutoRun);
        QCOMPARE(autoRun->font().pixelSize(), 20);
        QCOMPARE(child<QLabel>(page, "label_Language")->font().pixelSize(), 22);
        QCOMPARE(button->text(), QCoreApplication::translate("Setting_View", "ru"));
        QCOMPARE(view->menuButton(4)->text(), QCoreApplication::translate("Main_View", "Settings"));
        QVERIFY(view->menuButton(4)->text() != QStringLiteral("Settings"));
        // The overlay and the location dialog are told by the translator itself.
        QTRY_COMPARE(child<QLabel>(view->loadingView(), "label_Warning_Content")->text(),
                     QCoreApplication::translate("Loading_View", "Can not Find KV VELTRIMA"));
        QTRY_COMPARE(child<QLabel>(base.locationDialog(), "label_Title")->text(),
                     QCoreApplication::translate("Widget_LocationPolicy", "Location_Warning_Title"));
        QVERIFY(child<QLabel>(base.locationDialog(), "label_Title")->text() != QStringLiteral("Privacy Policy"));

        click(button);
        click(list->languageButton(LanguageFrench));
        QCOMPARE(SettingData::unpack(g_setting).language, int(LanguageFrench));
        QCOMPARE(autoRun->font().pixelSize(), 19);
        click(button);
        click(list->languageButton(LanguageEnglish));
        QCOMPARE(autoRun->font().pixelSize(), 22);
        QCOMPARE(autoRun->text(), QStringLiteral("Minimize after system startup"));
        QCOMPARE(view->menuButton(4)->text(), QStringLiteral("Settings"));
        QCOMPARE(changes.count(), 3);
    }

    // Without a mouse: the menu and the language button take Tab, the list the arrows.
    void keyboardChoosesAPageAndALanguage()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        NamedMutex guard(QStringLiteral("VELTRIMA Control.exe"));
        answer(base, guard);
        Main_View *view = base.mainView();
        QApplication::setActiveWindow(view);
        QVERIFY(QTest::qWaitForWindowActive(view));
        QCOMPARE(QApplication::focusWidget(), view); // no focus mark before the first Tab
        // The menu is one stop of Tab; like radio buttons, the arrows go through its pages.
        QVERIFY(view->menuButton(0)->focusPolicy() & Qt::TabFocus);
        view->menuButton(0)->setFocus(Qt::TabFocusReason);
        for (int page = 0; page < 3; ++page)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(view->menuButton(4)->hasFocus());
        Setting_View *page = view->settingView();
        QVERIFY(page && page->isVisible());

        auto *button = child<QPushButton>(page, "btn_Language");
        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Space);
        Widget_Language *list = page->languageList();
        QTRY_VERIFY(list->hasFocus());
        // The first arrow lands on the first language; German is at the top of column 1.
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(list, key);
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(SettingData::unpack(g_setting).language, int(LanguageGerman));
        QTRY_VERIFY(button->hasFocus());
    }

    // Each switch sends the whole record with only its own setting changed; nothing is
    // sent before the channel's record has arrived; no lighting module hides the location.
    void switchesSendOnlyTheirSetting()
    {
        Setting_View page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QSignalSpy changes(&page, &Setting_View::changeSettingData);
        auto *autoRun = child<SwitchButton>(&page, "switch_AutoRun");
        click(autoRun);
        QCOMPARE(changes.count(), 0);

        const SettingData stored = setting(LanguageGerman, false, false, true);
        page.setSettingData(stored);
        QCOMPARE(changes.count(), 0);
        QVERIFY(!autoRun->isChecked());
        QVERIFY(child<SwitchButton>(&page, "switch_CurrentLocation")->isChecked());
        QCOMPARE(child<QPushButton>(&page, "btn_Language")->text(), QStringLiteral("Deutsch"));
        QCOMPARE(child<QLabel>(&page, "label_Version")->text(), QStringLiteral("Version:1.0.2"));

        click(autoRun);
        QCOMPARE(changes.count(), 1);
        SettingData expected = stored;
        expected.isAutoRun = true;
        QCOMPARE(changes.at(0).at(0).value<SettingData>().pack(), expected.pack());

        QTest::qWait(150); // the knob's animation
        click(child<SwitchButton>(&page, "switch_AutoUpdate"));
        expected.isAutoUpdate = true;
        QCOMPARE(changes.last().at(0).value<SettingData>().pack(), expected.pack());

        // Without a lighting module the location row goes and the version closes up.
        auto *label = child<QLabel>(&page, "label_CurrentLocation");
        auto *version = child<QLabel>(&page, "label_Version");
        const int versionY = version->y();
        ProgramState::lightingModuleFound = false;
        page.setSettingData(stored);
        QVERIFY(!label->isVisible());
        QVERIFY(!child<SwitchButton>(&page, "switch_CurrentLocation")->isVisible());
        QVERIFY(version->isVisible() && version->y() < versionY);
        ProgramState::lightingModuleFound = true;
        page.setSettingData(stored);
        QVERIFY(label->isVisible());
    }

    // While the control program does not answer the change is refused, and the page
    // goes back to what is stored instead of showing it as made.
    void refusedChangeShowsTheStoredSetting()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        QVERIFY(!base.controlWatch().isAnswering());
        base.mainView()->slot_show_Setting();
        Setting_View *page = base.mainView()->settingView();
        QVERIFY(!page->settingData().isAutoRun);
        page->slot_AutoRun_Switch(true);
        QCOMPARE(g_settingWrites, 0);
        QVERIFY(!page->settingData().isAutoRun);
        QVERIFY(!child<SwitchButton>(page, "switch_AutoRun")->isChecked());
    }

    // The clock mode asks; OK with the box unticked writes the setting off once and
    // leaves the light mode as chosen. The box starts unticked at each showing.
    void locationDialogDecidesOnlyTheSetting()
    {
        KVRGBMemory base(m_emptyFolder.path());
        useFakeChannel(base);
        NamedMutex guard(QStringLiteral("VELTRIMA Control.exe"));
        answer(base, guard);
        Widget_LocationPolicy *dialog = base.locationDialog();
        QCOMPARE(dialog->objectName(), QStringLiteral("VELTRIMALocationPolicy"));
        QCOMPARE(dialog->size(), QSize(400, 230));
        QVERIFY(dialog->isWindow());
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));

        base.changeLightMode(0, 31, 0, 2, false);
        QCOMPARE(g_lastLightMode, 31);
        QCOMPARE(g_lightingCalls, 1);
        QVERIFY(dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("VELTRIMA Privacy Policy"));
        QCOMPARE(child<QLabel>(dialog, "label_Title")->text(), QStringLiteral("Privacy Policy"));
        QCOMPARE(dialog->allowBox()->text(), QStringLiteral("Allow"));
        saveShot(dialog, QStringLiteral("location_dialog_en.png"));
        click(dialog->allowBox());
        QVERIFY(dialog->allowed());
        click(dialog->okButton());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(g_settingWrites, 1);
        QVERIFY(SettingData::unpack(g_setting).isCurrentLocation);

        // Turned off again elsewhere; the next clock choice asks with a fresh box.
        g_setting = setting(LanguageEnglish, true, true, false).pack();
        base.changeLightMode(1, 31, 1, 0, false);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->allowBox()->isChecked());
        QVERIFY(!dialog->allowed());
        click(dialog->okButton());
        QCOMPARE(g_settingWrites, 2); // one connection: one write per answer
        const SettingData after = SettingData::unpack(g_setting);
        QVERIFY(!after.isCurrentLocation);
        QVERIFY(after.isAutoRun);
        QCOMPARE(g_lastLightMode, 31);
        QCOMPARE(g_lightingCalls, 2);

    }

    // The control program's countdown re-reads its texts when the language changes while
    // it runs.
    void shutdownDialogFollowsTheLanguage()
    {
        Widget_Shutdown dialog;
        dialog.startCountdown(Widget_Shutdown::MemorySource);
        dialog.slot_Countdown();
        auto *cancel = child<QPushButton>(&dialog, "btn_Cancel");
        auto *text = child<QLabel>(&dialog, "label_Shutdown_Alert");
        QTranslator russian;
        QVERIFY(russian.load(QStringLiteral(":/KVRGBMemoryControl/VELTRIMA_ru.qm")));
        QCoreApplication::installTranslator(&russian);
        const QString cancelRu = QCoreApplication::translate("Widget_Shutdown", "Cancel");
        QVERIFY(cancelRu != QStringLiteral("Cancel"));
        QTRY_COMPARE(cancel->text(), cancelRu);
        QVERIFY(text->text().contains(QStringLiteral("29")));
        QVERIFY(text->text().startsWith(QCoreApplication::translate("Widget_Shutdown", "Memory_Shutdown_Content_1")));
        QCoreApplication::removeTranslator(&russian);
        QTRY_COMPARE(cancel->text(), QStringLiteral("Cancel"));
        dialog.stopCountdown();
    }
};

QTEST_MAIN(tst_SettingsView)
#include "tst_settings_view.moc"
