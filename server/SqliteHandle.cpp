#include "SqliteHandle.h"

#include <QFile>

#include <sqlite3.h>

SqliteHandle::Statement::Statement(SqliteHandle &owner, sqlite3_stmt *statement)
    : m_owner(owner), m_statement(statement)
{
}

SqliteHandle::Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

SqliteHandle::Statement::Statement(Statement &&other) noexcept
    : m_owner(other.m_owner), m_statement(other.m_statement), m_column(other.m_column)
{
    other.m_statement = nullptr;
}

SqliteHandle::Statement &SqliteHandle::Statement::bind(qint64 value)
{
    sqlite3_bind_int64(m_statement, ++m_column, value);
    return *this;
}

SqliteHandle::Statement &SqliteHandle::Statement::bind(double value)
{
    sqlite3_bind_double(m_statement, ++m_column, value);
    return *this;
}

SqliteHandle::Statement &SqliteHandle::Statement::bind(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_statement, ++m_column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteHandle::Statement &SqliteHandle::Statement::bind(const QByteArray &blob)
{
    sqlite3_bind_blob(m_statement, ++m_column, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

bool SqliteHandle::Statement::run()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    m_column = 0;
    if (rc == SQLITE_DONE || rc == SQLITE_ROW)
        return true;
    m_owner.fail();
    return false;
}

bool SqliteHandle::Statement::step()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_owner.fail();
    return false;
}

qint64 SqliteHandle::Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteHandle::Statement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString SqliteHandle::Statement::text(int column) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column)) : QString();
}

QByteArray SqliteHandle::Statement::blob(int column) const
{
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
    return bytes ? QByteArray(bytes, sqlite3_column_bytes(m_statement, column)) : QByteArray();
}

bool SqliteHandle::Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

SqliteHandle::~SqliteHandle()
{
    close();
}

bool SqliteHandle::open(const QString &path, bool create)
{
    close();
    const int flags = create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        fail();
        close();
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

void SqliteHandle::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteHandle::exec(const char *sql)
{
    if (!m_db)
        return false;
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (m_error.isEmpty())
        m_error = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
    sqlite3_free(message);
    return false;
}

SqliteHandle::Statement SqliteHandle::prepare(const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
        fail();
    return Statement(*this, statement);
}

qint64 SqliteHandle::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int SqliteHandle::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

void SqliteHandle::fail()
{
    if (m_error.isEmpty())
        m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no database");
}
