// The database channel against the bare SQLite C API on a store of 100,000 words:
// (a) the due-word page statement, 50 words read field by field by name;
// (b) a WORD_NAME LIKE '%ab%' search read to the end.

#include "store/Channels.h"
#include "support/BenchHarness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int WordCount = 100000;
constexpr int DueCount = 2000;
constexpr int PageSize = 50;

const char *const DuePage =
    "select Vocamo_Ability, Vocamo_Round, Vocamo_BookID, TotalWords.WORD_NAME, Vocamo_Symbol, "
    "Vocamo_Content, WORD_SYMBOL, Word_Trans,  Vocamo_Sentence, Vocamo_WordID, "
    "Vocamo_Translation, WORD_EXPLAIN, WORD_AIDS, WORD_GREANTONYM, WORD_ANALOPY, WORD_USAGE, "
    "WORD_NEWSYMBOL,  WORD_SYNONYMY, WORD_ANTONYM, 0 as Relation_Count, Vocamo_Count, "
    "Vocamo_Time, Vocamo_CategoryID, WORD_EXAMPLE, WORD_CLASS, Example_Exist  from Vocamo, "
    "TotalWords where (Vocamo_WordID = WORD_ID) ";

const char *const Search =
    "select WORD_ID, WORD_NAME, WORD_TRANS from TotalWords where WORD_NAME LIKE '%ab%'";

// Used when data/schema.sql is not there: just the two tables this benchmark reads.
const char *const FallbackSchema = R"sql(
create table TotalWords(WORD_ID integer primary key, WORD_NAME text collate nocase not null,
  WORD_SYMBOL text, WORD_NEWSYMBOL text, WORD_TRANS text, WORD_EXPLAIN text,
  WORD_SYNONYMY text, WORD_ANTONYM text, WORD_ANALOPY text, WORD_AIDS text,
  WORD_GREANTONYM text, WORD_AFFIX text, WORD_USAGE integer default 0, WORD_EXAMPLE text,
  WORD_CLASS text, Example_Exist integer default 0);
create index TotalWords_Name on TotalWords(WORD_NAME);
create table Vocamo(Vocamo_CategoryID integer not null, Vocamo_BookID integer not null,
  Vocamo_WordID integer not null, Vocamo_Ability integer default 0,
  Vocamo_Count integer default 0, Vocamo_Round integer default 0, Vocamo_Time real default 0,
  Vocamo_Content text, Vocamo_Symbol text, Vocamo_Sentence text, Vocamo_Translation text);
)sql";

// The columns of the due-word page, and how the word loader reads each of them.
enum class Read { Integer, Text, DateTime };
struct Column
{
    const char *name;
    Read read;
};
const Column PageColumns[] = {
    {"Vocamo_Ability", Read::Integer},   {"Vocamo_Round", Read::Integer},
    {"Vocamo_BookID", Read::Integer},    {"WORD_NAME", Read::Text},
    {"Vocamo_Symbol", Read::Text},       {"Vocamo_Content", Read::Text},
    {"WORD_SYMBOL", Read::Text},         {"Word_Trans", Read::Text},
    {"Vocamo_Sentence", Read::Text},     {"Vocamo_WordID", Read::Integer},
    {"Vocamo_Translation", Read::Text},  {"WORD_EXPLAIN", Read::Text},
    {"WORD_AIDS", Read::Text},           {"WORD_GREANTONYM", Read::Text},
    {"WORD_ANALOPY", Read::Text},        {"WORD_USAGE", Read::Integer},
    {"WORD_NEWSYMBOL", Read::Text},      {"WORD_SYNONYMY", Read::Text},
    {"WORD_ANTONYM", Read::Text},        {"Relation_Count", Read::Integer},
    {"Vocamo_Count", Read::Integer},     {"Vocamo_Time", Read::DateTime},
    {"Vocamo_CategoryID", Read::Integer}, {"WORD_EXAMPLE", Read::Text},
    {"WORD_CLASS", Read::Text},          {"Example_Exist", Read::Integer},
};

volatile qint64 g_sink = 0;

QString schemaFile()
{
    QStringList roots;
    if (qEnvironmentVariableIsSet("VOCAMO_SOURCE_DIR"))
        roots << qEnvironmentVariable("VOCAMO_SOURCE_DIR");
    for (QDir dir(QCoreApplication::applicationDirPath()); ; ) {
        roots << dir.path();
        if (!dir.cdUp())
            break;
    }
    for (const QString &root : roots) {
        const QString path = root + QStringLiteral("/data/schema.sql");
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

QString randomWord(QRandomGenerator &random)
{
    QString word;
    const int length = 4 + int(random.bounded(7));
    for (int i = 0; i < length; ++i)
        word += QChar(u'a' + random.bounded(26));
    return word;
}

bool buildStore(const QString &path)
{
    SqliteDatabase db;
    if (!db.create(path))
        return false;
    const QString schemaPath = schemaFile();
    QString schema = QString::fromUtf8(FallbackSchema);
    if (!schemaPath.isEmpty()) {
        QFile file(schemaPath);
        if (file.open(QIODevice::ReadOnly))
            schema = QString::fromUtf8(file.readAll());
    }
    std::printf("schema: %s\n", schemaPath.isEmpty() ? "built-in (data/schema.sql not found)"
                                                     : qPrintable(schemaPath));
    if (!db.execScript(schema) || !db.exec(QStringLiteral("delete from Vocamo"))
        || !db.exec(QStringLiteral("delete from TotalWords")) || !db.begin()) {
        std::printf("schema failed: %s\n", qPrintable(db.lastError()));
        return false;
    }
    sqlite3_stmt *word = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "insert into TotalWords(WORD_ID, WORD_NAME, WORD_SYMBOL, WORD_NEWSYMBOL, "
                       "WORD_TRANS, WORD_EXPLAIN, WORD_SYNONYMY, WORD_ANTONYM, WORD_ANALOPY, "
                       "WORD_AIDS, WORD_GREANTONYM, WORD_AFFIX, WORD_USAGE, WORD_EXAMPLE, "
                       "WORD_CLASS, Example_Exist) values (?1, ?2, ?3, ?3, ?4, ?5, ?6, ?6, ?7, "
                       "?7, ?7, ?7, ?8, ?9, ?10, ?11)",
                       -1, &word, nullptr);
    QRandomGenerator random(20240601);
    auto bindText = [](sqlite3_stmt *stmt, int index, const QString &text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    };
    for (int id = 1; id <= WordCount; ++id) {
        const QString name = randomWord(random);
        sqlite3_bind_int(word, 1, id);
        bindText(word, 2, name);
        bindText(word, 3, QStringLiteral("/%1/").arg(name));
        bindText(word, 4, QStringLiteral("n. 词义%1；释义\r\nv. 第二个意思").arg(id));
        bindText(word, 5, QStringLiteral("A longer explanation of the word %1, used in examples.").arg(name));
        bindText(word, 6, QStringLiteral("0A000000000000003F2A9C4E1B7D6E5F0A1B2C3D4E5F6071"));
        bindText(word, 7, randomWord(random) + QStringLiteral(", ") + randomWord(random));
        sqlite3_bind_int(word, 8, int(random.bounded(5)));
        bindText(word, 9, QStringLiteral("This is an example sentence with %1 in it.").arg(name));
        bindText(word, 10, QStringLiteral("这是一个含有这个词的例句。"));
        sqlite3_bind_int(word, 11, id % 3 == 0);
        if (sqlite3_step(word) != SQLITE_DONE)
            return false;
        sqlite3_reset(word);
    }
    sqlite3_finalize(word);
    sqlite3_stmt *due = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "insert into Vocamo(Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, "
                       "Vocamo_Ability, Vocamo_Count, Vocamo_Round, Vocamo_Time, Vocamo_Content, "
                       "Vocamo_Symbol, Vocamo_Sentence, Vocamo_Translation) "
                       "values (0, 12, ?1, ?2, ?3, 1, ?4, ?5, '', null, null)",
                       -1, &due, nullptr);
    for (int i = 0; i < DueCount; ++i) {
        sqlite3_bind_int(due, 1, 1 + int(random.bounded(WordCount)));
        sqlite3_bind_int(due, 2, int(random.bounded(1000)));
        sqlite3_bind_int(due, 3, int(random.bounded(20)));
        sqlite3_bind_double(due, 4, 45000.0 + random.bounded(1000.0));
        if (i % 4 == 0)
            sqlite3_bind_text(due, 5, "自己的词义", -1, SQLITE_STATIC);
        else
            sqlite3_bind_null(due, 5);
        if (sqlite3_step(due) != SQLITE_DONE)
            return false;
        sqlite3_reset(due);
    }
    sqlite3_finalize(due);
    return db.commit();
}

// ---- ours ----

void readPageThroughChannel(TAdoChannel &channel)
{
    SqliteDataset *page = channel.OpenNamed(QStringLiteral("DuePage"), QString::fromLatin1(DuePage));
    qint64 sink = 0;
    for (int n = 0; page && n < PageSize && !page->eof(); ++n, page->next()) {
        for (const Column &column : PageColumns) {
            const SqliteField field = page->fieldByName(column.name);
            switch (column.read) {
            case Read::Integer: sink += field.asInteger(); break;
            case Read::Text: sink += field.asText().size(); break;
            case Read::DateTime: sink += qint64(field.asDateTime()); break;
            }
        }
    }
    g_sink = g_sink + sink;
}

void searchThroughChannel(TAdoChannel &channel)
{
    SqliteDataset *found = channel.Query(QString::fromLatin1(Search));
    qint64 sink = 0;
    for (; found && !found->eof(); found->next()) {
        sink += found->fieldByName("WORD_ID").asInteger();
        sink += found->fieldByName("WORD_NAME").asText().size();
        sink += found->fieldByName("WORD_TRANS").asText().size();
    }
    g_sink = g_sink + sink;
}

// ---- bare C API: the same statement, the same values, columns by position ----

QString bareText(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

void readPageBare(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, DuePage, -1, &stmt, nullptr);
    qint64 sink = 0;
    for (int n = 0; n < PageSize && sqlite3_step(stmt) == SQLITE_ROW; ++n) {
        int index = 0;
        for (const Column &column : PageColumns) {
            switch (column.read) {
            case Read::Integer: sink += sqlite3_column_int(stmt, index); break;
            case Read::Text: sink += bareText(stmt, index).size(); break;
            case Read::DateTime: sink += qint64(sqlite3_column_double(stmt, index)); break;
            }
            ++index;
        }
    }
    sqlite3_finalize(stmt);
    g_sink = g_sink + sink;
}

void searchBare(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, Search, -1, &stmt, nullptr);
    qint64 sink = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        sink += sqlite3_column_int(stmt, 0);
        sink += bareText(stmt, 1).size();
        sink += bareText(stmt, 2).size();
    }
    sqlite3_finalize(stmt);
    g_sink = g_sink + sink;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vocamo.db"));
    if (!dir.isValid() || !buildStore(path)) {
        std::printf("could not build the benchmark store\n");
        return 1;
    }
    TAdoChannel channel;
    if (!channel.OpenDatabase(path, QString())) {
        std::printf("could not open the store: %s\n", qPrintable(channel.lastError()));
        return 1;
    }
    sqlite3 *bare = nullptr;
    // Opened as the channel opens its connection: one thread, no connection mutex.
    sqlite3_open_v2(QFile::encodeName(path).constData(), &bare,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);

    SqliteDataset *check = channel.Query(QString::fromLatin1(Search));
    std::printf("store: %d words, %d due; the search finds %d words\n", WordCount, DueCount,
                check ? check->recordCount() : -1);

    runPair("(a) due page, 50 words", 1000, [&] { readPageThroughChannel(channel); },
            [&] { readPageBare(bare); });
    runPair("(b) LIKE '%ab%' search", 60, [&] { searchThroughChannel(channel); },
            [&] { searchBare(bare); }, 3);

    sqlite3_close_v2(bare);
    return 0;
}
