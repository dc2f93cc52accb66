#include "LanguageFonts.h"

#include "LightingTypes.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>

#include <fontconfig/fontconfig.h>

namespace {

const QString kArial = QStringLiteral("Arial");

// Debian's fonts-noto-cjk and fonts-noto-ui-core; the UI cut of the Thai font keeps the
// marks above and below within the line height of a Latin font.
QString regionalFamily(int language)
{
    switch (language) {
    case LanguageTraditionalChinese:
        return QStringLiteral("Noto Sans CJK TC");
    case LanguageSimplifiedChinese:
        return QStringLiteral("Noto Sans CJK SC");
    case LanguageJapanese:
        return QStringLiteral("Noto Sans CJK JP");
    case LanguageKorean:
        return QStringLiteral("Noto Sans CJK KR");
    case LanguageThai:
        return QStringLiteral("Noto Sans Thai UI");
    default:
        return {};
    }
}

// The file fontconfig gives for a family, or an empty text.
QString fontFileOf(const QString &family)
{
    FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>(family.toUtf8().constData()));
    if (!pattern)
        return {};
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return {};
    FcChar8 *file = nullptr;
    QString path;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = QString::fromUtf8(reinterpret_cast<const char *>(file));
    FcPatternDestroy(match);
    return path;
}

// Qt keeps every font it resolved, fallbacks included, until its font database changes;
// adding a font and taking it away again is the public way to make it resolve anew.
void reloadFontDatabase(const QString &anyFamily)
{
    const QString file = fontFileOf(anyFamily);
    const int id = file.isEmpty() ? -1 : QFontDatabase::addApplicationFont(file);
    if (id < 0) {
        qWarning() << "LanguageFonts: cannot reload the font database; fonts already shown keep their shapes";
        return;
    }
    QFontDatabase::removeApplicationFont(id);
}

bool hasStyledAncestor(const QWidget *widget)
{
    for (const QWidget *w = widget->parentWidget(); w; w = w->parentWidget()) {
        if (!w->styleSheet().isEmpty())
            return true;
    }
    return false;
}

// A font that a widget already holds can outlive the reload with its old fallbacks; a
// style sheet taken away and given back makes the widget and all its children take new
// ones, so only the outermost styled widgets need it.
void restyleWidgets()
{
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        const QString sheet = widget->styleSheet();
        if (sheet.isEmpty() || hasStyledAncestor(widget))
            continue;
        widget->setStyleSheet(QString());
        widget->setStyleSheet(sheet);
    }
}

} // namespace

QStringList LanguageFonts::arialFamilies(int language, const QString &latinFamily)
{
    QStringList families{latinFamily.isEmpty() ? kArial : latinFamily};
    const QString regional = regionalFamily(language);
    if (!regional.isEmpty())
        families.append(regional);
    return families;
}

void LanguageFonts::use(int language)
{
    const QStringList before = QFont::substitutes(kArial);
    QFont::removeSubstitutions(kArial);
    const QString latin = QFontInfo(QFont(kArial)).family();
    QFont::insertSubstitutions(kArial, arialFamilies(language, latin));
    if (QFont::substitutes(kArial) == before)
        return;
    reloadFontDatabase(latin);
    restyleWidgets();
}
