#include "CatalogueCheck.h"

#include <QRegularExpression>

#include <utility>

namespace {

QStringList markersOf(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%L?[0-9]+|%n"));
    QStringList markers;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        markers << it.next().captured();
    markers.sort();
    return markers;
}

QString listed(const QStringList &markers)
{
    return markers.isEmpty() ? QStringLiteral("none") : markers.join(QLatin1Char(' '));
}

} // namespace

CatalogueCheck::CatalogueCheck(Catalogue used, Catalogue english)
    : m_used(std::move(used))
    , m_english(std::move(english))
{
}

QStringList CatalogueCheck::problems(const Catalogue &language, bool isEnglish) const
{
    QStringList found = language.problems();
    for (auto it = m_used.messages().cbegin(); it != m_used.messages().cend(); ++it) {
        if (!language.find(it.key()))
            found << it.key().describe() + QStringLiteral(": missing (the code uses it)");
    }
    if (!isEnglish) {
        for (auto it = m_english.messages().cbegin(); it != m_english.messages().cend(); ++it) {
            if (!language.find(it.key()) && !m_used.find(it.key()))
                found << it.key().describe() + QStringLiteral(": missing (the English catalogue has it)");
        }
    }
    for (auto it = language.messages().cbegin(); it != language.messages().cend(); ++it)
        found << textProblems(it.key(), it.value(), isEnglish);
    return found;
}

QStringList CatalogueCheck::textProblems(const Catalogue::Key &key, const Catalogue::Message &message,
                                         bool isEnglish) const
{
    const QString where = key.describe() + QStringLiteral(" in ") + message.file + QStringLiteral(": ");
    if (!message.finished)
        return {where + QStringLiteral("unfinished")};
    // The English text is the model for every other language; English itself answers
    // to the source text for its markers only, as its keys may be identifiers.
    const Catalogue::Message *english = isEnglish ? nullptr : m_english.find(key);
    const QString model = english && !english->forms.isEmpty() ? english->forms.constFirst() : key.source;
    QStringList found;
    for (const QString &form : message.forms) {
        if (form.trimmed().isEmpty()) {
            found << where + QStringLiteral("empty");
            continue;
        }
        if (markersOf(form) != markersOf(model))
            found << where + QStringLiteral("markers %1, the English has %2")
                                 .arg(listed(markersOf(form)), listed(markersOf(model)));
        if (english && form.count(QLatin1Char('\n')) != model.count(QLatin1Char('\n')))
            found << where + QStringLiteral("%1 line breaks, the English has %2")
                                 .arg(form.count(QLatin1Char('\n')))
                                 .arg(model.count(QLatin1Char('\n')));
    }
    if (message.forms.isEmpty())
        found << where + QStringLiteral("empty");
    return found;
}
