#include "Memory_RGB_View.h"
#include "PaletteGeometry.h"
#include "Palette_draw_rect.h"
#include "RGB_Palette.h"
#include "UiResources.h"
#include "Widget_Select_Palette.h"

#include "TestEnvironment.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
void press(QWidget *w, QPoint pos)
{
    QMouseEvent e(QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

COLORREF imageColour(QPoint pixel)
{
    return PaletteGeometry::colourAt(PaletteGeometry::wheelImage(), pixel);
}
} // namespace

class TestPalette : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void initTestCase()
    {
        initUiResources();
        qRegisterMetaType<COLORREF>("COLORREF");
        QCOMPARE(PaletteGeometry::wheelImage().size(), QSize(176, 176));
    }

    void hitRadiusIsTruncatedDistance()
    {
        const QPoint c(88, 88);
        QVERIFY(PaletteGeometry::isOnWheel(c + QPoint(88, 0), c));
        QVERIFY(!PaletteGeometry::isOnWheel(c + QPoint(89, 0), c));
        QVERIFY(PaletteGeometry::isOnWheel(c + QPoint(62, 63), c)); // 88.4
        QVERIFY(!PaletteGeometry::isOnWheel(c + QPoint(-63, -63), c)); // 89.1
    }

    void wheelPicksAt88IgnoresAt89()
    {
        RGB_Palette wheel;
        QSignalSpy spy(&wheel, &RGB_Palette::pressRGB);
        press(&wheel, QPoint(88 - 89, 88));
        QCOMPARE(spy.count(), 0);
        press(&wheel, QPoint(88 - 88, 88));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<COLORREF>(), imageColour(QPoint(0, 88)));
        // 88 to the right or below lands on pixel 176, one past the image: read the edge.
        press(&wheel, QPoint(88, 88 + 88));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).value<COLORREF>(), imageColour(QPoint(88, 175)));
        press(&wheel, QPoint(100, 60));
        QCOMPARE(spy.at(2).at(0).value<COLORREF>(), imageColour(QPoint(100, 60)));
    }

    void popupWheelReadsWithItsOffset()
    {
        Widget_Select_Palette popup;
        QCOMPARE(popup.size(), QSize(200, 200));
        QSignalSpy spy(&popup, &Widget_Select_Palette::pressRGB);
        press(&popup, QPoint(100 + 89, 100));
        QCOMPARE(spy.count(), 0);
        press(&popup, QPoint(130, 70));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<COLORREF>(), imageColour(QPoint(118, 58)));
        press(&popup, QPoint(100 + 88, 100));
        QCOMPARE(spy.at(1).at(0).value<COLORREF>(), imageColour(QPoint(175, 88)));
        // The centre of the wheel is white in any wheel image of this kind: not the border.
        press(&popup, QPoint(100, 100));
        QCOMPARE(spy.at(2).at(0).value<COLORREF>(), imageColour(QPoint(88, 88)));
    }

    void popupHidesWhenFocusLeaves()
    {
        QWidget window;
        auto *popup = new Widget_Select_Palette(&window);
        auto *other = new QPushButton(&window);
        other->move(300, 0);
        window.resize(500, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        popup->setFocus();
        QTRY_VERIFY(popup->hasFocus());
        other->setFocus();
        QTRY_VERIFY(popup->isHidden());
    }

    void rubberBandClamps()
    {
        QWidget page;
        page.resize(914, 560);
        Palette_draw_rect band(&page);
        band.setGeometry(page.rect());
        QCOMPARE(band.endPointFor(QPoint(50, 5)), QPoint(300, 20));
        QCOMPARE(band.endPointFor(QPoint(950, 400)), QPoint(900, 320));
        QCOMPARE(band.endPointFor(QPoint(400, 200)), QPoint(400, 200));
        // Relative to a moved widget, the result is kept to at least 1.
        band.move(350, 30);
        QCOMPARE(band.endPointFor(QPoint(310, 25)), QPoint(1, 1));
        band.move(0, 0);

        band.setStart(QPoint(500, 100));
        band.setEnd(QPoint(400, 200));
        QVERIFY(band.strictlyInside(QPoint(450, 150)));
        QVERIFY(!band.strictlyInside(QPoint(400, 150))); // on the edge
        QVERIFY(!band.strictlyInside(QPoint(450, 100)));
        QCOMPARE(band.selectionRect(), QRect(QPoint(400, 100), QPoint(500, 200)));

        // Drawn whichever way the drag went: up-left of the start as well as down-right.
        auto filledAt = [&band](QPoint inside, QPoint outside) {
            const QImage shot = band.grab().toImage();
            const qreal dpr = shot.devicePixelRatio();
            return shot.pixelColor(int(inside.x() * dpr), int(inside.y() * dpr))
                != shot.pixelColor(int(outside.x() * dpr), int(outside.y() * dpr));
        };
        QVERIFY(filledAt(QPoint(450, 150), QPoint(600, 300)));
        band.setStart(QPoint(400, 100));
        band.setEnd(QPoint(500, 200));
        QVERIFY(filledAt(QPoint(450, 150), QPoint(600, 300)));
    }

    void ledLookAndSelection()
    {
        Memory_RGB_View m(0);
        m.setLed(1, rgbColor(1, 2, 3), 0.5f);
        QCOMPARE(m.ledButton(1)->styleSheet(),
                 QStringLiteral("QPushButton{background-color:rgb(1,2,3); border-radius:10px;margin:5 5 5 5;}"
                                "QPushButton:checked{background-color:rgb(1,2,3); border-radius:15px; margin: 0 0 0 0;}"));
        QSignalSpy spy(&m, &Memory_RGB_View::SelectMemSlot);

        // Per-LED colours: one LED at a time.
        QTest::mouseClick(m.ledButton(3), Qt::LeftButton);
        QVERIFY(m.isSelected());
        QVERIFY(m.isLedChecked(3) && !m.isLedChecked(2));
        QCOMPARE(spy.count(), 1);
        m.pressRGB(rgbColor(9, 8, 7));
        QCOMPARE(m.rgb()[3], rgbColor(9, 8, 7));
        QVERIFY(m.rgb()[2] != rgbColor(9, 8, 7));
        m.slot_ChangeBright(0.4f);
        QCOMPARE(m.bright()[3], 0.4f);
        QCOMPARE(m.bright()[2], 1.0f);

        // Single colour: all LEDs together; input changes the single colour.
        m.slot_ChangeColorMode(0, ColorModeSingle);
        for (int led = 0; led < kDrivenLeds; ++led)
            QVERIFY(m.isLedChecked(led));
        QTest::mouseClick(m.ledButton(0), Qt::LeftButton);
        QVERIFY(!m.isSelected());
        QTest::mouseClick(m.ledButton(4), Qt::LeftButton);
        for (int led = 0; led < kDrivenLeds; ++led)
            QVERIFY(m.isLedChecked(led));
        m.pressRGB(rgbColor(0, 0, 200));
        QCOMPARE(m.singleRGB(), rgbColor(0, 0, 200));
        QVERIFY(m.ledButton(2)->styleSheet().contains(QStringLiteral("rgb(0,0,200)")));

        // Off and random: grey, input ignored.
        m.slot_ChangeColorMode(0, ColorModeRandom);
        m.pressRGB(rgbColor(50, 50, 50));
        QCOMPARE(m.singleRGB(), rgbColor(0, 0, 200));
        QVERIFY(m.ledButton(2)->styleSheet().contains(QStringLiteral("rgb(100,100,100)")));
        // Another module's index changes nothing here.
        m.slot_ChangeColorMode(5, ColorModeRGB);
        QCOMPARE(m.colorMode(), int(ColorModeRandom));

        m.setReorderLook(true);
        QVERIFY(!m.ledButton(0)->isEnabled());
        m.setReorderLook(false);
        QVERIFY(m.ledButton(0)->isEnabled());
        m.setLightingModule(false);
        QVERIFY(!m.isSelected());
        QVERIFY(!m.ledButton(0)->isCheckable());
    }
};

QTEST_MAIN(TestPalette)
#include "tst_ui_lighting_palette.moc"
