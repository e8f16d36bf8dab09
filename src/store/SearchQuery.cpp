#include "store/SearchQuery.h"

#include "store/Routine.h"
#include "store/Statements.h"

namespace {

const QString AllNames = QStringLiteral(" TotalWords.WORD_NAME like '%'");
const QString AllMeanings = QStringLiteral(" TotalWords.WORD_TRANS like '%'");

QString EveryWord(bool byName)
{
    return byName ? AllNames : AllMeanings;
}

bool IsOperator(QChar c)
{
    return c == u'&' || c == u'|';
}

// Index of the first "&" or "|" outside parentheses, or -1. A character is shielded
// while the depth counted so far (including the character itself) is above zero, but
// only when the text closes a parenthesis somewhere: an unclosed "(" shields nothing.
qsizetype SplitPosition(const QString &text)
{
    const bool closes = text.contains(u')');
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        if (depth > 0 && closes)
            continue;
        if (IsOperator(c))
            return i;
    }
    return -1;
}

} // namespace

bool IsHeadwordText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
        if (!letter && u != u' ' && u != u'#' && u != u'%' && u != u'*' && u != u'?'
            && u != u'_')
            return false;
    }
    return true;
}

bool IsBadOperand(const QString &text)
{
    QString rest = text;
    for (const QChar c : {u'#', u'|', u'&', u'(', u')'})
        rest.remove(c);
    rest = DelphiTrim(rest);
    return rest.isEmpty() || rest.contains(u'\'');
}

QString SimpleTerm(const QString &text, bool byName)
{
    QString bare = text;
    bare.remove(u'#');
    if (bare.isEmpty())
        return EveryWord(byName);

    QString pattern = text;
    pattern.replace(u'*', u'%').replace(u'?', u'_');
    const bool headword = byName && IsHeadwordText(pattern);

    if (text.contains(u'#'))
        pattern.remove(u'#');
    else if (!pattern.startsWith(u'%') && !pattern.endsWith(u'%'))
        pattern = u'%' + pattern + u'%';

    const QString column = headword ? QStringLiteral("WORD_NAME") : QStringLiteral("WORD_TRANS");
    return QStringLiteral(" TotalWords.%1 like '%2'").arg(column, SqlQuoted(pattern));
}

namespace {

// Operators and parentheses nest one call deeper each; a pasted text of thousands of them
// must neither exhaust the stack nor build a condition the database refuses as too deep,
// so beyond this depth the rest of the text is searched as one plain term.
constexpr int MaxNesting = 64;

QString BuildCondition(const QString &text, bool byName, int nesting)
{
    if (text.isEmpty())
        return EveryWord(byName);
    if (nesting > MaxNesting)
        return SimpleTerm(DelphiTrim(text), byName);

    const qsizetype at = SplitPosition(text);
    if (at >= 0) {
        const QString left = DelphiTrim(text.left(at));
        const QString right = DelphiTrim(text.mid(at + 1));
        const bool leftBad = IsBadOperand(left);
        const bool rightBad = IsBadOperand(right);
        if (!leftBad && !rightBad) {
            const QString joiner = text.at(at) == u'&' ? QStringLiteral(" and ")
                                                       : QStringLiteral(" or ");
            return BuildCondition(left, byName, nesting + 1) + joiner
                   + BuildCondition(right, byName, nesting + 1);
        }
        return BuildCondition(leftBad ? right : left, byName, nesting + 1);
    }

    if (text.size() >= 2 && text.startsWith(u'(') && text.endsWith(u')'))
        return u'(' + BuildCondition(text.mid(1, text.size() - 2), byName, nesting + 1) + u')';
    return SimpleTerm(DelphiTrim(text), byName);
}

} // namespace

QString BuildSearchCondition(const QString &text, bool byName)
{
    return BuildCondition(text, byName, 0);
}
