// Renders the information, lighting, notification and settings pages, the list of light
// modes and the location dialog in the given languages, with the fonts each language
// gets, for a look at glyphs and clipped texts:
//   language_screenshots <out folder> <code>...     (codes such as en jp th ru)
// Files are named <page>_<code>.png.
#include "LanguageFonts.h"
#include "Main_View.h"
#include "ProgramState.h"
#include "Widget_LocationPolicy.h"

#include "LightingTypes.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int languageOfCode(const char *code)
{
    for (int language = 0; language < LanguageCount; ++language) {
        if (std::strcmp(languageCode(language), code) == 0)
            return language;
    }
    return -1;
}

HWData sampleData()
{
    HWData data{};
    data.reset();
    for (int m = 0; m < kModuleCount; ++m)
        data.memoryIndex[m] = m < 4 ? m : -1;
    data.clock = 3200;
    data.casLatency = 16;
    data.tRCD = 18;
    data.channelCount = 2;
    data.physicalMemoryUsed = 12000;
    data.physicalMemoryLoad = 37.5;
    for (int m = 0; m < 4; ++m) {
        data.memoryData[m].memoryModuleSize = 16384;
        data.memoryData[m].temperature = 41;
        data.memoryData[m].frequency = 3200;
        setText(data.memoryData[m].memoryType, "DDR4");
    }
    return data;
}

} // namespace

int main(int argc, char **argv)
{
    TestEnvironment env;
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <out folder> <code>...\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    Main_View view;
    view.show();
    view.setSlotNumber(4, 4);
    int order[kModuleCount] = {0, 1, 2, 3, 4, 5, 6, 7};
    QTranslator translator;
    for (int i = 2; i < argc; ++i) {
        const int language = languageOfCode(argv[i]);
        if (language < 0 || !translator.load(QStringLiteral(":/KVRGBMemory/VELTRIMA_%1.qm").arg(QLatin1String(argv[i])))) {
            std::fprintf(stderr, "no catalogue for %s\n", argv[i]);
            return 1;
        }
        QCoreApplication::installTranslator(&translator);
        ProgramState::currentLanguage = language;
        QElapsedTimer fontTimer;
        fontTimer.start();
        LanguageFonts::use(language);
        std::printf("fonts for %s in %lld ms\n", argv[i], static_cast<long long>(fontTimer.elapsed()));
        view.updateLanguage_MainView();
        const struct {
            const char *name;
            int menu;
        } pages[] = {{"information", 0}, {"lighting", 1}, {"notification", 2}, {"settings", 4}};
        for (const auto &page : pages) {
            view.menuButton(page.menu)->click();
            emit view.setHWData(sampleData());
            emit view.setMemorySlotNumber(4, order);
            emit view.setLighting(0, 6, 0, 2, false);
            // The settings page names the language of the record it was sent.
            SettingData setting{};
            setting.language = language;
            emit view.setSettingData(setting);
            settle(400);
            const QString file = out.filePath(QStringLiteral("%1_%2.png").arg(QLatin1String(page.name), QLatin1String(argv[i])));
            if (!view.grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
            std::printf("%s\n", qPrintable(file));
        }
        // The lighting page's list of light modes, opened as a click opens it.
        view.slot_show_Lighting();
        auto *modeButton = view.findChild<QPushButton *>(QStringLiteral("btn_LightMode"));
        auto *modeList = view.findChild<QWidget *>(QStringLiteral("Widget_Light_Mode_View"));
        if (modeButton && modeList) {
            modeButton->click();
            settle(200);
            const QString file = out.filePath(QStringLiteral("lightmodes_%1.png").arg(QLatin1String(argv[i])));
            if (!view.grab().save(file))
                return 1;
            std::printf("%s\n", qPrintable(file));
            modeList->hide();
        }
        // The lighting page while its LEDs are edited (Cancel and Apply shown).
        auto *edit = view.findChild<QPushButton *>(QStringLiteral("btn_Edit"));
        auto *cancel = view.findChild<QPushButton *>(QStringLiteral("btn_Edit_Cancel"));
        if (edit && cancel && edit->isEnabled()) {
            edit->click();
            settle(100);
            const QString file = out.filePath(QStringLiteral("lighting-edit_%1.png").arg(QLatin1String(argv[i])));
            if (!view.grab().save(file))
                return 1;
            std::printf("%s\n", qPrintable(file));
            cancel->click();
        }
        Widget_LocationPolicy policy;
        policy.updateTexts();
        policy.show();
        settle(100);
        const QString policyFile = out.filePath(QStringLiteral("location_%1.png").arg(QLatin1String(argv[i])));
        if (!policy.grab().save(policyFile))
            return 1;
        std::printf("%s\n", qPrintable(policyFile));
    }
    return 0;
}
