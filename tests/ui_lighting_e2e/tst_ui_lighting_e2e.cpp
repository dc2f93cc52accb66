// The lighting page as a user works it: the real window on a real X server, clicked with
// the mouse, against the real control program, the virtual HAL and the scenario sensors.
// Every click goes in through the window system at the widget's place, so a widget that
// something else covers, masks or swallows clicks for fails the test as it would fail a user.
#include "KVRGBMemory.h"
#include "Lighting_View.h"
#include "Loading_View.h"
#include "Main_View.h"
#include "Memory_RGB_View.h"

#include "MessagePresenter.h"
#include "ProcessTools.h"

#include "ProductFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QtTest>

#include <csignal>
#include <utility>

#include <memory>

namespace {
const QString kControlTitle = QString::fromLatin1(ProgramNames::kControlWindowTitle);

constexpr int kStatic = 6;
constexpr int kFlow = 0;
// The profile buttons count from 0; the user sees "Profile 1" to "Profile 5".
constexpr int kProfile1 = 0;
constexpr int kProfile3 = 2;
// "Module 1" on the page is position 0, which device 0 of the HAL drives.
constexpr int kModule1 = 0;

// What profile 3 holds before the program starts: module 1 static, blue to cyan.
const QVector<quint32> kProfile3Frame{rgbColor(0, 0, 255), rgbColor(0, 64, 255), rgbColor(0, 128, 255),
                                      rgbColor(0, 192, 255), rgbColor(0, 255, 255)};

QList<qint64> controlProcessesHere()
{
    const QByteArray marker = "XDG_RUNTIME_DIR=" + qgetenv("XDG_RUNTIME_DIR");
    QList<qint64> here;
    for (qint64 pid : ProcessTools::findProcesses(QString::fromLatin1(ProgramNames::kControlExecutable))) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(marker))
            here.append(pid);
    }
    return here;
}

QVector<quint32> halFrame(int device)
{
    const auto snapshot = ProductFixture::hal();
    if (!snapshot || device < 0 || device >= snapshot->devices.size())
        return {};
    return snapshot->devices.at(device).lastColours;
}

QString frameText(const QVector<quint32> &frame)
{
    QStringList parts;
    for (quint32 c : frame)
        parts << QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char(','));
}

// Empty when a click at the widget's point reaches the widget; otherwise what it reaches.
QString clickBlocker(QWidget *target, QPoint local)
{
    if (!target)
        return QStringLiteral("no such widget");
    if (!target->isVisible())
        return QStringLiteral("%1 is not visible").arg(target->objectName());
    QWidget *top = target->window();
    QWidget *hit = top->childAt(target->mapTo(top, local));
    if (hit == target || (hit && target->isAncestorOf(hit)))
        return {};
    return QStringLiteral("a click on %1 at (%2,%3) lands on %4 \"%5\"")
        .arg(target->objectName())
        .arg(local.x())
        .arg(local.y())
        .arg(hit ? QString::fromLatin1(hit->metaObject()->className()) : QStringLiteral("nothing"),
             hit ? hit->objectName() : QString());
}

// A left click through the window system, at the widget's place in its top-level window.
void click(QWidget *target, QPoint local)
{
    QWidget *top = target->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, target->mapTo(top, local));
}

// What the screen shows of a part of a top-level window (not what the widget would paint).
QImage onScreen(QWidget *window, const QRect &area)
{
    return window->screen()
        ->grabWindow(window->winId(), area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The point of the wheel whose colour on screen is closest to pure red.
QPoint reddestPoint(const QImage &wheel)
{
    const QPoint centre(wheel.width() / 2, wheel.height() / 2);
    QPoint best(-1, -1);
    int bestDistance = INT_MAX;
    for (int y = 0; y < wheel.height(); ++y) {
        for (int x = 0; x < wheel.width(); ++x) {
            const QPoint d = QPoint(x, y) - centre;
            // Inside the 88-pixel ring that takes presses; the pure hues lie at its rim.
            if (d.x() * d.x() + d.y() * d.y() > 87 * 87)
                continue;
            const QColor c = wheel.pixelColor(x, y);
            const int distance = (255 - c.red()) * (255 - c.red()) + c.green() * c.green() + c.blue() * c.blue();
            if (distance < bestDistance) {
                bestDistance = distance;
                best = QPoint(x, y);
            }
        }
    }
    return best;
}

bool isRed(COLORREF c)
{
    return redOf(c) >= 240 && greenOf(c) <= 16 && blueOf(c) <= 16;
}
} // namespace

class TestLightingEndToEnd : public QObject
{
    Q_OBJECT

private:
    template <typename T>
    T *find(const char *name) const
    {
        return m_view ? m_view->findChild<T *>(QLatin1String(name)) : nullptr;
    }

    Lighting_View *page() const { return m_view ? m_view->lightingView() : nullptr; }

    // Clicks the widget after making sure the click reaches it; false with a reason if not.
    bool clickWidget(QWidget *target, QPoint local = QPoint(-1, -1))
    {
        if (target && local == QPoint(-1, -1))
            local = target->rect().center();
        const QString blocker = clickBlocker(target, local);
        if (!blocker.isEmpty()) {
            m_failure = blocker;
            return false;
        }
        click(target, local);
        return true;
    }

    // The light mode, through the mode button and its pop-up.
    bool chooseLightMode(int mode)
    {
        auto *modeButton = find<QPushButton>("btn_LightMode");
        auto *popup = find<QWidget>("Widget_Light_Mode_View");
        if (!modeButton || !popup) {
            m_failure = QStringLiteral("no mode button or mode pop-up");
            return false;
        }
        if (!clickWidget(modeButton))
            return false;
        if (!waitUntil([popup] { return popup->isVisible(); }, 3000)) {
            m_failure = QStringLiteral("the mode pop-up did not open");
            return false;
        }
        auto *entry = popup->findChild<QPushButton *>(QString::number(mode));
        if (!clickWidget(entry))
            return false;
        if (!waitUntil([popup] { return !popup->isVisible(); }, 3000)) {
            m_failure = QStringLiteral("the mode pop-up stayed open");
            return false;
        }
        m_failure = QStringLiteral("the page took light mode %1, not %2").arg(page()->selectedLightMode()).arg(mode);
        return page()->selectedLightMode() == mode;
    }

    // An entry of a drop-down, through its pop-up list.
    bool chooseComboEntry(QComboBox *combo, const QString &text)
    {
        if (!combo) {
            m_failure = QStringLiteral("no drop-down");
            return false;
        }
        const int row = combo->findText(text);
        if (row < 0) {
            m_failure = QStringLiteral("%1 has no entry \"%2\"").arg(combo->objectName(), text);
            return false;
        }
        if (!clickWidget(combo))
            return false;
        QAbstractItemView *list = combo->view();
        if (!waitUntil([list] { return list->isVisible(); }, 3000)) {
            m_failure = QStringLiteral("the list of %1 did not open").arg(combo->objectName());
            return false;
        }
        // The list ignores a release that follows its opening within a double-click time.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        const QRect item = list->visualRect(combo->model()->index(row, combo->modelColumn()));
        if (!clickWidget(list->viewport(), item.center()))
            return false;
        if (!waitUntil([list] { return !list->isVisible(); }, 3000)) {
            m_failure = QStringLiteral("the list of %1 stayed open").arg(combo->objectName());
            return false;
        }
        m_failure = QStringLiteral("%1 shows \"%2\"").arg(combo->objectName(), combo->currentText());
        return combo->currentText() == text;
    }

    // Module 1 alone selected, by its module button.
    bool selectOnlyModule1()
    {
        Lighting_View *p = page();
        for (int k = 0; k < p->slotCount(); ++k) {
            Memory_RGB_View *pic = p->picture(k);
            const bool wanted = k == kModule1;
            if (pic->isSelected() != wanted && !clickWidget(pic->moduleButton()))
                return false;
        }
        for (int k = 0; k < p->slotCount(); ++k) {
            if (p->picture(k)->isSelected() != (k == kModule1)) {
                m_failure = QStringLiteral("module %1 is %2 selected").arg(k + 1).arg(k == kModule1 ? "not" : "still");
                return false;
            }
        }
        return true;
    }

    QImage previewBarOnScreen(int module) const
    {
        const QRect bar = page()->previewBar(module);
        return onScreen(m_view, QRect(page()->mapTo(m_view, bar.topLeft()), bar.size()).adjusted(1, 1, 0, 0));
    }

    // With VELTRIMA_SCREENSHOT_DIR set, what the screen shows at the steps, for a person to look at.
    void keepScreenshot(const QString &name) const
    {
        const QString dir = qEnvironmentVariable("VELTRIMA_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        if (!onScreen(m_view, m_view->rect()).save(QDir(dir).filePath(name + QStringLiteral(".png"))))
            qWarning() << "cannot save the screenshot" << name << "in" << dir;
    }

    std::unique_ptr<ProductFixture> m_product;
    std::unique_ptr<KVRGBMemory> m_base;
    Main_View *m_view = nullptr;
    QString m_failure;
    COLORREF m_red = 0;

private slots:
    void initTestCase()
    {
        if (TestEnvironment::binDir().isEmpty())
            QSKIP("VELTRIMA_BIN_DIR is not set");
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});
        m_product = std::make_unique<ProductFixture>();

        QDir().mkpath(QFileInfo(m_product->profileFile(kProfile3)).absolutePath());
        {
            QSettings profile(m_product->profileFile(kProfile3), QSettings::IniFormat);
            profile.setValue(QStringLiteral("Memory0/LightMode"), kStatic);
            profile.setValue(QStringLiteral("Memory0/ColorMode"), ColorModeRGB);
            profile.setValue(QStringLiteral("Memory0/LightSpeed"), SpeedNormal);
            profile.setValue(QStringLiteral("Memory0/RColor"), QStringLiteral("0,0,0,0,0"));
            profile.setValue(QStringLiteral("Memory0/GColor"), QStringLiteral("0,64,128,192,255"));
            profile.setValue(QStringLiteral("Memory0/BColor"), QStringLiteral("255,255,255,255,255"));
            profile.setValue(QStringLiteral("Memory0/Bright"), QStringLiteral("1,1,1,1,1"));
        }
        QVERIFY(m_product->startControl());
        QVERIFY2(waitUntil([] { return halFrame(kModule1).size() == kDrivenLeds; }, 20000),
                 qPrintable(m_product->control().output()));

        m_base = std::make_unique<KVRGBMemory>(TestEnvironment::binDir());
        QVERIFY(m_base->channel().isLoaded());
        m_view = m_base->mainView();
        QVERIFY(QTest::qWaitForWindowExposed(m_view));
        m_view->activateWindow();
        QVERIFY(waitUntil([this] { return m_base->firstDataSeen() && !m_view->loadingView()->isVisible(); }, 30000));
        QVERIFY(m_view->slotCount() >= 4);
        QCOMPARE(m_view->memoryCount(), 4);
        QCOMPARE(controlProcessesHere().size(), 1); // the window found the running one

        QVERIFY2(clickWidget(find<QPushButton>("btn_Lighting")), qPrintable(m_failure));
        QVERIFY(waitUntil([this] { return page() && page()->isVisible(); }, 5000));
        QCOMPARE(page()->memoryCount(), 4);
    }

    // Module 1, Static, Single, red from the wheel, Apply: the module shows red.
    void applyBringsRedToModule1()
    {
        QVERIFY(page());
        QVERIFY2(selectOnlyModule1(), qPrintable(m_failure));

        QVERIFY2(chooseLightMode(kStatic), qPrintable(m_failure));
        QCOMPARE(find<QPushButton>("btn_LightMode")->text(), QStringLiteral("Static"));
        QVERIFY2(chooseComboEntry(find<QComboBox>("comboBox_ColorMode"), QStringLiteral("Single")),
                 qPrintable(m_failure));
        QCOMPARE(page()->picture(kModule1)->colorMode(), int(ColorModeSingle));

        auto *wheel = find<QWidget>("RGB_Palette");
        QVERIFY(wheel && wheel->isEnabled());
        const QImage wheelShown = onScreen(m_view, QRect(wheel->mapTo(m_view, QPoint(0, 0)), wheel->size()));
        const QPoint redPoint = reddestPoint(wheelShown);
        QVERIFY2(redPoint.x() >= 0, "no wheel on screen");
        QVERIFY2(clickWidget(wheel, redPoint), qPrintable(m_failure));
        m_red = rgbColor(find<QLineEdit>("lineEdit_R_Value")->text().toInt(),
                         find<QLineEdit>("lineEdit_G_Value")->text().toInt(),
                         find<QLineEdit>("lineEdit_B_Value")->text().toInt());
        QVERIFY2(isRed(m_red), qPrintable(QStringLiteral("picked %1").arg(m_red, 6, 16, QLatin1Char('0'))));
        QCOMPARE(page()->picture(kModule1)->singleRGB(), m_red);

        const QVector<quint32> allRed(kDrivenLeds, m_red);
        QVERIFY2(halFrame(kModule1) != allRed, "module 1 was red before Apply");
        QVERIFY2(clickWidget(find<QPushButton>("btn_Apply")), qPrintable(m_failure));
        QVERIFY2(waitUntil([&] { return halFrame(kModule1) == allRed; }, 10000),
                 qPrintable(frameText(halFrame(kModule1))));
        // Only module 1 was selected: the others keep their own lighting.
        keepScreenshot(QStringLiteral("e2e-applied-red"));
        for (int device = 1; device < 4; ++device)
            QVERIFY2(halFrame(device) != allRed, qPrintable(QStringLiteral("device %1 turned red").arg(device)));
        QVERIFY(waitUntil([&] { return m_product->profileValue(kProfile1, QStringLiteral("Memory0/LightMode")).toInt() == kStatic; },
                          10000));
        QCOMPARE(m_product->profileValue(kProfile1, QStringLiteral("Memory0/ColorMode")).toInt(), int(ColorModeSingle));
    }

    // Profile 3, then profile 1 again: the modules and the page show each profile's lighting.
    void profilesBringTheirLighting()
    {
        QVERIFY(page());
        QVERIFY2(isRed(m_red), "needs the red of the previous step");
        const QVector<quint32> allRed(kDrivenLeds, m_red);
        auto *modeButton = find<QPushButton>("btn_LightMode");
        auto *colourMode = find<QComboBox>("comboBox_ColorMode");

        QVERIFY2(clickWidget(find<QPushButton>("btn_Profile2")), qPrintable(m_failure));
        QVERIFY2(waitUntil([&] { return halFrame(kModule1) == kProfile3Frame; }, 15000),
                 qPrintable(frameText(halFrame(kModule1))));
        // Device-file writes are paced, so the file may follow the lights by half a second.
        QVERIFY(waitUntil([&] { return m_product->deviceValue(QStringLiteral("Main/Profile")).toInt() == kProfile3; }, 5000));
        QVERIFY2(waitUntil([&] { return page()->picture(kModule1)->rgb()[1] == kProfile3Frame.at(1); }, 10000),
                 "the page does not show profile 3's colours");
        QVERIFY(find<QPushButton>("btn_Profile2")->isChecked());
        keepScreenshot(QStringLiteral("e2e-profile3"));
        QCOMPARE(modeButton->text(), QStringLiteral("Static"));
        QCOMPARE(colourMode->currentText(), QStringLiteral("RGB"));

        QVERIFY2(clickWidget(find<QPushButton>("btn_Profile0")), qPrintable(m_failure));
        QVERIFY2(waitUntil([&] { return halFrame(kModule1) == allRed; }, 15000),
                 qPrintable(frameText(halFrame(kModule1))));
        // Device-file writes are paced, so the file may follow the lights by half a second.
        QVERIFY(waitUntil([&] { return m_product->deviceValue(QStringLiteral("Main/Profile")).toInt() == kProfile1; }, 5000));
        QVERIFY2(waitUntil([&] { return colourMode->currentText() == QLatin1String("Single"); }, 10000),
                 "the page does not show profile 1's colour mode");
        QVERIFY(find<QPushButton>("btn_Profile0")->isChecked());
        QCOMPARE(modeButton->text(), QStringLiteral("Static"));
        QCOMPARE(page()->picture(kModule1)->singleRGB(), m_red);
    }

    // The preview bar of module 1 stands still and red while the module is static, and
    // moves once Flow runs on it.
    void previewFollowsTheRunningEffect()
    {
        QVERIFY(page());
        QVERIFY2(isRed(m_red), "needs the red of the first step");
        QVERIFY(waitUntil([&] { return halFrame(kModule1) == QVector<quint32>(kDrivenLeds, m_red); }, 10000));
        // On a loaded machine the window's preview may lag behind the HAL: wait until the
        // bar shows the same twice in a row.
        QImage still = previewBarOnScreen(kModule1);
        QVERIFY(waitUntil([&] {
            QTest::qWait(500);
            const QImage now = previewBarOnScreen(kModule1);
            return std::exchange(still, now) == now;
        }, 20000));
        QTest::qWait(1000);
        QCOMPARE(previewBarOnScreen(kModule1), still);
        const QColor middle = still.pixelColor(still.width() / 2, still.height() / 2);
        QVERIFY2(isRed(rgbColor(middle.red(), middle.green(), middle.blue())), qPrintable(middle.name()));

        QVERIFY2(selectOnlyModule1(), qPrintable(m_failure));
        QVERIFY2(chooseLightMode(kFlow), qPrintable(m_failure));
        QVERIFY2(clickWidget(find<QPushButton>("btn_Apply")), qPrintable(m_failure));
        QVERIFY(waitUntil([&] { return halFrame(kModule1) != QVector<quint32>(kDrivenLeds, m_red); }, 10000));

        const QImage first = previewBarOnScreen(kModule1);
        QTest::qWait(1000);
        const QImage second = previewBarOnScreen(kModule1);
        keepScreenshot(QStringLiteral("e2e-flow"));
        QVERIFY2(first != second, "the preview stands still while Flow runs");
        // The bar shows more than the red it showed before.
        QVERIFY(first != still || second != still);
    }

    // The G slider moved by keyboard: its number, module 1's LEDs on screen and, after
    // Apply, the HAL all show the same colour.
    void sliderMovedByKeysReachesLedsAndHal()
    {
        QVERIFY(page());
        QVERIFY2(selectOnlyModule1(), qPrintable(m_failure));
        QVERIFY2(chooseLightMode(kStatic), qPrintable(m_failure));
        QVERIFY2(chooseComboEntry(find<QComboBox>("comboBox_ColorMode"), QStringLiteral("Single")),
                 qPrintable(m_failure));
        auto *green = find<QSlider>("slider_G_Value");
        QVERIFY(green && green->isEnabled());
        m_view->activateWindow();
        green->setFocus(Qt::TabFocusReason);
        QVERIFY(waitUntil([green] { return green->hasFocus(); }, 5000));

        QTest::keyClick(m_view->windowHandle(), Qt::Key_End);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(m_view->windowHandle(), Qt::Key_Left);
        QCOMPARE(green->value(), 252);
        QCOMPARE(find<QLineEdit>("lineEdit_G_Value")->text(), QStringLiteral("252"));
        const COLORREF picked = rgbColor(find<QSlider>("slider_R_Value")->value(), 252,
                                         find<QSlider>("slider_B_Value")->value());
        QCOMPARE(page()->picture(kModule1)->singleRGB(), picked);
        QPushButton *led = page()->picture(kModule1)->ledButton(2);
        QVERIFY(waitUntil([&] {
            const QImage shown = onScreen(m_view, QRect(led->mapTo(m_view, led->rect().center()), QSize(1, 1)));
            return shown.pixelColor(0, 0) == QColor(redOf(picked), greenOf(picked), blueOf(picked));
        }, 5000));
        keepScreenshot(QStringLiteral("e2e-slider-keys"));

        const QVector<quint32> allPicked(kDrivenLeds, picked);
        QVERIFY2(halFrame(kModule1) != allPicked, "module 1 had the colour before Apply");
        QVERIFY2(clickWidget(find<QPushButton>("btn_Apply")), qPrintable(m_failure));
        QVERIFY2(waitUntil([&] { return halFrame(kModule1) == allPicked; }, 10000),
                 qPrintable(QStringLiteral("picked %1, HAL %2")
                                .arg(picked, 6, 16, QLatin1Char('0'))
                                .arg(frameText(halFrame(kModule1)))));
    }

    void cleanupTestCase()
    {
        m_view = nullptr;
        m_base.reset();
        if (!m_product)
            return;
        m_product->stopControl();
        // A control program that the window started on its own (after stale data, say)
        // runs in this test's folders too.
        const QList<qint64> left = controlProcessesHere();
        if (!left.isEmpty())
            WindowMessenger::sendMessage(kControlTitle, ProgramNames::kMsgQuit, 1, 1);
        for (qint64 pid : left) {
            if (!waitUntil([pid] { return ::kill(pid_t(pid), 0) != 0; }, 15000))
                ::kill(pid_t(pid), SIGKILL);
        }
        QVERIFY(waitUntil([] { return controlProcessesHere().isEmpty(); }, 5000));
        m_product.reset();
    }
};

QTEST_MAIN(TestLightingEndToEnd)
#include "tst_ui_lighting_e2e.moc"
