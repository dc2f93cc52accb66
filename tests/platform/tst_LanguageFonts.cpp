#include "LanguageFonts.h"
#include "LightingTypes.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QLabel>
#include <QTextLayout>
#include <QtTest>

namespace {

// The family each run of the label's text is drawn in, in order of the text.
QStringList drawnFamilies(const QLabel &label)
{
    QTextLayout layout(label.text(), label.font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QList<QGlyphRun> runs = layout.glyphRuns();
    std::sort(runs.begin(), runs.end(), [](const QGlyphRun &a, const QGlyphRun &b) {
        return a.positions().value(0).x() < b.positions().value(0).x();
    });
    QStringList families;
    for (const QGlyphRun &run : runs)
        families.append(run.rawFont().familyName().toLower());
    return families;
}

} // namespace

class TestLanguageFonts : public QObject
{
    Q_OBJECT
private slots:
    void familiesFollowTheLanguage()
    {
        QCOMPARE(LanguageFonts::arialFamilies(LanguageJapanese, QStringLiteral("DejaVu Sans")),
                 QStringList({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP")}));
        QCOMPARE(LanguageFonts::arialFamilies(LanguageTraditionalChinese, QString()).value(1),
                 QStringLiteral("Noto Sans CJK TC"));
        QCOMPARE(LanguageFonts::arialFamilies(LanguageThai, QStringLiteral("Liberation Sans")).value(1),
                 QStringLiteral("Noto Sans Thai UI"));
        QCOMPARE(LanguageFonts::arialFamilies(LanguageRussian, QStringLiteral("DejaVu Sans")),
                 QStringList({QStringLiteral("DejaVu Sans")}));
        QCOMPARE(LanguageFonts::arialFamilies(42, QString()), QStringList({QStringLiteral("Arial")}));
    }

    // A label styled in Arial: Latin keeps its stand-in, Han takes the shapes of the
    // language shown, also for a label styled before the language changed.
    void styledLabelsTakeTheLanguagesFonts()
    {
        const QStringList installed = QFontDatabase().families();
        for (const char *family : {"Noto Sans CJK JP", "Noto Sans CJK SC", "Noto Sans Thai UI"}) {
            if (!installed.contains(QLatin1String(family)))
                QSKIP("the CJK and Thai fonts of the set-up are not installed");
        }
        LanguageFonts::use(LanguageEnglish);
        QLabel label(QStringLiteral("Ab \u76f4\u9aa8"));
        label.setStyleSheet(QStringLiteral("QLabel {font-family: Arial; font-size: 20px;}"));
        label.ensurePolished();
        const QString latin = drawnFamilies(label).value(0);
        const int lineHeight = QFontMetrics(label.font()).height();

        LanguageFonts::use(LanguageJapanese);
        label.ensurePolished();
        QCOMPARE(drawnFamilies(label), QStringList({latin, QStringLiteral("noto sans cjk jp")}));

        LanguageFonts::use(LanguageSimplifiedChinese);
        QCOMPARE(drawnFamilies(label), QStringList({latin, QStringLiteral("noto sans cjk sc")}));
        QCOMPARE(QFontMetrics(label.font()).height(), lineHeight);

        LanguageFonts::use(LanguageThai);
        label.setText(QStringLiteral("Ab \u0e44\u0e17\u0e22"));
        QCOMPARE(drawnFamilies(label), QStringList({latin, QStringLiteral("noto sans thai ui")}));
    }
};

QTEST_MAIN(TestLanguageFonts)
#include "tst_LanguageFonts.moc"
