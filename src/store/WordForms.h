#pragma once

#include <QString>
#include <QStringList>

class TAdoChannel;

// Candidate base forms of an inflected English word, for looking up headwords and sound
// files. The suffix rules over-generate on purpose: callers try every candidate (an "or"
// list in SQL, or file names), and wrong candidates simply match nothing.

// The text itself, then (for a text ending in "'s") the text without it, then the base
// forms the Irregular table gives for the text as a past tense or past participle, then
// the forms of the first matching suffix rule ("al", "ed", "er", "est", "ing", "ly",
// "ment", "s"; no suffix rule after "'s"). Suffix tests ignore letter case; the stripped
// forms keep the case of the text. Duplicates stay, in the order produced. A failed
// Irregular query adds no irregular forms.
QStringList WordForms(TAdoChannel &channel, const QString &text);

// Candidate forms of a word or phrase. The text is trimmed first; an empty text gives an
// empty list, a single word its WordForms. For a phrase, the WordForms of the first word
// each followed by " " and the rest of the phrase ("looked after" gives "looked after",
// "look after", "looke after").
QStringList PhraseForms(TAdoChannel &channel, const QString &text);
