#pragma once

#include "Catalogue.h"

// Finds what keeps one language's catalogue of a program from being complete: keys the
// code uses or the English catalogue has that it lacks, texts left unfinished or empty,
// and "%1"-style markers or line breaks that differ from the English text.
class CatalogueCheck
{
public:
    CatalogueCheck(Catalogue used, Catalogue english);

    QStringList problems(const Catalogue &language, bool isEnglish) const;

private:
    QStringList textProblems(const Catalogue::Key &key, const Catalogue::Message &message, bool isEnglish) const;

    Catalogue m_used;
    Catalogue m_english;
};
