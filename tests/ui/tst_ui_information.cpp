#include "Information_Slots_View.h"
#include "Information_View.h"
#include "ProgramState.h"
#include "UiResources.h"

#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

class TestInformation : public QObject
{
    Q_OBJECT

private:
    static HWData record()
    {
        HWData d = makeZeroHWData();
        d.reset();
        return d;
    }
    static QString text(const QWidget &w, const char *name)
    {
        const auto *label = w.findChild<QLabel *>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }

    TestEnvironment m_env;
    QTranslator m_english;

private slots:
    void initTestCase()
    {
        initUiResources();
        QVERIFY(m_english.load(QStringLiteral(":/KVRGBMemory/VELTRIMA_en.qm")));
        QCoreApplication::installTranslator(&m_english);
    }

    void headerTexts()
    {
        Information_View view;
        HWData d = record();
        d.tRCD = -1;
        d.channelCount = 1;
        d.casLatency = 16;
        d.clock = 1599.9876543;
        view.setHWData(d);
        QCOMPARE(text(view, "label_RAS"), QStringLiteral("RAS# to CAS# Delay (tRCD): N/A"));
        QCOMPARE(text(view, "label_Channel"), QStringLiteral("Channel: N/A"));
        QCOMPARE(text(view, "label_CAS"), QStringLiteral("CAS# Latency (CL): 16"));
        QCOMPARE(text(view, "label_Frequency"), QStringLiteral("Frequency: 1599.99"));

        d.tRCD = 18;
        d.channelCount = 0;
        d.casLatency = -1;
        d.clock = -1;
        view.setHWData(d);
        QCOMPARE(text(view, "label_RAS"), QStringLiteral("RAS# to CAS# Delay (tRCD): 18"));
        QCOMPARE(text(view, "label_Channel"), QStringLiteral("Channel: N/A"));
        QCOMPARE(text(view, "label_CAS"), QStringLiteral("CAS# Latency (CL): N/A"));
        QCOMPARE(text(view, "label_Frequency"), QStringLiteral("Frequency: N/A"));

        d.channelCount = 2;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Channel"), QStringLiteral("Channel: Dual"));
        d.channelCount = 4;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Channel"), QStringLiteral("Channel: Quad"));
    }

    void totalsAndUsage()
    {
        Information_View view;
        HWData d = record();
        d.memoryCount = 2;
        d.memoryIndex[0] = 0;
        d.memoryIndex[1] = 1;
        d.memoryData[0].memoryModuleSize = 16384;
        d.memoryData[1].memoryModuleSize = 8192;
        // A leftover entry beyond the count must not be added.
        d.memoryIndex[2] = 2;
        d.memoryData[2].memoryModuleSize = 8192;
        d.physicalMemoryUsed = 6000;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Total"), QStringLiteral(" / 24 GB"));
        QCOMPARE(text(view, "label_Usage"), QStringLiteral("5GB"));

        d.physicalMemoryUsed = -1;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Usage"), QString());

        d.memoryIndex[0] = -1;
        d.memoryIndex[1] = -1;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Total"), QStringLiteral("N/A"));
        QCOMPARE(text(view, "label_Usage"), QString());
    }

    void loadAndDial()
    {
        Information_View view;
        HWData d = record();
        d.physicalMemoryLoad = 30.456;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Percent"), QStringLiteral("30.46"));
        QCOMPARE(view.dialSpanDegrees(), 73);

        // A lost reading empties the dial instead of keeping the old value on show.
        d.physicalMemoryLoad = -1;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Percent"), QStringLiteral("N/A"));
        QCOMPARE(view.dialSpanDegrees(), 0);

        d.physicalMemoryLoad = 250;
        view.setHWData(d);
        QCOMPARE(text(view, "label_Percent"), QStringLiteral("100.00"));
        QCOMPARE(view.dialSpanDegrees(), 240);
    }

    void moduleTexts()
    {
        Information_View view;
        view.setMemoryCount(2);
        HWData d = record();
        setText(d.memoryData[0].memoryType, "DDR4");
        d.memoryData[0].memoryModuleSize = 16384;
        d.memoryData[0].frequency = 3200;
        d.memoryData[0].temperature = 31;
        setText(d.memoryData[1].memoryType, "DDR5");
        d.memoryData[1].memoryModuleSize = 0;
        d.memoryData[1].frequency = -1;
        d.memoryData[1].temperature = 0;
        view.setHWData(d);

        Information_Slots_View *slotsView = view.slotsView();
        QCOMPARE(slotsView->typeText(), QStringLiteral("Type: DDR4"));
        QCOMPARE(slotsView->sizeText(), QStringLiteral("Size: 16 GByte"));
        QCOMPARE(slotsView->frequencyText(), QStringLiteral("Frequency: 3200 MHz"));
        QCOMPARE(slotsView->temperatureText(), QStringLiteral("TEMP: 31\u00B0C / 87\u00B0F"));

        auto *second = slotsView->findChild<QPushButton *>(QStringLiteral("2"));
        QVERIFY(second);
        QTest::mouseClick(second, Qt::LeftButton);
        QCOMPARE(slotsView->selectedModule(), 1);
        QCOMPARE(slotsView->typeText(), QStringLiteral("Type: DDR5"));
        QCOMPARE(slotsView->sizeText(), QStringLiteral("Size: N/A"));
        QCOMPARE(slotsView->frequencyText(), QStringLiteral("Frequency: N/A"));
        QCOMPARE(slotsView->temperatureText(), QStringLiteral("TEMP: N/A"));
    }

    void moduleButtons()
    {
        Information_Slots_View panel;
        panel.setMemoryCount(0);
        QCOMPARE(panel.findChildren<QPushButton *>().size(), 0);

        panel.setMemoryCount(3);
        auto buttons = panel.findChildren<QPushButton *>();
        QCOMPARE(buttons.size(), 3);
        QVERIFY(buttons.first()->styleSheet().contains(QLatin1String("36px")));
        QVERIFY(panel.findChild<QPushButton *>(QStringLiteral("1"))->isChecked());

        // Every count from 1 to 8: the buttons sit side by side over the line, above it,
        // where the digits are not crossed; five and more in the smaller font.
        for (int n = 1; n <= kModuleCount; ++n) {
            panel.setMemoryCount(n);
            buttons = panel.findChildren<QPushButton *>();
            QCOMPARE(buttons.size(), n);
            int previousRight = -1;
            for (int i = 1; i <= n; ++i) {
                const auto *b = panel.findChild<QPushButton *>(QString::number(i));
                QVERIFY(b->styleSheet().contains(QLatin1String(n <= 4 ? "36px" : "20px")));
                const QRect inPanel(b->mapTo(&panel, QPoint(0, 0)), b->size());
                const QString where = QStringLiteral("%1 of %2 at %3,%4 %5x%6")
                                          .arg(i).arg(n).arg(inPanel.x()).arg(inPanel.y())
                                          .arg(inPanel.width()).arg(inPanel.height());
                QVERIFY2(inPanel.right() < Information_Slots_View::lineWidth(), qPrintable(where));
                QVERIFY2(inPanel.bottom() < Information_Slots_View::lineY(), qPrintable(where));
                QVERIFY2(inPanel.left() > previousRight, qPrintable(where));
                QVERIFY2(b->parentWidget()->rect().contains(b->geometry()), qPrintable(where));
                previousRight = inPanel.right();
            }
        }
        // Out-of-range counts are clamped.
        panel.setMemoryCount(20);
        QCOMPARE(panel.findChildren<QPushButton *>().size(), 8);
        panel.setMemoryCount(-3);
        QCOMPARE(panel.findChildren<QPushButton *>().size(), 0);
    }

    // The page is drawn over the window's themed background, not on a slab of its own.
    void pageShowsTheWindowBackground()
    {
        Information_View view;
        QImage picture(view.size(), QImage::Format_ARGB32);
        const QColor behind(200, 0, 200);
        picture.fill(behind);
        view.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        for (const QPoint p : {QPoint(5, 5), QPoint(790, 500), QPoint(420, 460)})
            QCOMPARE(picture.pixelColor(p), behind);
    }

    void russianHighLabel()
    {
        Information_View view;
        auto *high = view.findChild<QLabel *>(QStringLiteral("label_Dashboard_High"));
        ProgramState::currentLanguage = LanguageRussian;
        view.updateLanguage_Info();
        QVERIFY(high->styleSheet().contains(QLatin1String("24px")));
        ProgramState::currentLanguage = 42;
        view.updateLanguage_Info();
        QVERIFY(high->styleSheet().contains(QLatin1String("28px")));
        ProgramState::currentLanguage = LanguageEnglish;
        QCOMPARE(text(view, "label_Dashboard"), QStringLiteral("Load"));
    }
};

QTEST_MAIN(TestInformation)
#include "tst_ui_information.moc"
