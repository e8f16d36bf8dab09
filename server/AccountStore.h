#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <mutex>
#include <optional>

#include "SqliteHandle.h"

// The server's own SQLite file (VocamoServer.db in the data folder): accounts with salted
// PBKDF2-SHA256 password hashes, their settings, chosen books, memorisation state per
// account/category/book/word, and what the program sends about notes, readings,
// questions and compositions. Every public call is atomic and thread-safe.
class TAccountStore
{
public:
    struct Account
    {
        int id = 0;
        QString login;    // zone + phone: the name the program signs in with
        QString phone;
        QString secret;   // opaque per-account text sent as User_PassWord
    };
    struct Book
    {
        int category = 0, bookId = 0, bookIndex = 0;
    };
    struct Mark
    {
        int category = 0, bookId = 0, wordId = 0, ability = 0, count = 0, round = 0;
    };
    struct MemoRow
    {
        int bookId = 0, wordId = 0, ability = 0, count = 0, round = 0;
        double time = 0;   // day number
    };
    struct Composition
    {
        int id = 0, articleId = 0, userId = 0;
        QString hash;
        QByteArray content;
        double writeDate = 0;
    };

    // Opens (creating when missing) dataDir/VocamoServer.db.
    bool open(const QString &dataDir, QString *error);
    bool isOpen() const;

    // The new account's id, 0 when the name is taken or the store fails. `firstBooks`
    // (category, book id) are chosen for it in the same transaction.
    int addAccount(const QString &zone, const QString &phone, const QString &password,
                   const QList<QPair<int, int>> &firstBooks);
    std::optional<Account> findByLogin(const QString &login);
    std::optional<Account> findById(int id);
    // An account named `login`, else the only account with that phone number.
    std::optional<Account> findByName(const QString &name);
    bool checkPassword(int id, const QString &password);

    QHash<QString, int> settings(int userId);
    bool setSettings(int userId, const QList<QPair<QString, int>> &values);

    QList<Book> books(int userId, const QList<int> &categories);
    bool addBook(int userId, int category, int bookId);
    bool removeBook(int userId, int category, int bookId);
    bool setBookIndex(int userId, int category, int bookId, int index);

    // Stores every mark (ability, count, round, time `now`) in one transaction.
    bool storeMarks(int userId, const QList<Mark> &marks, double now);
    QList<MemoRow> memo(int userId, int category);
    std::optional<MemoRow> memoRow(int userId, int category, int bookId, int wordId);

    bool addNote(int userId, const QString &title, const QString &text);
    // Reading (31), question (36) and composition (42) hardness or state per item.
    bool setItemState(int userId, int kind, int itemId, int value, int day);
    bool setField(int userId, int code, const QString &name, qint64 value);
    bool addAnswers(int userId, const QByteArray &json);
    bool saveComposition(int userId, int articleId, const QString &hash, const QByteArray &content, double now);
    bool deleteComposition(int userId, const QString &hash);
    QList<Composition> compositions(int userId, int articleId);

private:
    std::optional<Account> accountFrom(SqliteHandle::Statement &query);
    bool ok();

    std::recursive_mutex m_mutex;
    SqliteHandle m_db;
};
