#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QVariant>

#include <variant>
#include <vector>

struct sqlite3_stmt;
class SqliteDatabase;
class SqliteDataset;

// One column of the current row of a SqliteDataset: a small handle that reads and writes
// through its dataset. A handle for a column the dataset does not have is invalid: every
// read gives the empty value (isNull true, 0, "", empty bytes) and every write fails.
// Reads follow the stored value's SQLite storage class:
//   asInteger/asLargeInt  integer as is; real rounded to nearest, halves to even; text
//                         parsed as an integer, else as a number and rounded, else 0;
//                         null and blob 0. asInteger clamps to the 32-bit range.
//   asFloat               integer or real as a double; text parsed, else 0; null/blob 0.
//   asText                integer in decimal; real with up to 15 significant digits;
//                         text as is; blob decoded as UTF-8; null "".
//   asDateTime            the day number (see DateTime.h): integer or real as is; text
//                         holding a number, or an ISO date-time ("2011-01-01 06:00:00");
//                         anything else 0.
//   value                 QVariant of qlonglong, double, QString, QByteArray, or a null
//                         QVariant.
// Writes need the dataset in edit or insert state (false otherwise) and store the value
// with the matching storage class: integer, real (also date-time), text, blob.
class SqliteField
{
public:
    SqliteField() = default;

    bool isValid() const { return m_dataset != nullptr; }
    int index() const { return m_column; }
    QString name() const;

    bool isNull() const;
    QVariant value() const;
    int asInteger() const;
    qint64 asLargeInt() const;
    QString asText() const;
    double asFloat() const;
    double asDateTime() const;
    QByteArray loadBlob() const;

    bool setAsInteger(qint64 value) const;
    bool setAsText(const QString &value) const;
    bool setAsFloat(double value) const;
    bool setAsDateTime(double dayNumber) const;
    // Null/invalid variants store null; integral and bool types integer; floating types
    // real; QByteArray blob; QDateTime its day number; anything else its text.
    bool setValue(const QVariant &value) const;
    bool setNull() const;
    bool saveBlob(const QByteArray &bytes) const;

private:
    friend class SqliteDataset;
    SqliteField(SqliteDataset *dataset, int column) : m_dataset(dataset), m_column(column) {}

    SqliteDataset *m_dataset = nullptr;
    int m_column = -1;
};

// The rows of one row-returning statement, read forward from the statement as the caller
// advances and kept, so first() rewinds without running the statement again. Before the
// connection writes anything, the remaining rows are fetched (see SqliteDatabase), so the
// rows are those of the moment the statement was opened.
//
// Editing works like a client-side cursor. A query over one table ("select ... from T
// [alias] [where ...] [order by ...] [limit ...]", no join, grouping, distinct, aggregate or
// compound select) also fetches T's rowid; edit/append/post/remove then write back to T:
// post updates only the changed columns of the row with that rowid, inserts an appended
// row with only the columns that were set, and reads the written row back so the cache
// shows what the file holds (defaults, type affinity). Every value is bound as a
// parameter. Other queries are read-only: edit and append fail. Fields that are
// expressions rather than table columns can be read but not written back: post fails.
//
// Nothing throws: failures return false (or an invalid handle) and leave lastError().
class SqliteDataset
{
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Value = std::variant<std::monostate, qint64, double, QString, QByteArray>;

    explicit SqliteDataset(SqliteDatabase *database);
    ~SqliteDataset();
    SqliteDataset(const SqliteDataset &) = delete;
    SqliteDataset &operator=(const SqliteDataset &) = delete;

    // Closes, then runs `sql`, which must be exactly one statement that returns columns.
    // On failure the dataset stays closed (Inactive, eof, no fields).
    bool open(const QString &sql);
    void close();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    QString sql() const { return m_sql; }
    bool isEditable() const { return m_rowidColumn >= 0; }
    // The table edits are written to; empty for a read-only dataset.
    QString baseTable() const { return m_baseTable; }

    // first() and next() post a pending edit first (as moving off a record does);
    // a failed post leaves the dataset on the edited row in edit state.
    void first();
    void next();
    bool eof() const;
    // Fetches any rows not read yet.
    int recordCount();
    // 0-based position of the current row; recordCount() when past the end.
    int recNo() const { return m_current; }

    int fieldCount() const { return isActive() ? int(m_names.size()) : 0; }
    QString fieldName(int index) const;
    // Case-insensitive; -1 when there is no such column.
    int fieldIndex(QAnyStringView name) const;
    SqliteField fieldByName(QAnyStringView name);
    SqliteField field(int index);

    // Puts the current row into edit state (no-op in edit state).
    bool edit();
    // Starts a new empty row; it is the current row until post or cancel.
    bool append();
    // Writes the edited or appended row; an appended row stays current. True in browse
    // state (nothing to do).
    bool post();
    // Discards the edit or the appended row.
    void cancel();
    // Deletes the current row from the table and the cache; the row after it becomes
    // current (eof when it was the last). An edit in progress is discarded first.
    bool remove();

    QString lastError() const { return m_lastError; }

    // Used by SqliteDatabase.
    void fetchAll() const;
    void releaseStatement();
    void connectionClosing();

private:
    friend class SqliteField;
    struct Row
    {
        std::vector<Value> cells;
        qint64 rowid = 0;
    };

    const Value &cell(int column) const;
    bool setCell(int column, Value value);
    bool fetchOne() const;
    void stopReading() const;
    bool prepare(const QString &sql, bool readRowid);
    void readColumns();
    bool postEdit();
    bool postInsert();
    bool refreshRow(Row &row);
    bool fail(const QString &text) const;
    bool failFromDatabase(const char *context) const;

    SqliteDatabase *m_database = nullptr;
    QString m_sql;
    State m_state = State::Inactive;
    sqlite3_stmt *m_stmt = nullptr;   // kept prepared for reopening the same text
    QString m_preparedSql;
    mutable bool m_reading = false;   // m_stmt has rows not fetched yet
    mutable std::vector<Row> m_rows;
    int m_current = 0;
    int m_beforeInsert = 0;
    std::vector<QString> m_names;
    std::vector<QByteArray> m_asciiNames;  // the name's bytes when it is ASCII, else empty
    std::vector<QByteArray> m_foldedNames; // the same in lower case
    std::vector<QString> m_origins; // table column behind each field, empty for expressions
    int m_rowidColumn = -1;          // statement column of the hidden rowid, -1 read-only
    QString m_baseTable;
    Row m_buffer;                     // the row being edited or appended
    std::vector<bool> m_changed;
    mutable int m_hint = 0;           // where the next name lookup starts
    mutable QString m_lastError;
};
