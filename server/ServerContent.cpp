#include "ServerContent.h"

#include "SqliteHandle.h"

#include <QFile>

const TContentBook *TServerContent::book(int id) const
{
    for (const TContentBook &entry : books) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

namespace {

const char *const kSchema =
    "create table books(book_id integer primary key, book_name text not null, sequence integer not null);"
    "create table book_words(book_id integer not null, position integer not null, word_id integer not null,"
    " primary key(book_id, position));"
    "create table words(word_id integer primary key, word_name text not null, word_symbol text,"
    " word_trans text, word_example text, word_class text);";

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

namespace {

bool WriteContentFile(const QString &path, const TServerContent &content, QString *error)
{
    SqliteHandle db;
    if (!db.open(path, true) || !db.exec("PRAGMA journal_mode = MEMORY") || !db.exec(kSchema) || !db.exec("BEGIN"))
        return Fail(error, QStringLiteral("%1: %2").arg(path, db.error()));
    int sequence = 0;
    for (const TContentBook &book : content.books) {
        auto insert = db.prepare("insert into books(book_id, book_name, sequence) values(?, ?, ?)");
        insert.bind(book.id).bind(book.name).bind(++sequence);
        if (!insert.run())
            return Fail(error, db.error());
        int position = 0;
        for (const int word : book.words) {
            auto link = db.prepare("insert into book_words(book_id, position, word_id) values(?, ?, ?)");
            link.bind(book.id).bind(++position).bind(word);
            if (!link.run())
                return Fail(error, db.error());
        }
    }
    for (const TContentWord &word : content.words) {
        auto insert = db.prepare("insert into words(word_id, word_name, word_symbol, word_trans, word_example, "
                                 "word_class) values(?, ?, ?, ?, ?, ?)");
        insert.bind(word.id).bind(word.name).bind(word.symbol).bind(word.meaning).bind(word.example)
            .bind(word.translation);
        if (!insert.run())
            return Fail(error, db.error());
    }
    if (!db.exec("COMMIT"))
        return Fail(error, db.error());
    return true;
}

} // namespace

// Written beside the target and renamed into place, so a failed run leaves the old file.
bool WriteServerContent(const QString &path, const TServerContent &content, QString *error)
{
    const QString temporary = path + QStringLiteral(".part");
    QFile::remove(temporary);
    if (!WriteContentFile(temporary, content, error)) {
        QFile::remove(temporary);
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        return Fail(error, QStringLiteral("cannot move %1 into place").arg(path));
    }
    return true;
}

bool LoadServerContent(const QString &path, TServerContent &content, QString *error)
{
    content = TServerContent();
    if (!QFile::exists(path))
        return Fail(error, QStringLiteral("content file %1 is missing").arg(path));
    SqliteHandle db;
    if (!db.open(path, false))
        return Fail(error, QStringLiteral("%1: %2").arg(path, db.error()));
    auto words = db.prepare("select word_id, word_name, word_symbol, word_trans, word_example, word_class from words");
    while (words.step()) {
        TContentWord word;
        word.id = int(words.integer(0));
        word.name = words.text(1);
        word.symbol = words.text(2);
        word.meaning = words.text(3);
        word.example = words.text(4);
        word.translation = words.text(5);
        content.words.insert(word.id, word);
    }
    auto books = db.prepare("select book_id, book_name from books order by sequence");
    while (books.step())
        content.books.append(TContentBook{int(books.integer(0)), books.text(1), {}});
    auto links = db.prepare("select book_id, word_id from book_words order by book_id, position");
    while (links.step()) {
        const int bookId = int(links.integer(0));
        for (TContentBook &book : content.books) {
            if (book.id == bookId) {
                book.words.append(int(links.integer(1)));
                break;
            }
        }
    }
    if (!db.error().isEmpty())
        return Fail(error, QStringLiteral("%1 is not a content file: %2").arg(path, db.error()));
    return true;
}
