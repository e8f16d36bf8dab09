#pragma once

#include "platform/SqliteDatabase.h"
#include "platform/SqliteDataset.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The one doorway to a local database file: runs SQL text built by its callers, hands out
// open datasets and runs data-changing statements singly or as all-or-nothing batches.
// No operation throws or shows anything; failures are results, with lastError() telling
// what went wrong for logs and tests.
//
// Datasets stay owned by the channel. A dataset pointer is valid until the same name or
// slot is opened again (the same object then holds the new rows), the name is freed, or the
// channel is destroyed. Reopening a name or slot closes what it held before: finish reading
// a slot-1 dataset before anything else uses slot 1.
class TAdoChannel
{
public:
    TAdoChannel();
    ~TAdoChannel();
    TAdoChannel(const TAdoChannel &) = delete;
    TAdoChannel &operator=(const TAdoChannel &) = delete;

    // Builds "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>; Jet OLEDB:Database
    // Password=<password>" and connects with it. The file must exist and be an SQLite
    // database; the password is kept in the connection string only (SQLite files carry
    // none).
    bool OpenDatabase(const QString &path, const QString &password);
    // (Re)opens the connection on the file named by the "Data Source=" entry of
    // `connectionString`; datasets handed out before are closed.
    bool Connect(const QString &connectionString);

    // Runs a row-returning statement in the named query (names compared without case);
    // the name is registered even when the statement fails. nullptr on failure.
    SqliteDataset *OpenNamed(const QString &name, const QString &sql);
    // Runs a row-returning statement in slot `slot` (from 1). Slots 1..count reuse their
    // query, count + 1 adds one; any other number gives nullptr and creates nothing.
    SqliteDataset *OpenSlot(const QString &sql, int slot);
    SqliteDataset *Query(const QString &sql) { return OpenSlot(sql, 1); }
    SqliteDataset *Query2(const QString &sql) { return OpenSlot(sql, 2); }
    // The named query as it stands, without running anything; nullptr for an unknown name.
    SqliteDataset *FindNamed(const QString &name) const;
    // Frees the named query; an unknown name is ignored.
    void FreeNamed(const QString &name);

    // Runs exactly one statement, without a transaction of its own. Text holding more
    // than one statement is refused and nothing of it runs.
    bool Execute(const QString &sql);
    // Runs the statements in order and stops at the first failure.
    bool ExecuteList(const QStringList &sqls);
    // As Execute / ExecuteList inside one transaction: committed when everything
    // succeeded, otherwise rolled back completely.
    bool ExecuteInTransaction(const QString &sql);
    bool ExecuteListInTransaction(const QStringList &sqls);

    const QString &DatabasePath() const { return m_databasePath; }
    bool Connected() const { return m_connected; }
    const QString &ConnectionString() const { return m_connectionString; }
    QString lastError() const { return m_lastError; }
    SqliteDatabase &database() { return *m_connection; }

    int slotCount() const { return int(m_slotQueries.size()); }

private:
    bool connectTo(const QString &connectionString, const QString &path);
    SqliteDataset *run(SqliteDataset &dataset, const QString &sql);
    bool inTransaction(const std::function<bool()> &work);

    // The connection outlives every dataset bound to it (members die in reverse order).
    std::unique_ptr<SqliteDatabase> m_connection;
    std::vector<std::pair<QString, std::unique_ptr<SqliteDataset>>> m_namedQueries;
    std::vector<std::unique_ptr<SqliteDataset>> m_slotQueries;
    QString m_databasePath;
    QString m_connectionString;
    bool m_connected = false;
    QString m_lastError;
};
