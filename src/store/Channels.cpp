#include "store/Channels.h"

#include <algorithm>

namespace {

// The value of the "Data Source=" entry; up to the next semicolon unless quoted.
QString dataSourceOf(const QString &connectionString)
{
    const QLatin1String key("Data Source=");
    const qsizetype at = connectionString.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size();
    const QStringView rest = QStringView(connectionString).mid(start);
    if (!rest.isEmpty() && (rest.front() == u'"' || rest.front() == u'\'')) {
        const qsizetype close = rest.indexOf(rest.front(), 1);
        return (close < 0 ? rest.mid(1) : rest.mid(1, close - 1)).toString();
    }
    const qsizetype end = rest.indexOf(u';');
    return (end < 0 ? rest : rest.left(end)).trimmed().toString();
}

} // namespace

TAdoChannel::TAdoChannel() : m_connection(std::make_unique<SqliteDatabase>()) {}

TAdoChannel::~TAdoChannel()
{
    // Datasets first, then the connection they are bound to.
    m_namedQueries.clear();
    m_slotQueries.clear();
    m_connection.reset();
}

bool TAdoChannel::OpenDatabase(const QString &path, const QString &password)
{
    m_databasePath = path;
    const QString connectionString =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1; Jet OLEDB:Database Password=%2")
            .arg(path, password);
    // The path is known here, so it need not survive a round trip through the string
    // (a path may itself hold a semicolon).
    return connectTo(connectionString, path);
}

bool TAdoChannel::Connect(const QString &connectionString)
{
    return connectTo(connectionString, dataSourceOf(connectionString));
}

bool TAdoChannel::connectTo(const QString &connectionString, const QString &path)
{
    m_connection->close();
    m_connected = false;
    m_connectionString = connectionString;
    if (path.isEmpty()) {
        m_lastError = QStringLiteral("no Data Source in the connection string");
        return false;
    }
    if (!m_connection->open(path)) {
        m_lastError = m_connection->lastError();
        return false;
    }
    m_connected = true;
    m_lastError.clear();
    return true;
}

SqliteDataset *TAdoChannel::run(SqliteDataset &dataset, const QString &sql)
{
    if (!dataset.open(sql)) {
        m_lastError = dataset.lastError();
        return nullptr;
    }
    m_lastError.clear();
    return &dataset;
}

SqliteDataset *TAdoChannel::OpenNamed(const QString &name, const QString &sql)
{
    SqliteDataset *dataset = FindNamed(name);
    if (!dataset) {
        m_namedQueries.emplace_back(name, std::make_unique<SqliteDataset>(m_connection.get()));
        dataset = m_namedQueries.back().second.get();
    }
    return run(*dataset, sql);
}

SqliteDataset *TAdoChannel::OpenSlot(const QString &sql, int slot)
{
    const int count = slotCount();
    if (slot < 1 || slot > count + 1) {
        m_lastError = QStringLiteral("no slot %1 (%2 in use)").arg(slot).arg(count);
        return nullptr;
    }
    if (slot == count + 1) {
        m_slotQueries.push_back(std::make_unique<SqliteDataset>(m_connection.get()));
    }
    return run(*m_slotQueries[size_t(slot - 1)], sql);
}

SqliteDataset *TAdoChannel::FindNamed(const QString &name) const
{
    const auto found = std::find_if(m_namedQueries.begin(), m_namedQueries.end(),
                                    [&](const auto &entry) {
                                        return entry.first.compare(name, Qt::CaseInsensitive) == 0;
                                    });
    return found == m_namedQueries.end() ? nullptr : found->second.get();
}

void TAdoChannel::FreeNamed(const QString &name)
{
    const auto found = std::find_if(m_namedQueries.begin(), m_namedQueries.end(),
                                    [&](const auto &entry) {
                                        return entry.first.compare(name, Qt::CaseInsensitive) == 0;
                                    });
    if (found != m_namedQueries.end())
        m_namedQueries.erase(found);
}

bool TAdoChannel::Execute(const QString &sql)
{
    if (!m_connection->isOpen()) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    if (!m_connection->exec(sql)) {
        m_lastError = m_connection->lastError();
        return false;
    }
    m_lastError.clear();
    return true;
}

bool TAdoChannel::ExecuteList(const QStringList &sqls)
{
    for (const QString &sql : sqls) {
        if (!Execute(sql))
            return false;
    }
    return true;
}

bool TAdoChannel::inTransaction(const std::function<bool()> &work)
{
    if (!m_connection->isOpen()) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    if (!m_connection->begin()) {
        m_lastError = m_connection->lastError();
        return false;
    }
    const bool done = work();
    if (done && m_connection->commit())
        return true;
    const QString reason = done ? m_connection->lastError() : m_lastError;
    m_connection->rollback();
    m_lastError = reason;
    return false;
}

bool TAdoChannel::ExecuteInTransaction(const QString &sql)
{
    return inTransaction([&] { return Execute(sql); });
}

bool TAdoChannel::ExecuteListInTransaction(const QStringList &sqls)
{
    return inTransaction([&] { return ExecuteList(sqls); });
}
