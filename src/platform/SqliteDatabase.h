#pragma once

#include <QString>

#include <vector>

struct sqlite3;
class SqliteDataset;

// One read-write connection to an existing SQLite database file. Failures are results
// (false) with lastError() describing them; nothing throws.
//
// Every SqliteDataset bound to the connection registers itself here. Before any statement
// that may write (exec, begin, a dataset's post), datasets still reading lazily from an
// open statement fetch their remaining rows first, so a dataset always shows the rows as
// they were when it was opened (a client-side cursor) and never sees its own writes twice.
// Closing the connection closes every bound dataset.
//
// A connection belongs to one thread at a time (opened without SQLite's connection mutex).
// Foreign keys are left as SQLite's default (not enforced); a busy timeout of a few
// seconds lets a second process finish its write instead of failing at once.
class SqliteDatabase
{
public:
    SqliteDatabase();
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    // Opens an existing database file read-write. A missing file, a directory, a file
    // that cannot be written, or one that is not an SQLite database fails; no file is
    // ever created. An open connection is closed first.
    bool open(const QString &path);
    // Creates a new, empty database file and opens it; fails when `path` already exists.
    bool create(const QString &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // Runs exactly one statement (rows it returns are discarded). Text holding a second
    // statement after the first is an error and nothing is run; trailing blanks,
    // comments and semicolons are allowed. Empty text is an error.
    bool exec(const QString &sql);
    // Runs a script of any number of statements (schema files); stops at the first error.
    bool execScript(const QString &sql);

    // Transactions nest: the outermost begin starts a transaction, inner ones set
    // savepoints. rollback undoes everything since the matching begin.
    bool begin();
    bool commit();
    bool rollback();
    int transactionDepth() const { return m_depth; }

    QString lastError() const { return m_lastError; }
    qint64 lastInsertRowId() const;
    sqlite3 *handle() const { return m_db; }

    // Used by SqliteDataset.
    void attach(SqliteDataset *dataset);
    void detach(SqliteDataset *dataset);
    void finishPendingReads();
    void setLastError(const QString &text) { m_lastError = text; }
    void takeErrorFromHandle(const char *context);

private:
    bool openWithFlags(const QString &path, int flags);
    bool runOne(const QString &sql);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_lastError;
    int m_depth = 0;
    std::vector<SqliteDataset *> m_datasets;
};
