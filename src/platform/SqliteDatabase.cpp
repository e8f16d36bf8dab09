#include "platform/SqliteDatabase.h"

#include "platform/SqliteDataset.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int BusyTimeoutMs = 5000;

struct StatementDeleter
{
    void operator()(sqlite3_stmt *stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

} // namespace

SqliteDatabase::SqliteDatabase() = default;

SqliteDatabase::~SqliteDatabase()
{
    close();
    for (SqliteDataset *dataset : m_datasets)
        dataset->connectionClosing();
}

bool SqliteDatabase::open(const QString &path)
{
    close();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        m_lastError = QStringLiteral("database file not found: %1").arg(path);
        return false;
    }
    return openWithFlags(path, SQLITE_OPEN_READWRITE);
}

// A connection is used by one thread at a time (the program's data side runs on the main
// thread), so SQLite's per-connection mutex, taken on every column read, is left out.

bool SqliteDatabase::create(const QString &path)
{
    close();
    if (QFileInfo::exists(path)) {
        m_lastError = QStringLiteral("file already exists: %1").arg(path);
        return false;
    }
    return openWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

bool SqliteDatabase::openWithFlags(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    m_db = db;
    if (rc != SQLITE_OK) {
        takeErrorFromHandle("open");
        close();
        return false;
    }
    if (sqlite3_db_readonly(m_db, "main") == 1) {
        m_lastError = QStringLiteral("database file is read-only: %1").arg(path);
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    // Opening is lazy in SQLite: only a real read shows whether the file is a database.
    if (sqlite3_exec(m_db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr)
        != SQLITE_OK) {
        takeErrorFromHandle("open");
        close();
        return false;
    }
    // Write-ahead logging: a commit costs one sync of the log instead of the three or four of
    // a rollback journal, which keeps a marked word's commit off the critical path of a key
    // press; with synchronous left at FULL every committed transaction is still durable.
    // A file system without WAL support keeps its rollback journal.
    sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    m_path = path;
    m_lastError.clear();
    return true;
}

void SqliteDatabase::close()
{
    for (SqliteDataset *dataset : m_datasets)
        dataset->releaseStatement();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_depth = 0;
    m_path.clear();
}

bool SqliteDatabase::exec(const QString &sql)
{
    if (!m_db) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    finishPendingReads();
    return runOne(sql);
}

bool SqliteDatabase::runOne(const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &raw, &tail) != SQLITE_OK) {
        takeErrorFromHandle("prepare");
        return false;
    }
    Statement stmt(raw);
    if (!stmt) {
        m_lastError = QStringLiteral("empty statement");
        return false;
    }
    // A second statement in the text would otherwise be dropped without a word.
    sqlite3_stmt *extra = nullptr;
    const int rest = int(utf8.constData() + utf8.size() - tail);
    if (sqlite3_prepare_v2(m_db, tail, rest, &extra, nullptr) != SQLITE_OK || extra) {
        sqlite3_finalize(extra);
        m_lastError = QStringLiteral("more than one statement in: %1").arg(sql);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        takeErrorFromHandle("exec");
        return false;
    }
    m_lastError.clear();
    return true;
}

bool SqliteDatabase::execScript(const QString &sql)
{
    if (!m_db) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    finishPendingReads();
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        takeErrorFromHandle("exec");
        return false;
    }
    return true;
}

bool SqliteDatabase::begin()
{
    if (!exec(QStringLiteral("savepoint vocamo_tx")))
        return false;
    ++m_depth;
    return true;
}

bool SqliteDatabase::commit()
{
    if (m_depth == 0) {
        m_lastError = QStringLiteral("no transaction to commit");
        return false;
    }
    if (!exec(QStringLiteral("release vocamo_tx")))
        return false;
    --m_depth;
    return true;
}

bool SqliteDatabase::rollback()
{
    if (m_depth == 0) {
        m_lastError = QStringLiteral("no transaction to roll back");
        return false;
    }
    --m_depth;
    // An error such as a full disk may already have rolled the whole transaction back,
    // taking the savepoint with it; then there is nothing left to undo.
    if (sqlite3_get_autocommit(m_db)) {
        m_depth = 0;
        return true;
    }
    const bool undone = exec(QStringLiteral("rollback to vocamo_tx"));
    const bool released = exec(QStringLiteral("release vocamo_tx"));
    return undone && released;
}

qint64 SqliteDatabase::lastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

void SqliteDatabase::attach(SqliteDataset *dataset)
{
    m_datasets.push_back(dataset);
}

void SqliteDatabase::detach(SqliteDataset *dataset)
{
    m_datasets.erase(std::remove(m_datasets.begin(), m_datasets.end(), dataset),
                     m_datasets.end());
}

void SqliteDatabase::finishPendingReads()
{
    for (SqliteDataset *dataset : m_datasets)
        dataset->fetchAll();
}

void SqliteDatabase::takeErrorFromHandle(const char *context)
{
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                 : QStringLiteral("out of memory");
    m_lastError = QStringLiteral("%1: %2").arg(QLatin1String(context), message);
}
