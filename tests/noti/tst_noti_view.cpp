// The notification page on its own: what its line edits accept, what each action sends,
// the units it shows, and how it reacts to a missing hub program or lighting module.
#include "LightingMetaTypes.h"
#include "NamedMutex.h"
#include "Noti_View.h"
#include "ProgramState.h"
#include "SwitchButton.h"
#include "TestEnvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

class tst_NotiView : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_env;
    QTranslator m_translator;

    static NotiEventData record()
    {
        NotiEventData r{};
        r.loadingOn = true;
        r.loadingValue = 70;
        r.loadingColor = 0x00FF0000;
        r.shutdownMemoryOn = true;
        r.shutdownMemoryValue = 85;
        r.shutdownMemoryUnit = 1;
        r.fanSpeedOn = true;
        r.fanSpeedValue = 60;
        r.fanSpeedUnit = 1;
        r.shutdownCPUValue = 95;
        r.shutdownCPUUnit = 1;
        return r;
    }

    // Types text into a line edit that holds the focus, replacing what it had.
    static void type(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    static void saveShot(QWidget *widget, const char *name)
    {
        const QString dir = qEnvironmentVariable("VELTRIMA_SHOT_DIR");
        if (dir.isEmpty())
            return;
        // The page is transparent; the main window's dark backdrop is under it.
        QPixmap shot(widget->size());
        shot.fill(QColor(35, 35, 35));
        widget->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        shot.save(dir + QLatin1Char('/') + QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        registerLightingMetaTypes();
        QVERIFY(m_translator.load(QStringLiteral(":/KVRGBMemory/VELTRIMA_en.qm")));
        QCoreApplication::installTranslator(&m_translator);
    }

    void thresholdsTakeOnlyWhatTheirRangeAccepts()
    {
        ProgramState::lightingModuleFound = true;
        NamedMutex hub(QStringLiteral("Spectra Hub"));
        QCOMPARE(hub.tryCreate(), NamedMutex::Result::Created);
        Noti_View view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy sent(&view, &Noti_View::sendNotiData);
        view.setNotiData(record());
        QCOMPARE(sent.count(), 0);
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("label_Title"))->text(), QStringLiteral("Set Notifications"));
        saveShot(&view, "noti-page.png");

        auto *loading = view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Loading"));
        auto *memory = view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Shutdown_Memory"));
        QVERIFY(loading && memory);

        type(loading, QStringLiteral("150"));
        QTest::keyClick(loading, Qt::Key_Return);
        for (const QList<QVariant> &call : qAsConst(sent))
            QVERIFY(call.at(0).value<NotiEventData>().loadingValue != 150);
        QVERIFY(view.notiData().loadingValue != 150);
        type(loading, QStringLiteral("100"));
        QTest::keyClick(loading, Qt::Key_Return);
        QCOMPARE(sent.last().at(0).value<NotiEventData>().type, int(NotiLoading));
        QCOMPARE(sent.last().at(0).value<NotiEventData>().loadingValue, 100);
        QVERIFY(!loading->hasFocus());

        sent.clear();
        type(memory, QStringLiteral("-31"));
        QTest::keyClick(memory, Qt::Key_Return);
        QVERIFY(view.notiData().shutdownMemoryValue != -31);
        type(memory, QStringLiteral("-30"));
        QTest::keyClick(memory, Qt::Key_Return);
        const NotiEventData last = sent.last().at(0).value<NotiEventData>();
        QCOMPARE(last.type, int(NotiShutdownMemory));
        QCOMPARE(last.shutdownMemoryValue, -30);
        // The whole record travels: the other rules are as they were.
        QCOMPARE(last.loadingValue, 100);
        QCOMPARE(last.fanSpeedValue, 60);
        QVERIFY(last.fanSpeedOn);

        // Text left without Return is dropped when the line edit loses the focus.
        type(memory, QStringLiteral("77"));
        view.setFocus();
        QCOMPARE(memory->text(), QStringLiteral("-30"));

        // A switch sends its rule with the threshold its line edit holds.
        sent.clear();
        auto *cpuSwitch = view.findChild<SwitchButton *>(QStringLiteral("switch_Shutdown_CPU"));
        QVERIFY(cpuSwitch);
        QTest::mouseClick(cpuSwitch, Qt::LeftButton);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.last().at(0).value<NotiEventData>().type, int(NotiShutdownCPU));
        QVERIFY(sent.last().at(0).value<NotiEventData>().shutdownCPUOn);
        QCOMPARE(sent.last().at(0).value<NotiEventData>().shutdownCPUValue, 95);

        // The colour button opens the wheel under itself; a picked colour is sent and shown.
        auto *colour = view.findChild<QPushButton *>(QStringLiteral("btn_Loading_Color"));
        auto *wheel = view.findChild<QWidget *>(QStringLiteral("Widget_Select_Palette"));
        QVERIFY(colour && wheel);
        QTest::mouseClick(colour, Qt::LeftButton);
        QVERIFY(wheel->isVisible());
        QVERIFY(wheel->y() > colour->mapTo(&view, QPoint(0, colour->height() - 1)).y());
        view.slot_Palette_Color(0x0000FF00);
        QVERIFY(!wheel->isVisible());
        QCOMPARE(sent.last().at(0).value<NotiEventData>().type, int(NotiLoading));
        QCOMPARE(sent.last().at(0).value<NotiEventData>().loadingColor, COLORREF(0x0000FF00));
        QCOMPARE(sent.last().at(0).value<NotiEventData>().loadingValue, 100);
        QVERIFY(colour->styleSheet().contains(QStringLiteral("rgb(0,255,0)")));
    }

    void unitsShowTheRecordsUnitWithoutConvertingValues()
    {
        Noti_View view;
        view.setNotiData(record());
        for (const char *row : {"Shutdown_Memory", "Shutdown_CPU", "FanSpeed"}) {
            auto *unit = view.findChild<QPushButton *>(QStringLiteral("btn_Unit_") + QLatin1String(row));
            QVERIFY2(unit, row);
            QCOMPARE(unit->text(), QStringLiteral("\u00B0F"));
        }
        QCOMPARE(view.findChild<QPushButton *>(QStringLiteral("btn_Unit_Loading"))->text(), QStringLiteral("%"));
        QCOMPARE(view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Shutdown_Memory"))->text(), QStringLiteral("85"));
        QCOMPARE(view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Shutdown_CPU"))->text(), QStringLiteral("95"));
        NotiEventData celsius = record();
        celsius.shutdownMemoryUnit = 0;
        celsius.shutdownMemoryOn = false;
        view.setNotiData(celsius);
        QVERIFY(!view.findChild<SwitchButton *>(QStringLiteral("switch_Shutdown_Memory"))->isChecked());
        QVERIFY(view.findChild<SwitchButton *>(QStringLiteral("switch_Loading"))->isChecked());
        QCOMPARE(view.findChild<QPushButton *>(QStringLiteral("btn_Unit_Shutdown_Memory"))->text(),
                 QStringLiteral("\u00B0C"));
    }

    void missingHubOrModulesHideTheirRows()
    {
        ProgramState::lightingModuleFound = false;
        Noti_View view;
        QSignalSpy sent(&view, &Noti_View::sendNotiData);
        view.setNotiData(record());
        QVERIFY(view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Loading"))->isHidden());
        QVERIFY(view.findChild<QPushButton *>(QStringLiteral("btn_Loading_Color"))->isHidden());
        QVERIFY(view.findChild<QLineEdit *>(QStringLiteral("lineEdit_FanSpeed"))->isHidden());
        QVERIFY(!view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Shutdown_Memory"))->isHidden());
        QCOMPARE(sent.count(), 1);
        const NotiEventData off = sent.at(0).at(0).value<NotiEventData>();
        QCOMPARE(off.type, int(NotiFanSpeed));
        QVERIFY(!off.fanSpeedOn);
        QCOMPARE(off.fanSpeedValue, 60);
        QVERIFY(off.shutdownMemoryOn);
        // Already off: nothing more is sent.
        view.setNotiData(off);
        QCOMPARE(sent.count(), 1);

        NamedMutex hub(QStringLiteral("Spectra Hub"));
        QCOMPARE(hub.tryCreate(), NamedMutex::Result::Created);
        ProgramState::lightingModuleFound = true;
        view.setNotiData(record());
        QVERIFY(!view.findChild<QLineEdit *>(QStringLiteral("lineEdit_FanSpeed"))->isHidden());
        QVERIFY(!view.findChild<QLineEdit *>(QStringLiteral("lineEdit_Loading"))->isHidden());
        QCOMPARE(sent.count(), 1);
    }
};

QTEST_MAIN(tst_NotiView)
#include "tst_noti_view.moc"
