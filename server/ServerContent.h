#pragma once

#include <QHash>
#include <QList>
#include <QString>

// The server's content: word books and their words, read from a small SQLite file that the
// store builder writes (vocamo-build-store --server-content PATH). Word ids are those of
// the program's store (TotalWords.WORD_ID), so progress kept by id points at the same words.
struct TContentWord
{
    int id = 0;
    QString name, symbol, meaning, example, translation;
};

struct TContentBook
{
    int id = 0;
    QString name;
    QList<int> words;   // word ids in book order
};

struct TServerContent
{
    QList<TContentBook> books;          // in catalogue order; the first is a new account's book
    QHash<int, TContentWord> words;     // by id

    const TContentBook *book(int id) const;
};

// Writes the content file at `path` (replacing it) in one transaction.
bool WriteServerContent(const QString &path, const TServerContent &content, QString *error);
// Reads a content file; false with a reason when it is missing or not a content file.
bool LoadServerContent(const QString &path, TServerContent &content, QString *error);
