#include "Lighting_View.h"
#include "Main_View.h"
#include "Memory_RGB_View.h"
#include "ProgramState.h"
#include "UiResources.h"
#include "LightModeTable.h"
#include "Widget_Light_Mode_View.h"

#include "TestEnvironment.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTranslator>
#include <QWheelEvent>
#include <QtTest>

#include <array>
#include <memory>

namespace {

struct LightingCall
{
    int module, mode, colorMode, speed;
    bool turnOff;
    bool operator==(const LightingCall &o) const
    {
        return module == o.module && mode == o.mode && colorMode == o.colorMode && speed == o.speed
            && turnOff == o.turnOff;
    }
};

struct ColorCall
{
    int module;
    std::array<COLORREF, kDrivenLeds> rgb;
    COLORREF single;
    std::array<float, kDrivenLeds> bright;
    float singleBright;
};

// Records what the page would send to the channel.
struct Recorder
{
    QList<LightingCall> lighting;
    QList<ColorCall> colours;
    QList<std::array<int, kModuleCount>> slotOrders;

    explicit Recorder(Lighting_View &page)
    {
        QObject::connect(&page, &Lighting_View::changeLightMode, [this](int k, int m, int c, int s, bool off) {
            lighting.append({k, m, c, s, off});
        });
        QObject::connect(&page, &Lighting_View::changeColor,
                         [this](int k, COLORREF *rgb, COLORREF single, float *bright, float singleBright) {
                             ColorCall call{k, {}, single, {}, singleBright};
                             std::copy_n(rgb, kDrivenLeds, call.rgb.begin());
                             std::copy_n(bright, kDrivenLeds, call.bright.begin());
                             colours.append(call);
                         });
        QObject::connect(&page, &Lighting_View::changeMemorySlotNumber, [this](int count, int *order) {
            QCOMPARE(count, kModuleCount);
            std::array<int, kModuleCount> copy{};
            std::copy_n(order, kModuleCount, copy.begin());
            slotOrders.append(copy);
        });
    }
};

QComboBox *colourBox(Lighting_View &page)
{
    return page.findChild<QComboBox *>(QStringLiteral("comboBox_ColorMode"));
}

QComboBox *speedBox(Lighting_View &page)
{
    return page.findChild<QComboBox *>(QStringLiteral("comboBox_LightSpeed"));
}

template <typename T>
T *child(Lighting_View &page, const char *name)
{
    return page.findChild<T *>(QLatin1String(name));
}

// The drop-down's visible entries with the numbers they send.
QList<QPair<QString, int>> entries(QComboBox *box)
{
    QList<QPair<QString, int>> list;
    for (int i = 0; i < box->count() - 1; ++i)
        list.append({box->itemText(i), box->itemData(i, Qt::UserRole).toInt()});
    return list;
}

void mouse(QWidget *w, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, w->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The press goes to the widget under the pointer, as a real click would, and travels up
// to the page only if no child takes it; the page then holds the mouse for the drag.
void drag(QWidget *w, QPoint from, QPoint to)
{
    QWidget *target = w->childAt(from);
    if (!target)
        target = w;
    mouse(target, QEvent::MouseButtonPress, target->mapFrom(w, from));
    mouse(w, QEvent::MouseMove, (from + to) / 2);
    mouse(w, QEvent::MouseMove, to);
    mouse(w, QEvent::MouseButtonRelease, to);
}

QPoint centreInPage(Lighting_View &page, QWidget *w)
{
    return w->mapTo(&page, w->rect().center());
}

void clickModule(Lighting_View &page, int k)
{
    QTest::mouseClick(page.picture(k)->moduleButton(), Qt::LeftButton);
}

std::unique_ptr<Lighting_View> makePage(int slotCount, int memoryCount)
{
    auto page = std::make_unique<Lighting_View>();
    page->setSlotNumber(slotCount, memoryCount);
    page->show();
    if (!QTest::qWaitForWindowExposed(page.get()))
        qWarning("page not exposed");
    return page;
}

void clearSelection(Lighting_View &page)
{
    for (int k = 0; k < kModuleCount; ++k) {
        if (page.picture(k)->isSelected())
            clickModule(page, k);
    }
}

} // namespace

class TestLighting : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void initTestCase()
    {
        initUiResources();
        qRegisterMetaType<COLORREF>("COLORREF");
        ProgramState::currentLanguage = 0;
    }

    void init()
    {
        ProgramState::SelectMemoryIndex = 0;
        ProgramState::currentLanguage = 0;
    }

    void controlsPerLightMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<bool>("colourEnabled");
        QTest::addColumn<bool>("rgbEnabled");
        QTest::addColumn<bool>("speedEnabled");
        QTest::newRow("0 Flow") << 0 << QStringList{"OFF"} << QList<int>{0} << false << false << true;
        QTest::newRow("2 Ripple") << 2 << QStringList{"Single", "Random"} << QList<int>{0, 3} << true << true << true;
        QTest::newRow("3 Blink") << 3 << QStringList{"RGB", "Single", "Random"} << QList<int>{0, 1, 3} << true << true
                                 << true;
        QTest::newRow("5 Wave") << 5 << QStringList{"RGB"} << QList<int>{0} << false << true << true;
        QTest::newRow("6 Static") << 6 << QStringList{"RGB", "Single"} << QList<int>{0, 1} << true << true << false;
        QTest::newRow("14 Temp.") << 14 << QStringList{"OFF"} << QList<int>{0} << false << false << false;
        QTest::newRow("25 Heartbeat") << 25 << QStringList{"RGB", "Single", "Random"} << QList<int>{0, 1, 3} << true
                                      << true << true;
        QTest::newRow("31 Clock") << 31 << QStringList{"OFF"} << QList<int>{0} << false << false << false;
        QTest::newRow("32 Rain") << 32 << QStringList{"Single"} << QList<int>{0} << false << true << true;
        QTest::newRow("33 Fireworks") << 33 << QStringList{"RGB", "Single"} << QList<int>{0, 1} << true << true << true;
    }

    void controlsPerLightMode()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, numbers);
        QFETCH(bool, colourEnabled);
        QFETCH(bool, rgbEnabled);
        QFETCH(bool, speedEnabled);
        auto page = makePage(4, 4);
        page->setLighting(0, mode, 0, SpeedSlow, false);

        QComboBox *colour = colourBox(*page);
        QList<QPair<QString, int>> expected;
        for (int i = 0; i < texts.size(); ++i)
            expected.append({texts.at(i), numbers.at(i)});
        QCOMPARE(entries(colour), expected);
        // The hidden empty entry at the end marks a selection without a common value.
        QCOMPARE(colour->itemText(colour->count() - 1), QString());
        QCOMPARE(speedBox(*page)->count(), 5);
        QCOMPARE(speedBox(*page)->itemText(4), QString());
        QCOMPARE(colour->isEnabled(), colourEnabled);
        QCOMPARE(child<QSlider>(*page, "slider_R_Value")->isEnabled(), rgbEnabled);
        QCOMPARE(child<QLineEdit>(*page, "lineEdit_B_Value")->isEnabled(), rgbEnabled);
        QCOMPARE(child<QSlider>(*page, "slider_Light")->isEnabled(), rgbEnabled);
        QCOMPARE(speedBox(*page)->isEnabled(), speedEnabled);
        // A fixed-speed mode shows "Normal" whatever speed the module has stored.
        QCOMPARE(speedBox(*page)->currentText(), speedEnabled ? QStringLiteral("Slow") : QStringLiteral("Normal"));
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), page->lightModeMap().value(mode));
    }

    // Every mode the channel can hold, as the user sees it: colour entries with their
    // numbers ("text=number"), then C/c colour drop-down on/off, L/l R/G/B and brightness,
    // S/s speed drop-down.
    void controlsForEveryMode()
    {
        const char *const expected[LightModeTable::kModeCount] = {
            /* 0 */ "OFF=0 c l S",     /* 1 */ "OFF=0 c l S",        /* 2 */ "Single=0,Random=3 C L S",
            /* 3 */ "RGB=0,Single=1,Random=3 C L S",                 /* 4 */ "RGB=0,Single=1,Random=3 C L S",
            /* 5 */ "RGB=0 c L S",     /* 6 */ "RGB=0,Single=1 C L s", /* 7 */ "OFF=0 c l s",
            /* 8 */ "RGB=0,Single=1 C L s", /* 9 */ "RGB=0,Single=1 C L s", /* 10 */ "RGB=0,Single=1 C L s",
            /* 11 */ "RGB=0,Single=1 C L s", /* 12 */ "RGB=0,Single=1 C L s", /* 13 */ "RGB=0,Single=1 C L s",
            /* 14 */ "OFF=0 c l s",    /* 15 */ "RGB=0,Single=1 C L S", /* 16 */ "OFF=0 c l s",
            /* 17 */ "RGB=0,Single=1 C L s", /* 18 */ "RGB=0,Single=1 C L s", /* 19 */ "OFF=0 c l s",
            /* 20 */ "OFF=0 c l s",    /* 21 */ "RGB=0,Single=1 C L S", /* 22 */ "OFF=0 c l s",
            /* 23 */ "OFF=0 c l s",    /* 24 */ "RGB=0,Single=1 C L S",
            /* 25 */ "RGB=0,Single=1,Random=3 C L S",                /* 26 */ "RGB=0,Single=1 C L S",
            /* 27 */ "RGB=0,Single=1 C L S", /* 28 */ "RGB=0,Single=1 C L S", /* 29 */ "OFF=0 c l s",
            /* 30 */ "OFF=0 c l s",    /* 31 */ "OFF=0 c l s",       /* 32 */ "Single=0 c L S",
            /* 33 */ "RGB=0,Single=1 C L S", /* 34 */ "RGB=0,Single=1 C L S", /* 35 */ "RGB=0,Single=1 C L S",
        };
        auto page = makePage(4, 4);
        clickModule(*page, 0);
        for (int mode = 0; mode < LightModeTable::kModeCount; ++mode) {
            // Through the pop-up's path, which rebuilds the controls for the chosen mode.
            page->currentLightModeIndex(mode);
            QComboBox *colour = colourBox(*page);
            QStringList list;
            for (const auto &e : entries(colour))
                list.append(QStringLiteral("%1=%2").arg(e.first).arg(e.second));
            const QString shown = list.join(QLatin1Char(','))
                + (colour->isEnabled() ? QStringLiteral(" C") : QStringLiteral(" c"))
                + (child<QSlider>(*page, "slider_G_Value")->isEnabled() ? QStringLiteral(" L") : QStringLiteral(" l"))
                + (speedBox(*page)->isEnabled() ? QStringLiteral(" S") : QStringLiteral(" s"));
            QCOMPARE(shown, QString::fromLatin1(expected[mode]));
            QCOMPARE(child<QSlider>(*page, "slider_Light")->isEnabled(), shown.contains(QStringLiteral(" L")));
            QCOMPARE(child<QLineEdit>(*page, "lineEdit_R_Value")->isEnabled(), shown.contains(QStringLiteral(" L")));
            if (!speedBox(*page)->isEnabled())
                QCOMPARE(speedBox(*page)->currentText(), QStringLiteral("Normal"));
            // The pictures' looks do not depend on the mode.
            QCOMPARE(page->colorModeStandMap(),
                     (QMap<QString, int>{{"RGB", 0}, {"Single", 1}, {"OFF", 2}, {"Random", 3}}));
        }
    }

    void popupListsTheTwentySixModesInFiveRows()
    {
        Widget_Light_Mode_View popup;
        const QList<QPushButton *> buttons = popup.modeButtons();
        QCOMPARE(buttons.size(), 26);
        QCOMPARE(popup.findChildren<QPushButton *>().size(), 26);
        const QList<int> listed = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 14, 15, 17, 18, 19, 21, 24, 25, 26, 27, 28, 30, 31, 32, 33, 34};
        auto *grid = qobject_cast<QGridLayout *>(popup.layout());
        QVERIFY(grid);
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->columnCount(), 6);
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons.at(i)->objectName().toInt(), listed.at(i));
            QCOMPARE(buttons.at(i)->focusPolicy(), Qt::NoFocus);
            int row = -1, column = -1, rs = 0, cs = 0;
            grid->getItemPosition(grid->indexOf(buttons.at(i)), &row, &column, &rs, &cs);
            QCOMPARE(row, i % 5);
            QCOMPARE(column, i / 5);
        }
        QSignalSpy spy(&popup, &Widget_Light_Mode_View::selectLightMode);
        popup.show();
        QTest::mouseClick(buttons.at(21), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 30);
    }

    void modeNamesComeFromTheEnglishCatalogue()
    {
        // The page's catalogue is merged into the program's English one; built alone it
        // has a catalogue of its own.
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/KVRGBMemory/VELTRIMA_en.qm")));
        if (translator.translate("Lighting_View", "Ripple").isEmpty())
            QVERIFY(translator.load(QStringLiteral(":/KVRGBMemory/VELTRIMA_lighting_en.qm")));
        QCoreApplication::installTranslator(&translator);
        auto page = makePage(4, 4);
        QCOMPARE(page->lightModeMap().size(), 36);
        QCOMPARE(page->lightModeMap().value(2), QStringLiteral("Radar"));
        QCOMPARE(page->lightModeMap().value(7), QStringLiteral("Copy Color"));
        QCOMPARE(page->lightModeMap().value(16), QStringLiteral("KV"));
        QCOMPARE(page->lightModeMap().value(30), QStringLiteral("Player"));
        page->setLighting(0, 2, 0, 2, false);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), QStringLiteral("Radar"));
        // A number outside the table shows no name.
        page->setLighting(0, 77, 0, 2, false);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), QString());
        QCoreApplication::removeTranslator(&translator);
    }

    void mixedModesKeepEachModulesValuesOnApply()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        page->setLighting(0, 3, ColorModeSingle, SpeedFast, false);
        page->setLighting(1, 6, ColorModeRGB, SpeedNormal, true);
        clickModule(*page, 0);
        clickModule(*page, 1);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), QString());
        QCOMPARE(colourBox(*page)->currentText(), QString());
        QCOMPARE(speedBox(*page)->currentText(), QString());
        QVERIFY(!colourBox(*page)->isEnabled());
        QVERIFY(!speedBox(*page)->isEnabled());

        // A refresh from the channel must not bring a mode back that the selection lacks.
        page->setLighting(0, 3, ColorModeSingle, SpeedFast, false);
        page->setLighting(1, 6, ColorModeRGB, SpeedNormal, true);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), QString());

        child<QPushButton>(*page, "btn_Apply")->released();
        QCOMPARE(rec.lighting, (QList<LightingCall>{{0, 3, 1, 1, false}, {1, 6, 0, 2, true}}));
        QCOMPARE(rec.colours.size(), 2);
        QCOMPARE(rec.colours.at(0).module, 0);
        QCOMPARE(rec.colours.at(1).module, 1);
    }

    void sameModeMixedColoursKeepOwnColourModes()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        page->setLighting(0, 3, ColorModeSingle, SpeedFast, false);
        page->setLighting(2, 3, ColorModeRandom, SpeedFast, false);
        clickModule(*page, 0);
        clickModule(*page, 2);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), page->lightModeMap().value(3));
        QCOMPARE(colourBox(*page)->currentText(), QString());
        QVERIFY(colourBox(*page)->isEnabled());
        QCOMPARE(speedBox(*page)->currentText(), QStringLiteral("Fast"));
        speedBox(*page)->setCurrentIndex(SpeedSlow);
        page->slotApply();
        QCOMPARE(rec.lighting, (QList<LightingCall>{{0, 3, 1, 3, false}, {2, 3, 3, 3, false}}));
    }

    void applySendsColoursOfThePictures()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        std::array<COLORREF, kLedSlots> rgb{};
        std::array<float, kLedSlots> bright{};
        for (int i = 0; i < kLedSlots; ++i) {
            rgb[i] = rgbColor(i * 10, 0, 0);
            bright[i] = 0.5f;
        }
        page->setRGB(1, rgb.data(), rgbColor(1, 2, 3), bright.data(), 0.25f);
        page->setLighting(1, 6, ColorModeRGB, SpeedNormal, false);
        clickModule(*page, 1);
        // The slider shows the first LED's brightness; Apply writes it to the checked LEDs.
        QCOMPARE(child<QSlider>(*page, "slider_Light")->value(), 5);
        child<QSlider>(*page, "slider_Light")->setValue(7);
        page->slotApply();
        QCOMPARE(rec.colours.size(), 1);
        const ColorCall &c = rec.colours.first();
        QCOMPARE(c.module, 1);
        for (int i = 0; i < kDrivenLeds; ++i) {
            QCOMPARE(c.rgb[i], rgb[i]);
            QCOMPARE(c.bright[i], 0.7f);
        }
        QCOMPARE(c.single, rgbColor(1, 2, 3));
        QCOMPARE(c.singleBright, 0.25f);
        QCOMPARE(rec.lighting, (QList<LightingCall>{{1, 6, 0, 2, false}}));
    }

    void rippleAndBlinkSendTheirColourNumbers()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        page->setLighting(0, 6, ColorModeRGB, SpeedNormal, false);
        clickModule(*page, 0);
        page->currentLightModeIndex(2);
        colourBox(*page)->setCurrentIndex(0); // "Single"
        page->slotApply();
        colourBox(*page)->setCurrentIndex(1); // "Random"
        page->slotApply();
        page->currentLightModeIndex(3);
        colourBox(*page)->setCurrentIndex(2); // "Random"
        page->slotApply();
        QCOMPARE(rec.lighting, (QList<LightingCall>{{0, 2, 0, 2, false}, {0, 2, 3, 2, false}, {0, 3, 3, 2, false}}));
        // The picture looks like the entry shown: Random greys the LEDs.
        QCOMPARE(page->picture(0)->colorMode(), int(ColorModeRandom));
    }

    void pickedModeWinsOverTheSelectionsModes()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        page->setLighting(0, 3, 1, 1, false);
        page->setLighting(1, 6, 0, 2, false);
        clickModule(*page, 0);
        clickModule(*page, 1);
        page->currentLightModeIndex(33);
        page->slotApply();
        QCOMPARE(rec.lighting.size(), 2);
        QCOMPARE(rec.lighting.at(0).mode, 33);
        QCOMPARE(rec.lighting.at(1).mode, 33);
    }

    void switchTurnsSelectedModulesOff()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        clickModule(*page, 2);
        page->slot_TurnOn_Switch(false);
        QCOMPARE(child<QLabel>(*page, "label_TurnLight")->text(), QStringLiteral("OFF"));
        page->slotApply();
        QCOMPARE(rec.lighting.size(), 1);
        QVERIFY(rec.lighting.first().turnOff);
    }

    void brightnessOnlyFromTheUsersMoves()
    {
        auto page = makePage(4, 4);
        QSignalSpy spy(page.get(), &Lighting_View::changeBright);
        std::array<COLORREF, kLedSlots> rgb{};
        std::array<float, kLedSlots> bright{};
        bright.fill(0.3f);
        page->setRGB(0, rgb.data(), 0, bright.data(), 1.0f);
        page->setLighting(0, 6, 0, 2, false);
        QCOMPARE(child<QSlider>(*page, "slider_Light")->value(), 3);
        QCOMPARE(spy.count(), 0);
        child<QSlider>(*page, "slider_Light")->setValue(3 + 4);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toFloat(), 0.7f);
    }

    void defaultTouchesSelectedModulesOnly()
    {
        auto page = makePage(4, 4);
        std::array<COLORREF, kLedSlots> rgb{};
        rgb.fill(rgbColor(1, 1, 1));
        std::array<float, kLedSlots> bright{};
        bright.fill(0.2f);
        for (int k = 0; k < 2; ++k)
            page->setRGB(k, rgb.data(), 0, bright.data(), 0.2f);
        page->setLighting(0, 3, ColorModeRGB, SpeedSlow, false);
        clickModule(*page, 0);
        QCOMPARE(speedBox(*page)->currentText(), QStringLiteral("Slow"));
        child<QSlider>(*page, "slider_Light")->setValue(4);
        page->slotDefault();
        QCOMPARE(speedBox(*page)->currentText(), QStringLiteral("Normal"));
        QCOMPARE(child<QSlider>(*page, "slider_Light")->value(), 10);
        QCOMPARE(page->picture(0)->rgb(), Memory_RGB_View::kDefaultColours);
        QCOMPARE(page->picture(0)->bright()[3], 1.0f);
        QCOMPARE(page->picture(1)->rgb()[0], rgbColor(1, 1, 1));
        QCOMPARE(page->picture(1)->bright()[0], 0.2f);
    }

    void reorderSwapThenApply()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        child<QPushButton>(*page, "btn_Edit")->released();
        QVERIFY(page->isEditing());
        QVERIFY(page->editCancelButton()->isVisible());
        for (QPushButton *row : page->findChildren<QPushButton *>(QStringLiteral("btn_SelectHorizontal")))
            QVERIFY(!row->isEnabled());
        // Channel slot updates wait until the reordering is over.
        int other[kModuleCount] = {7, 6, 5, 4, 3, 2, 1, 0};
        page->setMemorySlotNumber(kModuleCount, other);
        QCOMPARE(page->picture(0)->slotNumber(), 0);

        // Picked up by its top, where the number button lies behind the picture.
        const QPoint top = page->picture(0)->mapTo(page.get(), QPoint(15, 15));
        drag(page.get(), top, centreInPage(*page, page->picture(2)));
        QCOMPARE(page->picture(0)->slotNumber(), 2);
        QCOMPARE(page->picture(2)->slotNumber(), 0);
        QVERIFY(!page->picture(0)->isHighlighted() && !page->picture(2)->isHighlighted());
        child<QPushButton>(*page, "btn_Edit_Apply")->released();
        QVERIFY(!page->isEditing());
        QCOMPARE(rec.slotOrders.size(), 1);
        QCOMPARE(rec.slotOrders.first(), (std::array<int, kModuleCount>{2, 1, 0, 3, 4, 5, 6, 7}));
        QTRY_VERIFY(page->picture(0)->x() > page->picture(2)->x());
    }

    void reorderCancelRestores()
    {
        auto page = makePage(8, 8);
        Recorder rec(*page);
        const int x0 = page->picture(0)->geometry().x();
        child<QPushButton>(*page, "btn_Edit")->released();
        drag(page.get(), centreInPage(*page, page->picture(0)), centreInPage(*page, page->picture(5)));
        QCOMPARE(page->picture(0)->slotNumber(), 5);
        page->editCancelButton()->released();
        QVERIFY(rec.slotOrders.isEmpty());
        QCOMPARE(page->picture(0)->slotNumber(), 0);
        QCOMPARE(page->picture(5)->slotNumber(), 5);
        QVERIFY(child<QPushButton>(*page, "btn_Edit")->isVisible());
        QVERIFY(!page->editCancelButton()->isVisible());
        for (QPushButton *row : page->findChildren<QPushButton *>(QStringLiteral("btn_SelectHorizontal")))
            QVERIFY(row->isEnabled());
        QVERIFY(page->picture(0)->isEnabled());
        QTRY_COMPARE(page->picture(0)->geometry().x(), x0);
    }

    void leavingThePageCancelsTheReordering()
    {
        Main_View window;
        window.setSlotNumber(4, 4);
        window.show();
        window.slot_show_Lighting();
        Lighting_View *page = window.lightingView();
        QVERIFY(page);
        int order[kModuleCount] = {0, 1, 2, 3, 4, 5, 6, 7};
        emit window.setMemorySlotNumber(kModuleCount, order);
        page->slotEdit();
        drag(page, centreInPage(*page, page->picture(1)), centreInPage(*page, page->picture(3)));
        QCOMPARE(page->picture(1)->slotNumber(), 3);
        window.slot_show_Info();
        QVERIFY(!page->isEditing());
        QCOMPARE(page->picture(1)->slotNumber(), 1);
        QCOMPARE(page->picture(3)->slotNumber(), 3);
    }

    void modeButtonOpensAndClosesThePopup()
    {
        auto page = makePage(4, 4);
        QApplication::setActiveWindow(page.get());
        auto *popup = page->findChild<Widget_Light_Mode_View *>();
        QVERIFY(popup && popup->isHidden());
        QTest::mouseClick(child<QPushButton>(*page, "btn_LightMode"), Qt::LeftButton);
        QVERIFY(popup->isVisible());
        QTRY_VERIFY(popup->hasFocus());
        QTest::mouseClick(child<QPushButton>(*page, "btn_LightMode"), Qt::LeftButton);
        QVERIFY(popup->isHidden());
        // A press between its buttons keeps it open; a click on the page closes it.
        QTest::mouseClick(child<QPushButton>(*page, "btn_LightMode"), Qt::LeftButton);
        QTRY_VERIFY(popup->hasFocus());
        QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QVERIFY(popup->isVisible());
        QTest::mouseClick(page.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
        QVERIFY(popup->isHidden());
        // Choosing a mode closes it and shows the mode.
        QTest::mouseClick(child<QPushButton>(*page, "btn_LightMode"), Qt::LeftButton);
        QTest::mouseClick(popup->findChild<QPushButton *>(QStringLiteral("21")), Qt::LeftButton);
        QVERIFY(popup->isHidden());
        QCOMPARE(page->selectedLightMode(), 21);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), page->lightModeMap().value(21));
    }

    // Without a mouse: Tab reaches the mode button, Space opens the list, the arrows move
    // through its columns, Return picks, Escape closes; the focus comes back each time.
    void keyboardPicksAMode()
    {
        auto page = makePage(4, 4);
        QApplication::setActiveWindow(page.get());
        auto *popup = page->findChild<Widget_Light_Mode_View *>();
        auto *opener = child<QPushButton>(*page, "btn_LightMode");
        QVERIFY(opener->focusPolicy() & Qt::TabFocus);
        opener->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(opener->hasFocus());

        QTest::keyClick(opener, Qt::Key_Space);
        QVERIFY(popup->isVisible());
        QTRY_VERIFY(popup->hasFocus());
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(popup, key);
        // The first arrow lands on the first mode: row 1 of column 1 is the seventh.
        const int expected = popup->modeButtons().at(1 + Widget_Light_Mode_View::kRows)->objectName().toInt();
        QTest::keyClick(popup, Qt::Key_Return);
        QVERIFY(popup->isHidden());
        QCOMPARE(page->selectedLightMode(), expected);
        QTRY_VERIFY(opener->hasFocus());

        QTest::keyClick(opener, Qt::Key_Space);
        QTRY_VERIFY(popup->hasFocus());
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Escape);
        QVERIFY(popup->isHidden());
        QCOMPARE(page->selectedLightMode(), expected);
        QTRY_VERIFY(opener->hasFocus());
    }

    void slotOrderFromChannel()
    {
        auto page = makePage(4, 4);
        int order[kModuleCount] = {3, 2, 1, 0, 4, 5, 6, 7};
        page->setMemorySlotNumber(kModuleCount, order);
        QCOMPARE(page->picture(0)->slotNumber(), 3);
        // The module in slot 0 becomes the selected one.
        QVERIFY(page->picture(3)->isSelected());
        QCOMPARE(ProgramState::SelectMemoryIndex, 3);
        QVERIFY(page->picture(3)->x() < page->picture(0)->x());

        // A broken order from the channel falls back to 0..7.
        clearSelection(*page);
        int broken[kModuleCount] = {0, 0, 9, -1, 4, 5, 6, 7};
        page->setMemorySlotNumber(kModuleCount, broken);
        for (int k = 0; k < kModuleCount; ++k)
            QCOMPARE(page->picture(k)->slotNumber(), k);
        page->setMemorySlotNumber(kModuleCount, nullptr);
    }

    void rowsSelectWholeModulesInSingleColour()
    {
        auto page = makePage(4, 4);
        page->setLighting(0, 6, ColorModeSingle, SpeedNormal, false);
        page->setLighting(1, 6, ColorModeRGB, SpeedNormal, false);
        const QList<QPushButton *> rows = page->findChildren<QPushButton *>(QStringLiteral("btn_SelectHorizontal"));
        QCOMPARE(rows.size(), 5);
        QPushButton *rowB = rows.at(1);
        QCOMPARE(rowB->text(), QStringLiteral("B"));
        QTest::mouseClick(rowB, Qt::LeftButton);
        for (int led = 0; led < kDrivenLeds; ++led) {
            QVERIFY(page->picture(0)->isLedChecked(led));
            QCOMPARE(page->picture(1)->isLedChecked(led), led == 1);
        }
        QVERIFY(page->picture(0)->isSelected());
        QVERIFY(page->picture(1)->isSelected());
        QVERIFY(page->findChildren<QPushButton *>(QStringLiteral("btn_Slots")).at(1)->isChecked());
        QTest::mouseClick(rowB, Qt::LeftButton);
        QVERIFY(!page->picture(0)->isSelected());
        QVERIFY(!page->picture(1)->isSelected());
    }

    void rubberBandSelectsTheSameInBothDirections()
    {
        auto page = makePage(4, 4);
        page->setLighting(3, 6, ColorModeSingle, SpeedNormal, false);
        // Around LEDs 1 and 2 of modules 0 and 1, and LED 1 of module 3 (single colour).
        const QPoint led1 = page->picture(0)->ledButton(1)->mapTo(page.get(), QPoint(0, 0));
        const QPoint led2 = page->picture(1)->ledButton(2)->mapTo(page.get(), QPoint(0, 0));
        const QPoint a(led1.x() - 3, led1.y() - 3);
        const QPoint b(led2.x() + 3, led2.y() + 3);

        auto selection = [&page] {
            QList<int> picked;
            for (int k = 0; k < kModuleCount; ++k) {
                for (int led = 0; led < kDrivenLeds; ++led) {
                    if (page->picture(k)->isLedChecked(led))
                        picked.append(k * 10 + led);
                }
            }
            return picked;
        };
        drag(page.get(), a, b);
        const QList<int> forward = selection();
        QCOMPARE(forward, (QList<int>{1, 2, 11, 12}));
        QVERIFY(page->picture(0)->isSelected());
        QVERIFY(!page->picture(2)->isSelected());

        drag(page.get(), b, a);
        QCOMPARE(selection(), forward);
        drag(page.get(), QPoint(b.x(), a.y()), QPoint(a.x(), b.y()));
        QCOMPARE(selection(), forward);

        // A module in single colour takes all five LEDs.
        const QPoint led3 = page->picture(3)->ledButton(1)->mapTo(page.get(), QPoint(0, 0));
        drag(page.get(), led3 - QPoint(3, 3), led3 + QPoint(3, 3));
        QCOMPARE(selection(), (QList<int>{30, 31, 32, 33, 34}));
        QVERIFY(page->picture(3)->isSelected());
    }

    void profileButtons()
    {
        auto page = makePage(4, 4);
        QSignalSpy spy(page.get(), &Lighting_View::select_Profile);
        auto *third = child<QPushButton>(*page, "btn_Profile2");
        QVERIFY(third);
        QCOMPARE(third->text(), QStringLiteral("Profile 3"));
        QCOMPARE(third->geometry(), QRect(10, 320 + 70, 80, 30));
        QTest::mouseClick(third, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        page->slot_setProfile(4);
        QVERIFY(child<QPushButton>(*page, "btn_Profile4")->isChecked());
        page->slot_setProfile(7);
        page->slot_setProfile(-1);
        QVERIFY(child<QPushButton>(*page, "btn_Profile4")->isChecked());
        // The left column is masked out only above the control panel.
        QVERIFY(page->mask().contains(QPoint(20, 400)));
        QVERIFY(!page->mask().contains(QPoint(20, 100)));
    }

    void fourSlotsTwoModules()
    {
        auto page = makePage(4, 2);
        for (int k = 0; k < kModuleCount; ++k)
            QCOMPARE(page->picture(k)->isVisible(), k < 4);
        QVERIFY(page->picture(1)->isLightingModule());
        QVERIFY(!page->picture(2)->isLightingModule());
        QVERIFY(!page->picture(3)->ledButton(0)->isVisible());
        QVERIFY(!page->picture(3)->moduleButton()->isCheckable());
        const QList<QPushButton *> numbers = page->findChildren<QPushButton *>(QStringLiteral("btn_Slots"));
        QCOMPARE(numbers.size(), 8);
        for (int k = 0; k < kModuleCount; ++k)
            QCOMPARE(numbers.at(k)->isVisible(), k < 4);
        QCOMPARE(child<QWidget>(*page, "widget_memory_Control")->geometry(), QRect(500, 20, 260, 295));
        // A greyed-out module can't be selected.
        clickModule(*page, 3);
        QVERIFY(!page->picture(3)->isSelected());

        page->setSlotNumber(8, 8);
        QCOMPARE(child<QWidget>(*page, "widget_memory_Control")->geometry(), QRect(380, 20, 500, 295));
        for (QPushButton *n : page->findChildren<QPushButton *>(QStringLiteral("btn_Slots")))
            QVERIFY(n->isVisible());
        // Counts from the channel are kept to 0..8.
        page->setSlotNumber(12, -3);
        QCOMPARE(page->slotCount(), 8);
        QCOMPARE(page->memoryCount(), 0);
    }

    void lineEditValidatorAndFocus()
    {
        auto page = makePage(4, 4);
        QSignalSpy spy(page.get(), &Lighting_View::pressRGB);
        auto *edit = child<QLineEdit>(*page, "lineEdit_G_Value");
        auto *slider = child<QSlider>(*page, "slider_G_Value");
        QCOMPARE(edit->text(), QStringLiteral("0"));
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("300"));
        QCOMPARE(edit->text(), QStringLiteral("30"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(slider->value(), 30);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<COLORREF>(), rgbColor(255, 30, 0));

        // Typed without Return and then left: dropped.
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("12"));
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(edit, &out);
        QCOMPARE(edit->text(), QStringLiteral("30"));
        QCOMPARE(slider->value(), 30);
        QCOMPARE(spy.count(), 1);

        // The slider writes its value into the edit on every change.
        slider->setValue(77);
        QCOMPARE(edit->text(), QStringLiteral("77"));

        // A click on the page's background, which takes no focus itself, drops the text too.
        QApplication::setActiveWindow(page.get());
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("12"));
        QVERIFY(!page->childAt(200, 200));
        QTest::mouseClick(page.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
        QVERIFY(!edit->hasFocus());
        QCOMPARE(edit->text(), QStringLiteral("77"));
        QCOMPARE(spy.count(), 1);
    }

    void paletteColourReachesSelectedLeds()
    {
        auto page = makePage(4, 4);
        page->setLighting(0, 6, ColorModeRGB, SpeedNormal, false);
        QTest::mouseClick(page->picture(0)->ledButton(2), Qt::LeftButton);
        page->receivePaletteValue(rgbColor(10, 20, 30));
        QCOMPARE(child<QLineEdit>(*page, "lineEdit_R_Value")->text(), QStringLiteral("10"));
        QCOMPARE(child<QSlider>(*page, "slider_B_Value")->value(), 30);
        QCOMPARE(page->picture(0)->rgb()[2], rgbColor(10, 20, 30));
        QVERIFY(page->picture(0)->rgb()[1] != rgbColor(10, 20, 30));
        QVERIFY(page->picture(1)->rgb()[2] != rgbColor(10, 20, 30));
    }

    // A slider moved by key, track click or mouse wheel, a number confirmed with Return and
    // a wheel pick all end the same way: the numbers, the LEDs and what Apply sends agree.
    void everyColourInputReachesLedsAndApply()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        page->setLighting(0, 6, ColorModeRGB, SpeedNormal, false);
        clickModule(*page, 0);
        QApplication::setActiveWindow(page.get());
        auto *r = child<QSlider>(*page, "slider_R_Value");
        auto *g = child<QSlider>(*page, "slider_G_Value");
        auto *b = child<QSlider>(*page, "slider_B_Value");
        auto shownByNumbers = [&page] {
            return rgbColor(child<QLineEdit>(*page, "lineEdit_R_Value")->text().toInt(),
                            child<QLineEdit>(*page, "lineEdit_G_Value")->text().toInt(),
                            child<QLineEdit>(*page, "lineEdit_B_Value")->text().toInt());
        };
        auto agree = [&](const char *how) {
            const COLORREF sliders = rgbColor(r->value(), g->value(), b->value());
            QVERIFY2(shownByNumbers() == sliders, how);
            for (int led = 0; led < kDrivenLeds; ++led) {
                QVERIFY2(page->picture(0)->rgb()[led] == sliders, how);
                QVERIFY2(page->picture(0)->ledButton(led)->styleSheet().contains(
                             QStringLiteral("rgb(%1,%2,%3)").arg(r->value()).arg(g->value()).arg(b->value())),
                         how);
            }
        };

        g->setFocus();
        QTRY_VERIFY(g->hasFocus());
        QTest::keyClick(g, Qt::Key_Right);
        QTest::keyClick(g, Qt::Key_Right);
        QCOMPARE(g->value(), 2);
        agree("keys");
        QTest::keyClick(g, Qt::Key_End);
        QCOMPARE(g->value(), 255);
        agree("End key");

        // A click on the track, away from the handle (B stands at 0, on the left).
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(b->width() - 5, b->height() / 2));
        QVERIFY(b->value() > 0);
        agree("track click");

        const QPoint middle(r->width() / 2, r->height() / 2);
        QWheelEvent wheel(middle, r->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(r, &wheel);
        QVERIFY(r->value() < 255);
        agree("mouse wheel");

        auto *edit = child<QLineEdit>(*page, "lineEdit_B_Value");
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("42"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(b->value(), 42);
        agree("number and Return");

        page->slotApply();
        QCOMPARE(rec.colours.size(), 1);
        for (int led = 0; led < kDrivenLeds; ++led)
            QCOMPARE(rec.colours.first().rgb[led], rgbColor(r->value(), 255, 42));
    }

    // Deselecting and reselecting a module shows its unapplied edit in the panel and on
    // its LEDs alike, and a colour picked then is what Apply sends.
    void reselectedModuleKeepsItsEditEverywhere()
    {
        auto page = makePage(4, 4);
        Recorder rec(*page);
        std::array<COLORREF, kLedSlots> rgb{};
        std::array<float, kLedSlots> bright{};
        rgb.fill(rgbColor(0, 0, 9));
        bright.fill(1.0f);
        page->setRGB(0, rgb.data(), rgbColor(255, 0, 0), bright.data(), 1.0f);
        page->setLighting(0, 6, ColorModeSingle, SpeedNormal, false);
        clickModule(*page, 0);
        QCOMPARE(page->picture(0)->colorMode(), int(ColorModeSingle));

        page->currentLightModeIndex(3); // Blink starts on "RGB": per-LED colours
        QCOMPARE(page->picture(0)->colorMode(), int(ColorModeRGB));
        clickModule(*page, 0);
        QVERIFY(!page->picture(0)->isSelected());
        clickModule(*page, 0);
        QVERIFY(page->picture(0)->isSelected());
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), page->lightModeMap().value(3));
        QCOMPARE(colourBox(*page)->currentText(), QStringLiteral("RGB"));
        QCOMPARE(page->picture(0)->colorMode(), int(ColorModeRGB));

        page->receivePaletteValue(rgbColor(0, 200, 0));
        for (int led = 0; led < kDrivenLeds; ++led)
            QCOMPARE(page->picture(0)->rgb()[led], rgbColor(0, 200, 0));
        page->slotApply();
        QCOMPARE(rec.lighting, (QList<LightingCall>{{0, 3, ColorModeRGB, SpeedNormal, false}}));
        QCOMPARE(rec.colours.size(), 1);
        for (int led = 0; led < kDrivenLeds; ++led)
            QCOMPARE(rec.colours.first().rgb[led], rgbColor(0, 200, 0));

        // The channel's values replace the edit on the LEDs as well as in the panel.
        page->setLighting(0, 6, ColorModeSingle, SpeedNormal, false);
        QCOMPARE(child<QPushButton>(*page, "btn_LightMode")->text(), page->lightModeMap().value(6));
        QCOMPARE(colourBox(*page)->currentText(), QStringLiteral("Single"));
        QCOMPARE(page->picture(0)->colorMode(), int(ColorModeSingle));
    }

    // The wheel, the R/G/B sliders, their numbers and the brightness slider look different
    // when the light mode makes its own colours.
    void disabledControlsLookDisabled()
    {
        auto page = makePage(4, 4);
        clickModule(*page, 0);
        const char *const names[] = {"RGB_Palette", "slider_G_Value", "lineEdit_G_Value", "slider_Light", "label_G"};
        auto shots = [&page, &names] {
            QList<QImage> images;
            for (const char *name : names)
                images.append(child<QWidget>(*page, name)->grab().toImage());
            return images;
        };
        page->currentLightModeIndex(6); // Static
        const QList<QImage> enabled = shots();
        page->currentLightModeIndex(0); // Flow makes its own colours
        QVERIFY(!child<QWidget>(*page, "RGB_Palette")->isEnabled());
        const QList<QImage> disabled = shots();
        for (int i = 0; i < enabled.size(); ++i)
            QVERIFY2(enabled.at(i) != disabled.at(i), names[i]);
        QCOMPARE(child<QWidget>(*page, "RGB_Palette")->cursor().shape(), Qt::ArrowCursor);
        page->currentLightModeIndex(6);
        QCOMPARE(child<QWidget>(*page, "RGB_Palette")->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(shots(), enabled);
    }

    void languageFontSizes()
    {
        auto page = makePage(4, 4);
        auto *label = child<QLabel>(*page, "label_colorMode");
        auto *button = child<QPushButton>(*page, "btn_Default");
        QCOMPARE(label->font().pixelSize(), 16);
        QCOMPARE(button->font().pixelSize(), 10);
        ProgramState::currentLanguage = LanguageGerman;
        page->updateLanguage_Lighting();
        QCOMPARE(label->font().pixelSize(), 13);
        QCOMPARE(button->font().pixelSize(), 8);
        ProgramState::currentLanguage = LanguageSimplifiedChinese;
        page->updateLanguage_Lighting();
        QCOMPARE(label->font().pixelSize(), 22);
        QCOMPARE(button->font().pixelSize(), 12);
        // An unknown language counts as English.
        ProgramState::currentLanguage = 42;
        page->updateLanguage_Lighting();
        QCOMPARE(label->font().pixelSize(), 16);
        QCOMPARE(button->font().pixelSize(), 10);
    }

    void previewBarsShowTheGivenColours()
    {
        auto page = makePage(4, 3);
        std::array<std::array<COLORREF, kLedSlots>, kModuleCount> frames{};
        QList<COLORREF *> list;
        const COLORREF five[kDrivenLeds] = {rgbColor(255, 0, 0), rgbColor(0, 255, 0), rgbColor(0, 0, 255),
                                            rgbColor(255, 255, 0), rgbColor(0, 255, 255)};
        for (int k = 0; k < kModuleCount; ++k) {
            std::copy_n(five, kDrivenLeds, frames[k].begin());
            list.append(frames[k].data());
        }
        list[1] = nullptr; // a missing array leaves that module as it was
        page->updatePreviewList(list);
        frames[0][0] = rgbColor(9, 9, 9); // the page copied the colours on receipt
        QCOMPARE(page->previewColours(0)[0], rgbColor(255, 0, 0));

        QCOMPARE(page->previewBox(), QRect(226, 53, 258, 252));
        QCOMPARE(page->previewBar(0), QRect(323, 55, 10, 240));
        QCOMPARE(page->previewBar(3), QRect(383, 55, 10, 240));
        const QImage shot = page->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        auto at = [&](int x, int y) { return shot.pixelColor(int(x * dpr), int(y * dpr)); };
        // Sampling a pixel's centre lands a hair past the gradient stop.
        auto near = [](const QColor &a, const QColor &b) {
            return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 && qAbs(a.blue() - b.blue()) <= 8;
        };
        const int x = page->previewBar(0).center().x();
        QVERIFY(near(at(x, 55 + 24), QColor(255, 0, 0)));   // stop 0.1: LED 0
        QVERIFY(near(at(x, 55 + 120), QColor(0, 0, 255)));  // stop 0.5: LED 2
        QVERIFY(near(at(x, 55 + 216), QColor(0, 255, 255))); // stop 0.9: LED 4
        // Position 3 is not a lighting module: solid grey.
        QCOMPARE(at(page->previewBar(3).center().x(), 55 + 120), QColor(80, 80, 80));

        page->setSlotNumber(8, 8);
        QCOMPARE(page->previewBox(), QRect(116, 53, 258, 252));
        QCOMPARE(page->previewBar(4), QRect(4 * 20 + 35 + 153, 55, 10, 240));
    }
};

QTEST_MAIN(TestLighting)
#include "tst_ui_lighting.moc"
