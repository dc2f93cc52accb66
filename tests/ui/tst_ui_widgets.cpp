#include "Information_View.h"
#include "Lighting_View.h"
#include "Loading_View.h"
#include "Main_View.h"
#include "Noti_View.h"
#include "ProgramState.h"
#include "SwitchButton.h"

#include "MessagePresenter.h"
#include "NamedMutex.h"
#include "WindowEndpoint.h"
#include "WindowMessenger.h"

#include "TestEnvironment.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Runs the event loop until the program asks to quit or the time is up.
bool quitsWithin(int ms, const std::function<void()> &trigger)
{
    QEventLoop loop;
    ProgramState::setQuitHandler([&loop] { loop.exit(0); });
    QTimer::singleShot(ms, &loop, [&loop] { loop.exit(1); });
    QTimer::singleShot(0, &loop, trigger);
    const bool quit = loop.exec() == 0;
    ProgramState::setQuitHandler({});
    return quit;
}

QLabel *knobOf(SwitchButton &s)
{
    return s.findChild<QLabel *>();
}
} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
    }

    void switchClickFlipsAndReports()
    {
        SwitchButton s(47, 19);
        QSignalSpy spy(&s, &SwitchButton::sigClicked);
        QTest::mouseClick(&s, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QVERIFY(s.isChecked());
        QTRY_COMPARE(knobOf(s)->pos(), QPoint(47 - 19 - 1, 0));
    }

    void switchSecondClickDuringAnimationKeepsState()
    {
        SwitchButton s(47, 19);
        QSignalSpy spy(&s, &SwitchButton::sigClicked);
        QTest::mouseClick(&s, Qt::LeftButton);
        QTest::mouseClick(&s, Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), true);
        QVERIFY(s.isChecked());
        QTRY_COMPARE(knobOf(s)->pos(), QPoint(27, 0));
    }

    void switchSetFromDataStopsAnimation()
    {
        SwitchButton s(47, 19);
        QSignalSpy spy(&s, &SwitchButton::sigClicked);
        QTest::mouseClick(&s, Qt::LeftButton); // starts moving to ON
        s.setCheckedFromData(false);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!s.isChecked());
        QCOMPARE(knobOf(s)->pos(), QPoint(1, 0));
        QTest::qWait(150); // longer than the animation: nothing may move the knob back
        QCOMPARE(knobOf(s)->pos(), QPoint(1, 0));
    }

    void loadingSpinsAndStops()
    {
        QWidget parent;
        Loading_View overlay(&parent);
        QCOMPARE(overlay.angle(), 20);
        overlay.rotate();
        QCOMPARE(overlay.angle(), 40);
        for (int i = 0; i < 16; ++i)
            overlay.rotate();
        QCOMPARE(overlay.angle(), 0);

        parent.show();
        overlay.setLoading(true);
        QVERIFY(overlay.isVisible());
        const int before = overlay.angle();
        QTRY_VERIFY(overlay.angle() != before);
        overlay.setLoading(false);
        QVERIFY(!overlay.isVisible());
        const int stopped = overlay.angle();
        QTest::qWait(120);
        QCOMPARE(overlay.angle(), stopped);
    }

    void overlayRulesBySlotNumber()
    {
        Main_View view;
        view.show();
        Loading_View *overlay = view.loadingView();
        QVERIFY(overlay->isVisible());
        QVERIFY(overlay->isLoading());

        // Counts alone do not lift the overlay while the control program does not answer.
        view.showControlStatus(false, QStringLiteral("Starting"));
        view.setSlotNumber(4, 2);
        QVERIFY(overlay->isVisible());
        QCOMPARE(overlay->statusText(), QStringLiteral("Starting"));
        view.showControlStatus(true, QString());
        QVERIFY(!overlay->isVisible());
        QVERIFY(!overlay->isLoading());

        view.setSlotNumber(4, 0);
        // The warning stays, whatever the control program does, and without a status line.
        view.showControlStatus(false, QStringLiteral("Starting"));
        view.showControlStatus(true, QString());
        QCOMPARE(overlay->statusText(), QString());
        QVERIFY(overlay->isVisible());
        QVERIFY(!overlay->isLoading());
        QVERIFY(overlay->isWarningShown());
        auto *content = overlay->findChild<QLabel *>(QStringLiteral("label_Warning_Content"));
        QCOMPARE(content->text(), QStringLiteral("Can not Find KV VELTRIMA"));

        // The window buttons and the warning's OK stay reachable above the overlay.
        for (QPushButton *button : {view.closeButton(), view.minimiseButton()})
            QCOMPARE(view.childAt(button->geometry().center()), button);
        auto *ok = overlay->findChild<QPushButton *>(QStringLiteral("btn_OK"));
        QCOMPARE(view.childAt(ok->mapTo(&view, ok->rect().center())), ok);
        auto *sign = overlay->findChild<QLabel *>(QStringLiteral("label_Warning_Image"));
        QCOMPARE(view.childAt(sign->mapTo(&view, sign->rect().center())), sign);

        // A page created later must not cover the overlay.
        view.slot_show_Noti();
        QCOMPARE(view.childAt(ok->mapTo(&view, ok->rect().center())), ok);
    }

    // OK on the warning quits this program and, only when it runs, the control program.
    void overlayOkQuitsBothPrograms()
    {
        int controlQuits = 0;
        WindowEndpoint control;
        control.setHandler([&controlQuits](const WindowRequest &r) {
            if (r.message == 0x8301 && r.wParam == 1 && r.lParam == 1)
                ++controlQuits;
            return qint64(0);
        });
        QVERIFY(control.setTitle(QStringLiteral("VELTRIMA RGB Control")));
        Main_View view;
        view.show();
        view.setSlotNumber(4, 0);
        auto *ok = view.loadingView()->findChild<QPushButton *>(QStringLiteral("btn_OK"));
        QVERIFY(ok && ok->isVisible());

        // The control program does not run: its window is left alone.
        QVERIFY(quitsWithin(2000, [ok] { QTest::mouseClick(ok, Qt::LeftButton); }));
        QCOMPARE(controlQuits, 0);

        NamedMutex controlGuard(QStringLiteral("VELTRIMA Control.exe"));
        QCOMPARE(controlGuard.tryCreate(), NamedMutex::Result::Created);
        QVERIFY(quitsWithin(2000, [ok] { QTest::mouseClick(ok, Qt::LeftButton); }));
        QCOMPARE(controlQuits, 1);
    }

    // The pages made while the window is still hidden must not cover the overlay.
    void overlayCoversPagesMadeBeforeShow()
    {
        Main_View view;
        QVERIFY(!view.loadingView()->isHidden());
        view.show();
        const QPoint centre = view.loadingView()->mapTo(&view, view.loadingView()->rect().center());
        QWidget *top = view.childAt(centre);
        QVERIFY(top);
        QVERIFY2(top == view.loadingView() || view.loadingView()->isAncestorOf(top),
                 qPrintable(top->metaObject()->className()));
    }

    void overlayHiddenWithoutSlots()
    {
        Main_View view;
        view.setSlotNumber(0, 0);
        QVERIFY(!view.loadingView()->isVisible());
        QVERIFY(!view.loadingView()->isWarningShown());
    }

    void lightingButtonFollowsPartNumbers()
    {
        Main_View view;
        view.show();
        view.setKVModuleType({QStringLiteral("KV-R019D-16G"), QStringLiteral("N/A")});
        QVERIFY(ProgramState::lightingModuleFound);
        QVERIFY(view.menuButton(1)->isVisible());

        view.setKVModuleType({QStringLiteral("kv-r009d"), QStringLiteral("R0090"), QStringLiteral("N/A")});
        QVERIFY(!ProgramState::lightingModuleFound);
        QVERIFY(!view.menuButton(1)->isVisible());
        // The rows close up; the indicator stays beside "Information" without a click.
        const auto *indicator = view.findChild<QLabel *>(QStringLiteral("label_MenuBar_Image"));
        const QPushButton *info = view.menuButton(0);
        QCOMPARE(indicator->y(), info->mapTo(&view, QPoint(0, 0)).y() + 5);
    }

    // The logo and the spinner sit on the window's centre line; the spinner's head is bright.
    void logoAndSpinnerCentred()
    {
        Main_View view;
        view.show();
        auto *logo = view.findChild<QLabel *>(QStringLiteral("label_Logo"));
        QVERIFY(qAbs(logo->geometry().center().x() - view.width() / 2) <= 1);
        // Its ink too, not only its box.
        QImage ink(logo->size(), QImage::Format_ARGB32);
        ink.fill(Qt::transparent);
        logo->render(&ink, QPoint(), QRegion(), QWidget::DrawChildren);
        int inkLeft = ink.width(), inkRight = -1;
        for (int y = 0; y < ink.height(); ++y) {
            for (int x = 0; x < ink.width(); ++x) {
                if (qAlpha(ink.pixel(x, y)) > 64) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
            }
        }
        QVERIFY2(qAbs((inkLeft + inkRight) / 2 - ink.width() / 2) <= 3,
                 qPrintable(QStringLiteral("%1..%2").arg(inkLeft).arg(inkRight)));

        Loading_View *overlay = view.loadingView();
        QImage picture(overlay->size(), QImage::Format_ARGB32);
        picture.fill(Qt::black);
        overlay->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        qint64 sumX = 0, sumY = 0, count = 0;
        int brightest = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const int grey = qGray(picture.pixel(x, y));
                brightest = std::max(brightest, grey);
                if (grey > 40) {
                    sumX += x;
                    sumY += y;
                    ++count;
                }
            }
        }
        QVERIFY(count > 0);
        QVERIFY2(brightest >= 200, qPrintable(QString::number(brightest)));
        // The tail fades one way round, so the centroid of what shows is not quite the
        // circle's centre, but it stays well within its radius of it.
        QVERIFY2(qAbs(sumX / count - overlay->width() / 2) < 25, qPrintable(QString::number(sumX / count)));
        QVERIFY2(qAbs(sumY / count - overlay->height() / 2) < 25, qPrintable(QString::number(sumY / count)));
    }

    void menuAndPages()
    {
        Main_View view;
        view.show();
        QCOMPARE(view.windowTitle(), QStringLiteral("VELTRIMA RGB"));
        QVERIFY(view.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(view.size(), QSize(1000, 600));
        QVERIFY(view.informationView() && view.informationView()->isVisible());
        QVERIFY(!view.lightingView());
        QCOMPARE(view.menuButton(4)->objectName(), QStringLiteral("btn_Setting"));

        QSignalSpy slotRequests(&view, &Main_View::requestSetSlotNum);
        QSignalSpy profileRequests(&view, &Main_View::requestSetProfile);
        view.setSlotNumber(8, 3);
        QTest::mouseClick(view.menuButton(1), Qt::LeftButton);
        QVERIFY(view.lightingView() && view.lightingView()->isVisible());
        QVERIFY(!view.informationView()->isVisible());
        QCOMPARE(view.lightingView()->geometry(), QRect(86, 40, 914, 560));
        QCOMPARE(view.lightingView()->slotCount(), 8);
        QCOMPARE(view.lightingView()->memoryCount(), 3);
        QCOMPARE(slotRequests.count(), 1);
        QCOMPARE(profileRequests.count(), 1);

        // A channel callback refreshes the visible page only.
        QSignalSpy notiRequests(&view, &Main_View::requestNotiData);
        view.updateViewData();
        QCOMPARE(slotRequests.count(), 2);
        QCOMPARE(notiRequests.count(), 0);

        // Leaving the page cancels an open reordering.
        QPushButton *cancel = view.lightingView()->editCancelButton();
        cancel->show();
        QSignalSpy cancelSpy(cancel, &QPushButton::released);
        QTest::mouseClick(view.menuButton(2), Qt::LeftButton);
        QCOMPARE(cancelSpy.count(), 1);
        QVERIFY(!view.lightingView()->isVisible());
        QVERIFY(view.notiView()->isVisible());
        QCOMPARE(notiRequests.count(), 1);

        auto *indicator = view.findChild<QLabel *>(QStringLiteral("label_MenuBar_Image"));
        QTRY_COMPARE(indicator->y(), 70 + view.menuButton(2)->y() + 5);
    }

    void dragOnlyInTheTitleBand()
    {
        Main_View view;
        view.show();
        view.move(100, 100);
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(930, 20));
        QVERIFY(!view.isDragging());
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(930, 20));
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(300, 45));
        QVERIFY(!view.isDragging());
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(300, 45));

        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(300, 20));
        QVERIFY(view.isDragging());
        QMouseEvent move(QEvent::MouseMove, QPoint(340, 50), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        QCOMPARE(view.pos(), QPoint(140, 130));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(340, 50));
        QVERIFY(!view.isDragging());
    }

    void messagesThroughTheEndpoint()
    {
        Main_View view;
        const QString title = QStringLiteral("VELTRIMA RGB");
        QVERIFY(WindowMessenger::findWindow(title).isValid());

        QVERIFY(!view.isVisible());
        QCOMPARE(WindowMessenger::sendMessage(title, 0x8302, 0, 0).value_or(-1), 0);
        QTRY_VERIFY(view.isVisible());

        ProgramState::programStart = false;
        QVERIFY(!quitsWithin(300, [&] { WindowMessenger::sendMessage(title, 0x8303, 1, 0); }));
        ProgramState::programStart = true;
        QVERIFY(!quitsWithin(300, [&] { WindowMessenger::sendMessage(title, 0x8303, 0, 0); }));
        QVERIFY(quitsWithin(2000, [&] { WindowMessenger::sendMessage(title, 0x8303, 1, 0); }));
        ProgramState::programStart = false;

        QVERIFY(quitsWithin(2000, [&] { WindowMessenger::sendMessage(title, 0x8301, 1, 1); }));
    }

    void closeByWindowManagerQuits()
    {
        Main_View view;
        view.show();
        QSignalSpy closeSpy(&view, &Main_View::slot_Close);
        view.close();
        QCOMPARE(closeSpy.count(), 1);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_ui_widgets.moc"
