// The business objects on a generated store of 100,000 words:
// (a) TWord::NextAbility per call;
// (b) TUser::ReadPage of 50 due words (open + load) against the bare SQLite C API running
//     the same statement and copying the same columns;
// (c) TUser::OpenSearch with a wildcard, read to the end, against the bare C API running
//     the same statement text.

#include "store/Channels.h"
#include "store/DataCenter.h"
#include "store/SearchQuery.h"
#include "store/Statements.h"
#include "store/User.h"
#include "store/Word.h"
#include "support/BenchHarness.h"
#include "support/GeneratedStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int WordCount = 100000;
constexpr int DueCount = 2000;
constexpr int PageSize = 50;
constexpr int AbilityCalls = 100000;

volatile qint64 g_sink = 0;

// ---- bare C API: the same statement, the words' texts and numbers copied by position ----

struct BareWord
{
    int ability, round, bookId, wordId, usage, count, category, exampleExist;
    double time;
    QString name, symbol, meaning, example, exampleTrans, explain, aids, gre, analogy,
        newSymbol, synonyms, antonyms;
};

QString text(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

// Due-page columns: 0 ability, 1 round, 2 book, 3 name, 4 own symbol, 5 own content,
// 6 symbol, 7 trans, 8 own sentence, 9 word id, 10 own translation, 11 explain, 12 aids,
// 13 gre, 14 analogy, 15 usage, 16 new symbol, 17 synonyms, 18 antonyms, 19 relation count,
// 20 count, 21 time, 22 category, 23 example, 24 class, 25 example exist.
std::vector<BareWord> readPageBare(sqlite3 *db, const char *sql, int skip)
{
    std::vector<BareWord> words;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    for (int i = 0; i < skip && sqlite3_step(stmt) == SQLITE_ROW; ++i) {
    }
    while (int(words.size()) < PageSize && sqlite3_step(stmt) == SQLITE_ROW) {
        BareWord w;
        w.ability = sqlite3_column_int(stmt, 0);
        w.round = sqlite3_column_int(stmt, 1);
        w.bookId = sqlite3_column_int(stmt, 2);
        w.name = text(stmt, 3);
        const QString ownSymbol = text(stmt, 4);
        w.symbol = ownSymbol.isEmpty() ? text(stmt, 6) : ownSymbol;
        const QString ownContent = text(stmt, 5);
        w.meaning = ownContent.isEmpty() ? text(stmt, 7) : ownContent;
        w.example = text(stmt, 8);
        w.wordId = sqlite3_column_int(stmt, 9);
        w.exampleTrans = text(stmt, 10);
        w.explain = text(stmt, 11);
        w.aids = text(stmt, 12);
        w.gre = text(stmt, 13);
        w.analogy = text(stmt, 14);
        w.usage = sqlite3_column_int(stmt, 15);
        w.newSymbol = text(stmt, 16);
        w.synonyms = text(stmt, 17);
        w.antonyms = text(stmt, 18);
        w.count = sqlite3_column_int(stmt, 20);
        w.time = sqlite3_column_double(stmt, 21);
        w.category = sqlite3_column_int(stmt, 22);
        if (w.example.isEmpty()) {
            w.example = text(stmt, 23);
            w.exampleTrans = text(stmt, 24);
        }
        w.exampleExist = sqlite3_column_int(stmt, 25);
        words.push_back(std::move(w));
    }
    sqlite3_finalize(stmt);
    return words;
}

int searchBare(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        ++rows;
    sqlite3_finalize(stmt);
    return rows;
}

void compareSearch(const char *label, TUser &user, sqlite3 *bare, const QString &query)
{
    const QByteArray sql = (QString::fromLatin1(Statements::WordList)
                            + QString::asprintf(Statements::WordListBySearch,
                                                qUtf8Printable(BuildSearchCondition(query, true))))
                               .toUtf8();
    int ours = 0;
    int theirs = 0;
    char oursLabel[96];
    char bareLabel[96];
    std::snprintf(oursLabel, sizeof oursLabel, "(c) search %s: OpenSearch", label);
    std::snprintf(bareLabel, sizeof bareLabel, "(c) search %s: bare C API", label);
    const BenchStats o = runBench(oursLabel, 20, [&] {
        user.OpenSearch(QStringLiteral("search"), query, true);
        ours = user.RowCount(QStringLiteral("search"));
    }, 2);
    const BenchStats b = runBench(bareLabel, 20, [&] { theirs = searchBare(bare, sql); }, 2);
    std::printf("    %d rows (bare %d)\n", ours, theirs);
    printRatio(label, o, b);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("VOCAMO_HOME", dir.path().toUtf8());
    const QString path = dir.filePath(QStringLiteral("Vocamo.mdb"));
    if (!dir.isValid() || !BuildGeneratedStore(path, WordCount, DueCount, 20240602)) {
        std::printf("could not build the benchmark store\n");
        return 1;
    }
    TDataCenter centre(QStringLiteral("Vocamo.mdb"), QString());
    if (!centre.CurrentUser) {
        std::printf("could not open the store\n");
        return 1;
    }
    // An account record of realistic size: the memorisation rule looks User_Speed up in it.
    QJsonObject account{{"User_ID", 7}, {"User_Phone", "8613800000000"}, {"User_PassWord", "x"},
                        {"User_Speed", 12}};
    for (const char *key : {"User_ShowCenter", "User_ShowExampleTrans", "User_Pronounce",
                            "User_ShowTipPanel", "User_IsUpperCase", "User_Examining",
                            "User_ShowToolBar", "User_UseDeskTop", "User_Addition",
                            "User_InitialVocamoState", "User_DeskTopColor", "User_FirstLineWidth",
                            "User_QuestionKeyColor", "User_QuestionAnswerColor",
                            "User_GeneralFontSize", "User_SecondValue", "User_FirstValue",
                            "User_BookColor", "User_FormWidth", "User_FormHeight",
                            "User_AlwaysShowTrans"})
        account.insert(QLatin1String(key), 1);
    centre.UserInfo = account;
    centre.Config.ApplyAccount(QJsonObject());
    TUser &user = *centre.CurrentUser;
    TUserBook book(&user, centre.Channel.get());
    book.BookId = 12;

    std::printf("store: %d words, %d due\n", WordCount, DueCount);

    // (a) the memorisation rule
    TWord word(&book, centre.Channel.get());
    word.Ability = 10;
    word.StudyTime = 45000.0;
    word.StudyCount = 3;
    const BenchStats ability = runBench("(a) NextAbility x 100000", 50, [&] {
        qint64 sum = 0;
        for (int i = 0; i < AbilityCalls; ++i)
            sum += word.NextAbility(1 + (i & 1), 45000.0 + (i & 1023) * 0.25);
        g_sink = g_sink + sum;
    });
    std::printf("    NextAbility: %.1f ns per call\n", ability.median * 1000.0 / AbilityCalls);

    // (b) a page of due words, open + load
    for (int page : {0, 20}) {
        char oursLabel[96];
        char bareLabel[96];
        std::snprintf(oursLabel, sizeof oursLabel, "(b) page %d of 50 due words: ReadPage", page);
        std::snprintf(bareLabel, sizeof bareLabel, "(b) page %d of 50 due words: bare C API", page);
        size_t ours = 0;
        size_t theirs = 0;
        const BenchStats o = runBench(oursLabel, 200, [&] {
            user.OpenPage(QStringLiteral("due"));
            ours = user.ReadPage(QStringLiteral("due"), PageSize, &book, true, page).size();
        });
        sqlite3 *bare = centre.Channel->database().handle();
        const BenchStats b = runBench(bareLabel, 200, [&] {
            theirs = readPageBare(bare, Statements::DuePage, page * PageSize).size();
        });
        std::printf("    %zu words (bare %zu)\n", ours, theirs);
        printRatio(page == 0 ? "(b) ReadPage, first page" : "(b) ReadPage, page 20", o, b);
    }

    // (c) wildcard searches over the 100,000 headwords
    sqlite3 *bare = centre.Channel->database().handle();
    compareSearch("'ab*'", user, bare, QStringLiteral("ab*"));
    compareSearch("'*ab*'", user, bare, QStringLiteral("*ab*"));
    return 0;
}
