#include "platform/SqliteDataset.h"

#include "platform/DateTime.h"
#include "platform/SqliteDatabase.h"

#include <QDateTime>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <type_traits>

namespace {

struct StatementDeleter
{
    void operator()(sqlite3_stmt *stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

using Value = SqliteDataset::Value;

const Value &nullValue()
{
    static const Value value;
    return value;
}

// ---- Finding the one base table of a simple select -------------------------------------

struct Token
{
    enum Kind { Word, QuotedName, Literal, Symbol } kind;
    qsizetype start;
    qsizetype length;
    int depth;
};

std::vector<Token> tokenize(const QString &sql)
{
    std::vector<Token> tokens;
    int depth = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto skipQuoted = [&](QChar close) {
        ++i;
        while (i < n) {
            if (sql[i] == close) {
                if (close != u']' && i + 1 < n && sql[i + 1] == close) {
                    i += 2;
                    continue;
                }
                ++i;
                return;
            }
            ++i;
        }
    };
    while (i < n) {
        const QChar c = sql[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'') {
            skipQuoted(u'\'');
            tokens.push_back({Token::Literal, start, i - start, depth});
        } else if (c == u'"' || c == u'`' || c == u'[') {
            skipQuoted(c == u'[' ? QChar(u']') : c);
            tokens.push_back({Token::QuotedName, start, i - start, depth});
        } else if (c.isLetterOrNumber() || c == u'_' || c == u'$') {
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'_' || sql[i] == u'$'))
                ++i;
            tokens.push_back({Token::Word, start, i - start, depth});
        } else {
            if (c == u')')
                --depth;
            tokens.push_back({Token::Symbol, start, 1, depth});
            if (c == u'(')
                ++depth;
            ++i;
        }
    }
    return tokens;
}

bool isWord(const QString &sql, const Token &token, QLatin1String word)
{
    return token.kind == Token::Word
        && QStringView(sql).mid(token.start, token.length).compare(word, Qt::CaseInsensitive) == 0;
}

bool isAnyWord(const QString &sql, const Token &token, std::initializer_list<const char *> words)
{
    for (const char *word : words) {
        if (isWord(sql, token, QLatin1String(word)))
            return true;
    }
    return false;
}

bool isSymbol(const QString &sql, const Token &token, QChar symbol)
{
    return token.kind == Token::Symbol && sql[token.start] == symbol;
}

// The text `sql` with ", <table or alias>.rowid" added as the last result column, or an
// empty text when the statement is not a plain select over exactly one table.
QString withRowidColumn(const QString &sql)
{
    const std::vector<Token> tokens = tokenize(sql);
    const size_t count = tokens.size();
    if (count < 4 || !isWord(sql, tokens[0], QLatin1String("select"))
        || isAnyWord(sql, tokens[1], {"distinct"}))
        return {};
    size_t from = 1;
    for (; from < count; ++from) {
        const Token &token = tokens[from];
        if (token.depth == 0 && isWord(sql, token, QLatin1String("from")))
            break;
        // An aggregate folds many rows into one: such a row has no single rowid.
        if (from + 1 < count && isSymbol(sql, tokens[from + 1], u'(')
            && isAnyWord(sql, token, {"count", "sum", "min", "max", "avg", "total",
                                      "group_concat"}))
            return {};
    }
    size_t at = from + 1;
    if (at >= count || (tokens[at].kind != Token::Word && tokens[at].kind != Token::QuotedName))
        return {};
    const Token table = tokens[at++];
    Token qualifier = table;
    const std::initializer_list<const char *> clauseWords = {
        "where", "order", "limit", "group", "having", "window", "union", "except", "intersect",
        "join", "natural", "left", "right", "full", "inner", "cross", "outer", "indexed",
        "not", "on", "using"};
    if (at < count && isWord(sql, tokens[at], QLatin1String("as")))
        ++at;
    if (at < count && (tokens[at].kind == Token::QuotedName
                       || (tokens[at].kind == Token::Word && !isAnyWord(sql, tokens[at], clauseWords))))
        qualifier = tokens[at++];
    if (at < count && !isSymbol(sql, tokens[at], u';')
        && !isAnyWord(sql, tokens[at], {"where", "order", "limit"}))
        return {};
    for (; at < count; ++at) {
        if (tokens[at].depth == 0
            && (isAnyWord(sql, tokens[at], {"group", "having", "union", "except", "intersect",
                                            "window"})))
            return {};
    }
    const QString name = sql.mid(qualifier.start, qualifier.length);
    const qsizetype insertAt = tokens[from].start;
    return sql.left(insertAt) + QLatin1String(", ") + name + QLatin1String(".rowid ")
        + sql.mid(insertAt);
}

// ---- Values ------------------------------------------------------------------------------

Value columnValue(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, column);
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return QByteArray(data, sqlite3_column_bytes(stmt, column));
    }
    default:
        return {};
    }
}

int bindValue(sqlite3_stmt *stmt, int parameter, const Value &value)
{
    if (const auto *i = std::get_if<qint64>(&value))
        return sqlite3_bind_int64(stmt, parameter, *i);
    if (const auto *d = std::get_if<double>(&value))
        return sqlite3_bind_double(stmt, parameter, *d);
    if (const auto *text = std::get_if<QString>(&value)) {
        const QByteArray utf8 = text->toUtf8();
        return sqlite3_bind_text64(stmt, parameter, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    if (const auto *bytes = std::get_if<QByteArray>(&value))
        return sqlite3_bind_blob64(stmt, parameter, bytes->constData(),
                                   sqlite3_uint64(bytes->size()), SQLITE_TRANSIENT);
    return sqlite3_bind_null(stmt, parameter);
}

QString quotedName(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

qint64 roundToInt64(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (rounded <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(rounded);
}

std::optional<double> textAsNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// Column names are compared without regard to case. Nearly all are ASCII and are looked up
// once per field per row, so that case is served from bytes prepared when the statement
// is opened; Qt's full comparison runs only for other characters.
char asciiLower(uchar c)
{
    return char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

bool sameName(QAnyStringView wanted, const QString &name, const QByteArray &ascii,
              const QByteArray &folded)
{
    const auto slow = [&] { return QAnyStringView::compare(wanted, name, Qt::CaseInsensitive) == 0; };
    return wanted.visit([&](auto view) -> bool {
        if constexpr (std::is_same_v<decltype(view), QStringView>) {
            return slow();
        } else {
            // UTF-8 or Latin-1 bytes against an ASCII name.
            if (ascii.isEmpty())
                return slow();
            const auto *bytes = reinterpret_cast<const uchar *>(view.data());
            const qsizetype size = view.size();
            if (size != ascii.size())
                return std::is_same_v<decltype(view), QUtf8StringView> && slow();
            if (std::memcmp(bytes, ascii.constData(), size_t(size)) == 0)
                return true;
            for (qsizetype i = 0; i < size; ++i) {
                if (bytes[i] >= 0x80)
                    return slow();
                if (asciiLower(bytes[i]) != folded[i])
                    return false;
            }
            return true;
        }
    });
}

} // namespace

// ---- SqliteField -------------------------------------------------------------------------

QString SqliteField::name() const
{
    return m_dataset ? m_dataset->fieldName(m_column) : QString();
}

bool SqliteField::isNull() const
{
    return !m_dataset || std::holds_alternative<std::monostate>(m_dataset->cell(m_column));
}

QVariant SqliteField::value() const
{
    if (!m_dataset)
        return {};
    const Value &v = m_dataset->cell(m_column);
    if (const auto *i = std::get_if<qint64>(&v))
        return QVariant(qlonglong(*i));
    if (const auto *d = std::get_if<double>(&v))
        return QVariant(*d);
    if (const auto *text = std::get_if<QString>(&v))
        return QVariant(*text);
    if (const auto *bytes = std::get_if<QByteArray>(&v))
        return QVariant(*bytes);
    return {};
}

qint64 SqliteField::asLargeInt() const
{
    if (!m_dataset)
        return 0;
    const Value &v = m_dataset->cell(m_column);
    if (const auto *i = std::get_if<qint64>(&v))
        return *i;
    if (const auto *d = std::get_if<double>(&v))
        return roundToInt64(*d);
    if (const auto *text = std::get_if<QString>(&v)) {
        bool ok = false;
        const qint64 whole = text->trimmed().toLongLong(&ok);
        if (ok)
            return whole;
        const auto number = textAsNumber(*text);
        return number ? roundToInt64(*number) : 0;
    }
    return 0;
}

int SqliteField::asInteger() const
{
    const qint64 value = asLargeInt();
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

double SqliteField::asFloat() const
{
    if (!m_dataset)
        return 0.0;
    const Value &v = m_dataset->cell(m_column);
    if (const auto *i = std::get_if<qint64>(&v))
        return double(*i);
    if (const auto *d = std::get_if<double>(&v))
        return *d;
    if (const auto *text = std::get_if<QString>(&v))
        return textAsNumber(*text).value_or(0.0);
    return 0.0;
}

QString SqliteField::asText() const
{
    if (!m_dataset)
        return {};
    const Value &v = m_dataset->cell(m_column);
    if (const auto *text = std::get_if<QString>(&v))
        return *text;
    if (const auto *i = std::get_if<qint64>(&v))
        return QString::number(*i);
    if (const auto *d = std::get_if<double>(&v))
        return QString::number(*d, 'g', 15);
    if (const auto *bytes = std::get_if<QByteArray>(&v))
        return QString::fromUtf8(*bytes);
    return {};
}

double SqliteField::asDateTime() const
{
    if (!m_dataset)
        return 0.0;
    const Value &v = m_dataset->cell(m_column);
    if (const auto *text = std::get_if<QString>(&v)) {
        if (const auto number = textAsNumber(*text))
            return *number;
        QString iso = text->trimmed();
        if (iso.size() > 10 && iso[10] == u' ')
            iso[10] = u'T';
        const QDateTime parsed = QDateTime::fromString(iso, Qt::ISODateWithMs);
        return parsed.isValid() ? toDayNumber(parsed) : 0.0;
    }
    return asFloat();
}

QByteArray SqliteField::loadBlob() const
{
    if (!m_dataset)
        return {};
    const Value &v = m_dataset->cell(m_column);
    if (const auto *bytes = std::get_if<QByteArray>(&v))
        return *bytes;
    if (std::holds_alternative<std::monostate>(v))
        return {};
    return asText().toUtf8();
}

bool SqliteField::setAsInteger(qint64 value) const
{
    return m_dataset && m_dataset->setCell(m_column, value);
}

bool SqliteField::setAsText(const QString &value) const
{
    return m_dataset && m_dataset->setCell(m_column, value);
}

bool SqliteField::setAsFloat(double value) const
{
    return m_dataset && m_dataset->setCell(m_column, value);
}

bool SqliteField::setAsDateTime(double dayNumber) const
{
    return setAsFloat(dayNumber);
}

bool SqliteField::setNull() const
{
    return m_dataset && m_dataset->setCell(m_column, Value());
}

bool SqliteField::saveBlob(const QByteArray &bytes) const
{
    return m_dataset && m_dataset->setCell(m_column, bytes);
}

bool SqliteField::setValue(const QVariant &value) const
{
    if (value.isNull())
        return setNull();
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return setAsInteger(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return setAsFloat(value.toDouble());
    case QMetaType::QByteArray:
        return saveBlob(value.toByteArray());
    case QMetaType::QDateTime:
        return setAsDateTime(toDayNumber(value.toDateTime()));
    default:
        return setAsText(value.toString());
    }
}

// ---- SqliteDataset -----------------------------------------------------------------------

SqliteDataset::SqliteDataset(SqliteDatabase *database) : m_database(database)
{
    if (m_database)
        m_database->attach(this);
}

SqliteDataset::~SqliteDataset()
{
    releaseStatement();
    if (m_database)
        m_database->detach(this);
}

void SqliteDataset::connectionClosing()
{
    releaseStatement();
    m_database = nullptr;
}

bool SqliteDataset::fail(const QString &text) const
{
    m_lastError = text;
    return false;
}

bool SqliteDataset::failFromDatabase(const char *context) const
{
    const char *message = m_database && m_database->handle()
        ? sqlite3_errmsg(m_database->handle()) : "database not open";
    return fail(QStringLiteral("%1: %2").arg(QLatin1String(context), QString::fromUtf8(message)));
}

void SqliteDataset::close()
{
    stopReading();
    m_rows.clear();
    m_buffer = {};
    m_changed.clear();
    m_current = 0;
    m_hint = 0;
    m_state = State::Inactive;
}

void SqliteDataset::stopReading() const
{
    if (m_reading)
        sqlite3_reset(m_stmt);
    m_reading = false;
}

void SqliteDataset::releaseStatement()
{
    close();
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_preparedSql.clear();
    m_names.clear();
    m_asciiNames.clear();
    m_foldedNames.clear();
    m_origins.clear();
    m_rowidColumn = -1;
    m_baseTable.clear();
}

bool SqliteDataset::open(const QString &sql)
{
    close();
    m_sql = sql;
    if (!m_database || !m_database->isOpen())
        return fail(QStringLiteral("database not open"));
    // A client-side cursor never sees writes made after it was opened; the same holds
    // for the other open datasets when this statement writes (it may, via a function).
    m_database->finishPendingReads();
    // Reopening the same text (a page query, a slot in a loop) runs the prepared
    // statement again instead of parsing it anew.
    const bool reused = m_stmt && sql == m_preparedSql;
    if (!reused) {
        releaseStatement();
        const QString withRowid = withRowidColumn(sql);
        if ((withRowid.isEmpty() || !prepare(withRowid, true)) && !prepare(sql, false))
            return false;
        m_preparedSql = sql;
        readColumns();
    }
    m_state = State::Browse;
    m_reading = true;
    m_lastError.clear();
    const bool fetched = fetchOne();
    // SQLite prepares a statement again by itself after a schema change; should that
    // have changed the columns ("select *"), start over with fresh column information.
    const int expectedColumns = int(m_names.size()) + (m_rowidColumn >= 0 ? 1 : 0);
    if (reused && sqlite3_column_count(m_stmt) != expectedColumns) {
        releaseStatement();
        return open(sql);
    }
    if (!fetched && !m_lastError.isEmpty()) {
        close();
        return false;
    }
    return true;
}

bool SqliteDataset::prepare(const QString &sql, bool readRowid)
{
    sqlite3 *db = m_database->handle();
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, &tail) != SQLITE_OK)
        return failFromDatabase("prepare");
    Statement stmt(raw);
    if (!stmt)
        return fail(QStringLiteral("empty statement"));
    sqlite3_stmt *extra = nullptr;
    const int rest = int(utf8.constData() + utf8.size() - tail);
    if (sqlite3_prepare_v2(db, tail, rest, &extra, nullptr) != SQLITE_OK || extra) {
        sqlite3_finalize(extra);
        return fail(QStringLiteral("more than one statement in: %1").arg(sql));
    }
    const int columns = sqlite3_column_count(stmt.get());
    if (columns == 0)
        return fail(QStringLiteral("statement returns no rows: %1").arg(sql));
    if (readRowid) {
        const char *table = sqlite3_column_table_name(stmt.get(), columns - 1);
        if (!table)
            return false;
        m_baseTable = QString::fromUtf8(table);
        m_rowidColumn = columns - 1;
    }
    m_stmt = stmt.release();
    return true;
}

void SqliteDataset::readColumns()
{
    const int columns = m_rowidColumn >= 0 ? m_rowidColumn : sqlite3_column_count(m_stmt);
    m_names.reserve(size_t(columns));
    m_origins.reserve(size_t(columns));
    for (int i = 0; i < columns; ++i) {
        const QByteArray name(sqlite3_column_name(m_stmt, i));
        m_names.push_back(QString::fromUtf8(name));
        const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return uchar(c) < 0x80; });
        m_asciiNames.push_back(ascii ? name : QByteArray());
        QByteArray folded = name;
        for (char &c : folded)
            c = asciiLower(uchar(c));
        m_foldedNames.push_back(ascii ? folded : QByteArray());
        const char *origin = sqlite3_column_origin_name(m_stmt, i);
        const char *table = sqlite3_column_table_name(m_stmt, i);
        const bool ownColumn = origin && table && m_baseTable.compare(QString::fromUtf8(table),
                                                                      Qt::CaseInsensitive) == 0;
        m_origins.push_back(ownColumn ? QString::fromUtf8(origin) : QString());
    }
}

bool SqliteDataset::fetchOne() const
{
    if (!m_reading)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        Row row;
        const int columns = int(m_names.size());
        row.cells.reserve(size_t(columns));
        for (int i = 0; i < columns; ++i)
            row.cells.push_back(columnValue(m_stmt, i));
        if (m_rowidColumn >= 0)
            row.rowid = sqlite3_column_int64(m_stmt, m_rowidColumn);
        m_rows.push_back(std::move(row));
        return true;
    }
    if (rc != SQLITE_DONE)
        failFromDatabase("read");
    stopReading();
    return false;
}

void SqliteDataset::fetchAll() const
{
    while (fetchOne()) {
    }
}

void SqliteDataset::first()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        if (!post())
            return;
    }
    m_current = 0;
}

void SqliteDataset::next()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        if (!post())
            return;
    }
    if (m_current < int(m_rows.size()))
        ++m_current;
    if (m_current == int(m_rows.size()))
        fetchOne();
}

bool SqliteDataset::eof() const
{
    if (m_state == State::Insert)
        return false;
    return m_current >= int(m_rows.size());
}

int SqliteDataset::recordCount()
{
    fetchAll();
    return int(m_rows.size());
}

QString SqliteDataset::fieldName(int index) const
{
    return index >= 0 && index < fieldCount() ? m_names[size_t(index)] : QString();
}

int SqliteDataset::fieldIndex(QAnyStringView name) const
{
    if (!isActive())
        return -1;
    // Callers read a row's fields in the same order every time: start where the last
    // lookup ended, so the usual lookup is one comparison.
    const int count = fieldCount();
    for (int step = 0; step < count; ++step) {
        const int i = (m_hint + step) % count;
        if (sameName(name, m_names[size_t(i)], m_asciiNames[size_t(i)], m_foldedNames[size_t(i)])) {
            m_hint = i + 1 < count ? i + 1 : 0;
            return i;
        }
    }
    return -1;
}

SqliteField SqliteDataset::fieldByName(QAnyStringView name)
{
    const int index = fieldIndex(name);
    if (index < 0) {
        m_lastError = QStringLiteral("no field named %1").arg(name.toString());
        return {};
    }
    return SqliteField(this, index);
}

SqliteField SqliteDataset::field(int index)
{
    if (index < 0 || index >= fieldCount())
        return {};
    return SqliteField(this, index);
}

const Value &SqliteDataset::cell(int column) const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer.cells[size_t(column)];
    if (m_current < 0 || m_current >= int(m_rows.size()))
        return nullValue();
    return m_rows[size_t(m_current)].cells[size_t(column)];
}

bool SqliteDataset::setCell(int column, Value value)
{
    if (m_state != State::Edit && m_state != State::Insert)
        return fail(QStringLiteral("dataset is not in edit or insert state"));
    m_buffer.cells[size_t(column)] = std::move(value);
    m_changed[size_t(column)] = true;
    return true;
}

bool SqliteDataset::edit()
{
    if (m_state == State::Edit)
        return true;
    if (m_state != State::Browse)
        return fail(QStringLiteral("dataset is not open for browsing"));
    if (!isEditable())
        return fail(QStringLiteral("dataset is read-only: %1").arg(m_sql));
    if (eof())
        return fail(QStringLiteral("no current row to edit"));
    m_buffer = m_rows[size_t(m_current)];
    m_changed.assign(m_names.size(), false);
    m_state = State::Edit;
    return true;
}

bool SqliteDataset::append()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        if (!post())
            return false;
    }
    if (m_state != State::Browse)
        return fail(QStringLiteral("dataset is not open for browsing"));
    if (!isEditable())
        return fail(QStringLiteral("dataset is read-only: %1").arg(m_sql));
    m_buffer = Row{std::vector<Value>(m_names.size()), 0};
    m_changed.assign(m_names.size(), false);
    m_beforeInsert = m_current;
    m_state = State::Insert;
    return true;
}

void SqliteDataset::cancel()
{
    if (m_state == State::Insert)
        m_current = m_beforeInsert;
    if (m_state == State::Edit || m_state == State::Insert)
        m_state = State::Browse;
    m_buffer = {};
    m_changed.clear();
}

bool SqliteDataset::post()
{
    if (m_state == State::Browse)
        return true;
    if (m_state == State::Inactive)
        return fail(QStringLiteral("dataset is not open"));
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (m_changed[i] && m_origins[i].isEmpty())
            return fail(QStringLiteral("field %1 is not a column of %2")
                            .arg(m_names[i], m_baseTable));
    }
    if (!m_database || !m_database->isOpen())
        return fail(QStringLiteral("database not open"));
    m_database->finishPendingReads();
    const bool written = m_state == State::Edit ? postEdit() : postInsert();
    if (written) {
        m_state = State::Browse;
        m_buffer = {};
        m_changed.clear();
    }
    return written;
}

bool SqliteDataset::postEdit()
{
    QStringList assignments;
    std::vector<const Value *> values;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (!m_changed[i])
            continue;
        assignments << quotedName(m_origins[i]) + QLatin1String(" = ?");
        values.push_back(&m_buffer.cells[i]);
    }
    if (values.empty()) {
        return true;
    }
    const QString sql = QStringLiteral("update %1 set %2 where rowid = ?")
                            .arg(quotedName(m_baseTable), assignments.join(QLatin1String(", ")));
    sqlite3 *db = m_database->handle();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK)
        return failFromDatabase("update");
    Statement stmt(raw);
    int parameter = 1;
    for (const Value *value : values)
        bindValue(stmt.get(), parameter++, *value);
    sqlite3_bind_int64(stmt.get(), parameter, m_buffer.rowid);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        return failFromDatabase("update");
    if (sqlite3_changes(db) != 1)
        return fail(QStringLiteral("the edited row no longer exists in %1").arg(m_baseTable));
    Row row = m_buffer;
    if (!refreshRow(row))
        return false;
    m_rows[size_t(m_current)] = std::move(row);
    return true;
}

bool SqliteDataset::postInsert()
{
    QStringList columns;
    QStringList marks;
    std::vector<const Value *> values;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (!m_changed[i])
            continue;
        columns << quotedName(m_origins[i]);
        marks << QStringLiteral("?");
        values.push_back(&m_buffer.cells[i]);
    }
    const QString sql = values.empty()
        ? QStringLiteral("insert into %1 default values").arg(quotedName(m_baseTable))
        : QStringLiteral("insert into %1 (%2) values (%3)")
              .arg(quotedName(m_baseTable), columns.join(QLatin1String(", ")),
                   marks.join(QLatin1String(", ")));
    sqlite3 *db = m_database->handle();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK)
        return failFromDatabase("insert");
    Statement stmt(raw);
    int parameter = 1;
    for (const Value *value : values)
        bindValue(stmt.get(), parameter++, *value);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        return failFromDatabase("insert");
    Row row = m_buffer;
    row.rowid = sqlite3_last_insert_rowid(db);
    refreshRow(row); // the row is in the file; a failed read-back only leaves the set values
    m_rows.push_back(std::move(row));
    m_current = int(m_rows.size()) - 1;
    return true;
}

bool SqliteDataset::refreshRow(Row &row)
{
    QStringList columns;
    std::vector<int> fields;
    for (size_t i = 0; i < m_origins.size(); ++i) {
        if (m_origins[i].isEmpty())
            continue;
        columns << quotedName(m_origins[i]);
        fields.push_back(int(i));
    }
    if (fields.empty())
        return true;
    const QString sql = QStringLiteral("select %1 from %2 where rowid = ?")
                            .arg(columns.join(QLatin1String(", ")), quotedName(m_baseTable));
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(m_database->handle(), sql.toUtf8().constData(), -1, &raw, nullptr)
        != SQLITE_OK)
        return failFromDatabase("read back");
    Statement stmt(raw);
    sqlite3_bind_int64(stmt.get(), 1, row.rowid);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        return failFromDatabase("read back");
    for (size_t k = 0; k < fields.size(); ++k)
        row.cells[size_t(fields[k])] = columnValue(stmt.get(), int(k));
    return true;
}

bool SqliteDataset::remove()
{
    cancel();
    if (m_state != State::Browse)
        return fail(QStringLiteral("dataset is not open"));
    if (!isEditable())
        return fail(QStringLiteral("dataset is read-only: %1").arg(m_sql));
    if (eof())
        return fail(QStringLiteral("no current row to delete"));
    if (!m_database || !m_database->isOpen())
        return fail(QStringLiteral("database not open"));
    m_database->finishPendingReads();
    const QString sql = QStringLiteral("delete from %1 where rowid = ?").arg(quotedName(m_baseTable));
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(m_database->handle(), sql.toUtf8().constData(), -1, &raw, nullptr)
        != SQLITE_OK)
        return failFromDatabase("delete");
    Statement stmt(raw);
    sqlite3_bind_int64(stmt.get(), 1, m_rows[size_t(m_current)].rowid);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        return failFromDatabase("delete");
    m_rows.erase(m_rows.begin() + m_current);
    return true;
}
