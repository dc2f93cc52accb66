// The lighting page inside the real window and base window, writing to the real channel
// library: what Apply, a profile click and a reordering leave in the channel.
#include "KVRGBMemory.h"
#include "Lighting_View.h"
#include "Main_View.h"
#include "Memory_RGB_View.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"

#include "TestEnvironment.h"

#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <array>
#include <memory>

namespace {

template <typename T>
T *child(QWidget &page, const char *name)
{
    return page.findChild<T *>(QLatin1String(name));
}

void clickModule(Lighting_View &page, int k)
{
    QTest::mouseClick(page.picture(k)->moduleButton(), Qt::LeftButton);
}

} // namespace

class TestLightingChannel : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QTemporaryDir m_folder;
    NamedMutex m_controlGuard{QStringLiteral("VELTRIMA Control.exe")};
    std::unique_ptr<KVRGBMemory> m_base;

    // Module 1's colours as stored by the control program: twelve distinct entries.
    std::array<COLORREF, kLedSlots> m_seedRgb{};
    std::array<float, kLedSlots> m_seedBright{};

private slots:
    void initTestCase()
    {
        const QString library = TestEnvironment::binDir() + QStringLiteral("/libVELTRIMA_Lighting.so");
        if (!QFile::exists(library))
            QSKIP("the channel library is not built");
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        // The program's folder: the channel library, but no control program to start.
        QVERIFY(QFile::link(library, m_folder.path() + QStringLiteral("/libVELTRIMA_Lighting.so")));
        m_base = std::make_unique<KVRGBMemory>(m_folder.path());
        QVERIFY(m_base->channel().isLoaded());
        m_base->updateTimer()->stop();
        m_base->previewTimer()->stop();

        LightingChannel &ch = m_base->channel();
        // The window takes edits only from a control program that runs and publishes:
        // the test holds its guard and publishes for it.
        QCOMPARE(m_controlGuard.tryCreate(), NamedMutex::Result::Created);
        HWData published = makeZeroHWData();
        published.reset();
        ch.SetValueHWData(&published);
        m_base->requestUpdateData();
        QVERIFY(m_base->controlWatch().isAnswering());
        for (int i = 0; i < kLedSlots; ++i) {
            m_seedRgb[i] = rgbColor(10 + i, 20 + i, 30 + i);
            m_seedBright[i] = 0.5f;
        }
        for (int k = 0; k < kModuleCount; ++k) {
            ch.SetValueRGB(k, m_seedRgb.data(), m_seedBright.data(), rgbColor(1, 2, 3), 0.5f, kLedSlots);
            ch.SetValueLighting(k, 3, ColorModeRGB, SpeedFast, false);
        }
        const int order[kModuleCount] = {0, 1, 2, 3, 4, 5, 6, 7};
        ch.SetSlotNumber(kModuleCount, order);

        Main_View *view = m_base->mainView();
        view->setSlotNumber(4, 4);
        view->slot_show_Lighting();
        QVERIFY(view->lightingView());
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }

    void cleanupTestCase() { m_base.reset(); }

    void applyWritesTheSelectedModuleOnly()
    {
        LightingChannel &ch = m_base->channel();
        Lighting_View &page = *m_base->mainView()->lightingView();
        // The module in slot 0 comes selected; the user picks module 1 instead.
        QVERIFY(page.picture(0)->isSelected());
        clickModule(page, 0);
        clickModule(page, 1);
        QVERIFY(page.picture(1)->isSelected() && !page.picture(0)->isSelected());

        page.currentLightModeIndex(6); // Static
        auto *colour = child<QComboBox>(page, "comboBox_ColorMode");
        QCOMPARE(colour->itemText(1), QStringLiteral("Single"));
        colour->setCurrentIndex(1);
        emit colour->activated(1);
        page.receivePaletteValue(rgbColor(255, 0, 0));
        child<QSlider>(page, "slider_Light")->setValue(6);
        child<QPushButton>(page, "btn_Apply")->released();

        QCOMPARE(ch.GetValueLightMode(1), 6);
        QCOMPARE(ch.GetValueColorMode(1), int(ColorModeSingle));
        QCOMPARE(ch.GetValueLightSpeed(1), int(SpeedNormal)); // Static runs at Normal
        QCOMPARE(ch.GetValueTurnOff(1), false);
        QCOMPARE(ch.GetValueSingleRGB(1), rgbColor(255, 0, 0));
        QCOMPARE(ch.GetValueSingleBright(1), 0.6f);
        const COLORREF *rgb = ch.GetValueRGB(1);
        const float *bright = ch.GetValueBright(1);
        QVERIFY(rgb && bright);
        // The page sends its five LEDs: the entries past them stay as the channel had them.
        for (int i = 0; i < kLedSlots; ++i) {
            QCOMPARE(rgb[i], m_seedRgb[i]);
            QCOMPARE(bright[i], m_seedBright[i]);
        }
        // The other modules are left alone.
        QCOMPARE(ch.GetValueLightMode(0), 3);
        QCOMPARE(ch.GetValueSingleRGB(0), rgbColor(1, 2, 3));
    }

    void perLedColoursReachTheChannel()
    {
        LightingChannel &ch = m_base->channel();
        Lighting_View &page = *m_base->mainView()->lightingView();
        clickModule(page, 1); // off
        QTest::mouseClick(page.picture(2)->ledButton(3), Qt::LeftButton);
        QVERIFY(page.picture(2)->isSelected() && !page.picture(1)->isSelected());
        page.receivePaletteValue(rgbColor(0, 0, 255));
        child<QSlider>(page, "slider_Light")->setValue(2);
        child<QPushButton>(page, "btn_Apply")->released();
        const COLORREF *rgb = ch.GetValueRGB(2);
        const float *bright = ch.GetValueBright(2);
        QVERIFY(rgb && bright);
        for (int i = 0; i < kDrivenLeds; ++i) {
            QCOMPARE(rgb[i], i == 3 ? rgbColor(0, 0, 255) : m_seedRgb[i]);
            QCOMPARE(bright[i], i == 3 ? 0.2f : 0.5f);
        }
        QCOMPARE(ch.GetValueLightMode(2), 3);
        QCOMPARE(ch.GetValueColorMode(2), int(ColorModeRGB));
        QCOMPARE(ch.GetValueLightSpeed(2), int(SpeedFast));
    }

    void profileAndReorderReachTheChannel()
    {
        LightingChannel &ch = m_base->channel();
        Lighting_View &page = *m_base->mainView()->lightingView();
        QTest::mouseClick(child<QPushButton>(page, "btn_Profile3"), Qt::LeftButton);
        QCOMPARE(ch.GetProfile(), 3);

        page.slotEdit();
        const QPoint from = page.picture(0)->mapTo(&page, page.picture(0)->rect().center());
        const QPoint to = page.picture(3)->mapTo(&page, page.picture(3)->rect().center());
        QTest::mousePress(&page, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, to, page.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&page, &move);
        QTest::mouseRelease(&page, Qt::LeftButton, Qt::NoModifier, to);
        child<QPushButton>(page, "btn_Edit_Apply")->released();
        const int expected[kModuleCount] = {3, 1, 2, 0, 4, 5, 6, 7};
        for (int k = 0; k < kModuleCount; ++k)
            QCOMPARE(ch.GetValueMemorySlotNumber(k), expected[k]);
    }
};

QTEST_MAIN(TestLightingChannel)
#include "tst_ui_lighting_channel.moc"
