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

QString schemaFile()
{
    QStringList roots;
    if (qEnvironmentVariableIsSet("VOCAMO_SOURCE_DIR"))
        roots << qEnvironmentVariable("VOCAMO_SOURCE_DIR");
    for (QDir dir(QCoreApplication::applicationDirPath());;) {
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

void bindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool buildStore(const QString &path)
{
    QFile schema(schemaFile());
    if (!schema.open(QIODevice::ReadOnly)) {
        std::printf("data/schema.sql not found (set VOCAMO_SOURCE_DIR)\n");
        return false;
    }
    SqliteDatabase db;
    if (!db.create(path) || !db.begin() || !db.execScript(QString::fromUtf8(schema.readAll()))
        || !db.exec(QStringLiteral("insert into Feature values (2, 0, 'bench')"))
        || !db.exec(QStringLiteral("insert into USERS (USER_ID, USER_NAME) values (1, 'bench')"))) {
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
    QRandomGenerator random(20240602);
    for (int id = 1; id <= WordCount; ++id) {
        const QString name = randomWord(random);
        sqlite3_bind_int(word, 1, id);
        bindText(word, 2, name);
        bindText(word, 3, QStringLiteral("/%1/").arg(name));
        bindText(word, 4, QStringLiteral("n. 词义%1；释义\r\nv. 第二个意思").arg(id));
        bindText(word, 5, QStringLiteral("A longer explanation of the word %1.").arg(name));
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
                       "Vocamo_Ability, Vocamo_Count, Vocamo_Round, Vocamo_Time, Vocamo_Content) "
                       "values (0, 12, ?1, ?2, ?3, 1, ?4, ?5)",
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
    if (!dir.isValid() || !buildStore(path)) {
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
