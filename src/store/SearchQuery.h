#pragma once

#include <QString>

// Turns the word search language into the condition of a "where" clause over TotalWords.
// Language: "&" is and, "|" is or, parentheses group, "*" matches any run of characters,
// "?" one character, and "#" anywhere in a term makes it exact (no implicit wildcards).
// The condition is written in LIKE syntax ("%" and "_"), which SQLite's LIKE shares;
// every single quote of a term is doubled, so no search text can change the statement.
// byName true searches the headword column WORD_NAME, false the meaning column WORD_TRANS.

// The whole condition, with a leading blank (" TotalWords.WORD_NAME like '%apple%'").
// An empty text matches every word. Operands joined without added parentheses, so the
// database's own precedence (and before or) applies.
QString BuildSearchCondition(const QString &text, bool byName);

// The condition of one term without operators. Even with byName set, a term holding
// anything but blanks, ASCII letters and the wildcard characters searches WORD_TRANS.
QString SimpleTerm(const QString &text, bool byName);

// True when the text, without its "#", "|", "&", "(" and ")" and trimmed, is empty or
// holds a single quote: such an operand of "&" or "|" is dropped.
bool IsBadOperand(const QString &text);

// True when every character is a blank, "#", "%", "*", "?", "_" or an ASCII letter
// (true for the empty text).
bool IsHeadwordText(const QString &text);
