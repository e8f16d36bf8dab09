#include "store/WordForms.h"

#include "store/Channels.h"
#include "store/Routine.h"
#include "store/Statements.h"

using namespace Qt::StringLiterals;

namespace {

bool EndsWith(const QString &text, QLatin1StringView suffix)
{
    return text.endsWith(suffix, Qt::CaseInsensitive);
}

QString Strip(const QString &text, qsizetype n)
{
    return text.left(qMax<qsizetype>(0, text.size() - n));
}

// The character n places from the end (1 = the last). The caller checks the length.
QChar FromEnd(const QString &text, qsizetype n)
{
    return text.at(text.size() - n);
}

void AddIrregularForms(TAdoChannel &channel, const QString &text, QStringList &forms)
{
    const QByteArray value = SqlQuoted(text).toUtf8();
    const QString sql =
        QString::asprintf(Statements::Irregular, value.constData(), value.constData());
    // A query of its own, so a caller's slot datasets are left as they were.
    const QString name = QStringLiteral("IrregularForms");
    if (SqliteDataset *rows = channel.OpenNamed(name, sql)) {
        for (rows->first(); !rows->eof(); rows->next())
            forms << DelphiTrim(rows->fieldByName("WordName").asText());
    }
    channel.FreeNamed(name);
}

// The forms of the first suffix rule that matches; later rules are not tried.
void AddSuffixForms(const QString &text, QStringList &forms)
{
    const auto n = text.size();
    if (EndsWith(text, "al"_L1)) {
        forms << Strip(text, 2);
    } else if (EndsWith(text, "ed"_L1)) {
        if (EndsWith(text, "ied"_L1)) {
            forms << Strip(text, 3) + u'y';
        } else {
            forms << Strip(text, 2) << Strip(text, 1);
            if (n > 4 && FromEnd(text, 4) == FromEnd(text, 3))
                forms << Strip(text, 3);
        }
    } else if (EndsWith(text, "er"_L1)) {
        forms << (EndsWith(text, "ier"_L1) ? Strip(text, 3) + u'y' : Strip(text, 2));
    } else if (EndsWith(text, "est"_L1)) {
        forms << (EndsWith(text, "iest"_L1) ? Strip(text, 4) + u'y' : Strip(text, 3));
    } else if (EndsWith(text, "ing"_L1)) {
        forms << Strip(text, 3) << Strip(text, 3) + u'e';
        if (n > 4 && FromEnd(text, 5) == FromEnd(text, 4))
            forms << Strip(text, 4);
    } else if (EndsWith(text, "ly"_L1)) {
        forms << (EndsWith(text, "ily"_L1) ? Strip(text, 3) + u'y' : Strip(text, 2));
    } else if (EndsWith(text, "ment"_L1)) {
        forms << Strip(text, 4);
    } else if (EndsWith(text, "s"_L1)) {
        forms << Strip(text, 1);
        if (EndsWith(text, "ness"_L1))
            forms << Strip(text, 4);
        else if (EndsWith(text, "ies"_L1))
            forms << Strip(text, 3) + u'y';
        else if (EndsWith(text, "es"_L1))
            forms << Strip(text, 2);
    }
}

} // namespace

QStringList WordForms(TAdoChannel &channel, const QString &text)
{
    QStringList forms{text};
    const bool possessive = EndsWith(text, "'s"_L1);
    if (possessive)
        forms << Strip(text, 2);
    AddIrregularForms(channel, text, forms);
    if (!possessive)
        AddSuffixForms(text, forms);
    return forms;
}

QStringList PhraseForms(TAdoChannel &channel, const QString &text)
{
    const QString phrase = DelphiTrim(text);
    if (phrase.isEmpty())
        return {};
    const qsizetype blank = phrase.indexOf(u' ');
    if (blank < 0)
        return WordForms(channel, phrase);

    const QString head = DelphiTrim(phrase.left(blank));
    const QString tail = DelphiTrim(phrase.mid(blank));
    QStringList forms = WordForms(channel, head);
    for (QString &form : forms)
        form += u' ' + tail;
    return forms;
}
