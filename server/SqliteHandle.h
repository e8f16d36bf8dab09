#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// A small owner of one SQLite connection for the server's files, with prepared
// statements whose values are always bound, never put into the SQL text.
// The first failure is kept in error() until clearError().
class SqliteHandle
{
public:
    class Statement
    {
    public:
        Statement(SqliteHandle &owner, sqlite3_stmt *statement);
        ~Statement();
        Statement(Statement &&other) noexcept;
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;
        Statement &operator=(Statement &&) = delete;

        Statement &bind(qint64 value);
        Statement &bind(int value) { return bind(qint64(value)); }
        Statement &bind(double value);
        Statement &bind(const QString &value);
        Statement &bind(const QByteArray &blob);
        // Runs a statement that returns no rows.
        bool run();
        // Advances to the next row; false at the end or on an error.
        bool step();
        qint64 integer(int column) const;
        double real(int column) const;
        QString text(int column) const;
        QByteArray blob(int column) const;
        bool isNull(int column) const;

    private:
        SqliteHandle &m_owner;
        sqlite3_stmt *m_statement;
        int m_column = 0;
    };

    SqliteHandle() = default;
    ~SqliteHandle();
    SqliteHandle(const SqliteHandle &) = delete;
    SqliteHandle &operator=(const SqliteHandle &) = delete;

    // Opens `path`; `create` allows a new file. A read-only open never writes.
    bool open(const QString &path, bool create);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // Runs a script of statements without values.
    bool exec(const char *sql);
    Statement prepare(const char *sql);
    qint64 lastInsertId() const;
    int changes() const;
    QString error() const { return m_error; }
    void clearError() { m_error.clear(); }

private:
    void fail();
    sqlite3 *m_db = nullptr;
    QString m_error;
};
