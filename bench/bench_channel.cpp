// The database channel against the bare SQLite C API on a store of 100,000 words:
// (a) the due-word page statement, 50 words read field by field by name;
// (b) a WORD_NAME LIKE '%ab%' search read to the end.

#include "store/Channels.h"
#include "support/BenchHarness.h"
#include "support/GeneratedStore.h"

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
    if (!dir.isValid() || !BuildGeneratedStore(path, WordCount, DueCount, 20240601)) {
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
