// Runs the real store builder on the shipped content sources (and on broken copies of
// them) and checks the store it writes.

#include "store/ContentKeys.h"
#include "store/Routine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <memory>

namespace {

struct DatabaseCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

QString SourceDir()
{
    const QString dir = qEnvironmentVariable("VOCAMO_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(VOCAMO_TEST_SOURCE_DIR) : dir;
}

QString BuilderPath()
{
    QString dir = qEnvironmentVariable("VOCAMO_BIN_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    return dir + QStringLiteral("/vocamo-build-store");
}

struct RunResult {
    int exitCode = -1;
    QString errors;
};

RunResult RunBuilder(const QString &dataDir, const QString &out, const QStringList &extra = {})
{
    QProcess process;
    process.start(BuilderPath(), QStringList{QStringLiteral("--schema"), SourceDir() + QStringLiteral("/data/schema.sql"),
                                             QStringLiteral("--data"), dataDir, QStringLiteral("--out"), out}
                                     + extra);
    RunResult result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Database Open(const QString &path)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    return Database(raw);
}

// The rows of a query as lists of values (text as QString, blobs as QByteArray).
QList<QVariantList> Query(sqlite3 *db, const QString &sql, QString *error = nullptr)
{
    QList<QVariantList> rows;
    sqlite3_stmt *raw = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), -1, &raw, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        return rows;
    }
    Statement statement(raw);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        QVariantList row;
        for (int c = 0; c < sqlite3_column_count(raw); ++c) {
            switch (sqlite3_column_type(raw, c)) {
            case SQLITE_INTEGER: row << sqlite3_column_int64(raw, c); break;
            case SQLITE_FLOAT: row << sqlite3_column_double(raw, c); break;
            case SQLITE_TEXT:
                row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, c)),
                                         sqlite3_column_bytes(raw, c));
                break;
            case SQLITE_BLOB:
                row << QByteArray(static_cast<const char *>(sqlite3_column_blob(raw, c)),
                                  sqlite3_column_bytes(raw, c));
                break;
            default: row << QVariant(); break;
            }
        }
        rows << row;
    }
    if (rc != SQLITE_DONE && error)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    return rows;
}

// Non-comment, non-blank lines of a content source, split at tabs.
QList<QStringList> SourceRows(const QString &name)
{
    QFile file(SourceDir() + QStringLiteral("/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        rows << line.split(QLatin1Char('\t'));
    }
    return rows;
}

QString TextUpToNul(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

bool CopyDir(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QStringList{QStringLiteral("*.tsv")}, QDir::Files)) {
        if (!QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    }
    return true;
}

} // namespace

class TestSampleStore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void versionRow();
    void defaultLayoutAsTheProgramStoresIt(); // before statementsRun, which deletes layouts
    void everyTablePresent_data();
    void everyTablePresent();
    void wordCountMatchesSource();
    void booksHoldExistingWords();
    void knownWordFields();
    void meaningKeepsLineBreaks();
    void exampleDeciphers();
    void synonymsAndAntonymsDecipher();
    void dictionaryNoteIsRtf();
    void irregularLookup_data();
    void irregularLookup();
    void statementsRun_data();
    void statementsRun();
    void textComparesIgnoreCase();
    void tipsOfTheListLayers();
    void badSourceLeavesNoStore();
    void failedBuildKeepsPreviousStore();
    void duplicateWordsReported();
    void syntheticWords();

private:
    QTemporaryDir m_dir;
    QString m_store;
    Database m_db;
};

// The decoration lines are thin, coloured rules; without stored rows they would be
// labels of a default height in the parent's colour, covering the tip row.
void TestSampleStore::defaultLayoutAsTheProgramStoresIt()
{
    const auto rows = Query(m_db.get(), QStringLiteral("select NUMBEREX, SEQUENCE, CHOICE, EXPLAIN from Interface "
                                                       "where USER_ID = 1  order by SEQUENCE"));
    QVERIFY(rows.size() >= 4);
    QCOMPARE(rows[0].value(1).toInt(), 4);
    QCOMPARE(rows[0].value(2).toString(), QStringLiteral("装饰线1高"));
    QCOMPARE(rows[0].value(3).toString(), QStringLiteral("装饰线1"));
    QCOMPARE(rows[0].value(0).toInt(), 2);
    const auto second = Query(m_db.get(), QStringLiteral("select NUMBEREX from Interface where CHOICE = '装饰线2颜色'"));
    QCOMPARE(second.size(), 1);
    QVERIFY(second[0].value(0).toInt() > 0);
}

void TestSampleStore::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(BuilderPath()), qPrintable(BuilderPath()));
    m_store = m_dir.filePath(QStringLiteral("Vocamo.mdb"));
    const RunResult result = RunBuilder(SourceDir() + QStringLiteral("/data"), m_store);
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    m_db = Open(m_store);
    QVERIFY(m_db);
}

void TestSampleStore::versionRow()
{
    const auto rows = Query(m_db.get(), QStringLiteral("select * from Feature "));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].value(0).toInt(), 2);
    QCOMPARE(rows[0].value(1).toInt(), 0);
    QCOMPARE(rows[0].value(2).toString(), QStringLiteral("vocamo"));
    const auto users = Query(m_db.get(), QStringLiteral("select USER_ID, USER_NAME from USERS order by User_ID"));
    QCOMPARE(users.size(), 1);
    QCOMPARE(users[0].value(0).toInt(), 1);
}

void TestSampleStore::everyTablePresent_data()
{
    QTest::addColumn<QString>("table");
    const char *tables[] = {"Feature", "USERS", "USERBOOKS", "TotalWords", "Dictionary", "Example",
                            "Irregular", "Vocamo", "Relation", "RelationWord", "LinkWords", "Interface",
                            "Tips", "PressCount", "Question", "Choice", "Material", "QuestionInfo",
                            "QuestionTypeInfo", "Suite", "SuiteQuestion", "AnswerSuite", "Answer",
                            "Student", "Composition", "ColorPen"};
    for (const char *table : tables)
        QTest::newRow(table) << QString::fromLatin1(table);
}

void TestSampleStore::everyTablePresent()
{
    QFETCH(QString, table);
    const auto rows = Query(m_db.get(), QStringLiteral("select name from sqlite_master where type = 'table' and name = '%1'").arg(table));
    QCOMPARE(rows.size(), 1);
}

void TestSampleStore::wordCountMatchesSource()
{
    const auto sourceRows = SourceRows(QStringLiteral("words.tsv"));
    QVERIFY(sourceRows.size() >= 300);
    const auto rows = Query(m_db.get(), QStringLiteral("select count(*), min(WORD_ID), max(WORD_ID) from TotalWords"));
    QCOMPARE(rows[0].value(0).toInt(), sourceRows.size());
    QCOMPARE(rows[0].value(1).toInt(), 1);
    QCOMPARE(rows[0].value(2).toInt(), sourceRows.size());
    // Word ids follow the file order.
    const auto first = Query(m_db.get(), QStringLiteral("select WORD_NAME from TotalWords where WORD_ID = 1"));
    QCOMPARE(first[0].value(0).toString(), sourceRows[0][0]);
}

void TestSampleStore::booksHoldExistingWords()
{
    const auto sourceRows = SourceRows(QStringLiteral("books.tsv"));
    QVERIFY(sourceRows.size() >= 4);
    const auto books = Query(m_db.get(), QStringLiteral(
        "select * from USERBOOKS where Deletable <> 2 and USER_ID = 1 Order by SEQUENCE"));
    QCOMPARE(books.size(), sourceRows.size());
    const auto current = Query(m_db.get(), QStringLiteral(
        "select BOOK_NAME from USERBOOKS where Category = 1 order by Active_Sequence desc, SEQUENCE limit 1"));
    QCOMPARE(current[0].value(0).toString(), sourceRows[0][1]);
    for (const QStringList &book : sourceRows) {
        QCOMPARE(book.size(), 3);
        for (QString item : book[2].split(QLatin1Char(','))) {
            for (const QString &word : item.trimmed().split(QStringLiteral(".."))) {
                const auto found = Query(m_db.get(), QStringLiteral("select WORD_ID from TotalWords where WORD_NAME = '%1'").arg(word.trimmed()));
                QVERIFY2(found.size() == 1, qPrintable(book[1] + QStringLiteral(": ") + word));
            }
        }
    }
    const auto hashes = Query(m_db.get(), QStringLiteral("select count(distinct Hashcode), min(length(Hashcode)), max(Category), min(Category) from USERBOOKS"));
    QCOMPARE(hashes[0].value(0).toInt(), books.size());
    QCOMPARE(hashes[0].value(1).toInt(), 32);
    QCOMPARE(hashes[0].value(2).toInt(), 1);
    QCOMPARE(hashes[0].value(3).toInt(), 1);
}

void TestSampleStore::knownWordFields()
{
    const auto rows = Query(m_db.get(), QStringLiteral(
        "select WORD_SYMBOL, WORD_TRANS, WORD_USAGE, WORD_EXAMPLE, WORD_CLASS, Example_Exist from TotalWords where WORD_NAME = 'apple'"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].value(0).toString(), QStringLiteral("ˈæpl"));
    QCOMPARE(rows[0].value(1).toString(), QStringLiteral("n. 苹果；苹果树"));
    QCOMPARE(rows[0].value(2).toInt(), 5);
    QCOMPARE(rows[0].value(3).toString(), QStringLiteral("An apple a day keeps the doctor away."));
    QCOMPARE(rows[0].value(4).toString(), QStringLiteral("一天一个苹果，医生远离我。"));
    QCOMPARE(rows[0].value(5).toInt(), 1);
    // A word without rows in Example says so.
    const auto plain = Query(m_db.get(), QStringLiteral("select Example_Exist from TotalWords where WORD_NAME = 'zoo'"));
    QCOMPARE(plain[0].value(0).toInt(), 0);
}

void TestSampleStore::meaningKeepsLineBreaks()
{
    const auto rows = Query(m_db.get(), QStringLiteral("select Word_Trans from TotalWords where WORD_NAME = 'about'"));
    QCOMPARE(rows[0].value(0).toString(), QStringLiteral("prep. 关于；大约\r\nadv. 大约；到处"));
}

void TestSampleStore::exampleDeciphers()
{
    const auto rows = Query(m_db.get(), QStringLiteral(
        "select EngContent, ChnTranslation from Example where WORD_ID = (select WORD_ID from TotalWords where WORD_NAME = 'apple') order by Example_Index ASC"));
    QCOMPARE(rows.size(), 3);
    QByteArray blob = rows[0].value(0).toByteArray();
    QVERIFY(!blob.contains("She cut"));   // stored enciphered
    QString error;
    QVERIFY2(UnpackAndDecipher(blob, ContentKeys::Bytes(ContentKeys::Example), &error), qPrintable(error));
    QCOMPARE(blob.size() % 16, 0);
    QCOMPARE(TextUpToNul(blob), QStringLiteral("She cut the apple in half."));
    QCOMPARE(rows[0].value(1).toString(), QStringLiteral("她把苹果切成两半。"));
    const auto count = Query(m_db.get(), QStringLiteral("select Count(*) as ExampleCount from Example where WORD_ID = 1 "));
    QCOMPARE(count[0].value(0).toInt(), 2);
}

void TestSampleStore::synonymsAndAntonymsDecipher()
{
    const auto rows = Query(m_db.get(), QStringLiteral("select WORD_SYNONYMY, WORD_ANTONYM from TotalWords where WORD_NAME = 'able'"));
    const auto synonyms = DecipherHexText(rows[0].value(0).toString(), ContentKeys::Text(ContentKeys::Synonym), 0);
    const auto antonyms = DecipherHexText(rows[0].value(1).toString(), ContentKeys::Text(ContentKeys::Antonym), 0);
    QVERIFY(synonyms && antonyms);
    QCOMPARE(*synonyms, QStringLiteral("capable"));
    QCOMPARE(*antonyms, QStringLiteral("unable"));
    const auto none = Query(m_db.get(), QStringLiteral("select WORD_SYNONYMY, WORD_ANTONYM from TotalWords where WORD_NAME = 'zoo'"));
    QCOMPARE(none[0].value(0).toString(), QString());
    QCOMPARE(none[0].value(1).toString(), QString());
}

void TestSampleStore::dictionaryNoteIsRtf()
{
    const auto rows = Query(m_db.get(), QStringLiteral(
        "select WORD_NOTE from Dictionary where WORD_ID = (select WORD_ID from TotalWords where WORD_NAME = 'go') "));
    QCOMPARE(rows.size(), 1);
    QByteArray note = rows[0].value(0).toByteArray();
    QVERIFY(UnpackAndDecipher(note, ContentKeys::Bytes(ContentKeys::DictionaryNote)));
    const QByteArray rtf = note.left(note.indexOf('\0') < 0 ? note.size() : note.indexOf('\0'));
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    QVERIFY(rtf.contains("{\\fonttbl"));
    QVERIFY(rtf.contains("\\b go\\b0"));
    QVERIFY(rtf.contains("15924991"));
    // Chinese text travels as \uN escapes: 去 is U+53BB = 21435.
    QVERIFY(rtf.contains("\\u21435?"));
    for (const char byte : rtf)
        QVERIFY(static_cast<unsigned char>(byte) < 0x80);
    QCOMPARE(rtf.count('{'), rtf.count('}'));
    QVERIFY(rtf.trimmed().endsWith('}'));
    const auto count = Query(m_db.get(), QStringLiteral("select count(*) from Dictionary"));
    QVERIFY(count[0].value(0).toInt() >= 40);
}

void TestSampleStore::irregularLookup_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("bases");
    QTest::newRow("past") << "went" << QStringList{QStringLiteral("go")};
    QTest::newRow("participle") << "taken" << QStringList{QStringLiteral("take")};
    QTest::newRow("upper case") << "WENT" << QStringList{QStringLiteral("go")};
    QTest::newRow("second variant") << "dreamed" << QStringList{QStringLiteral("dream")};
    QTest::newRow("same past and participle") << "bought" << QStringList{QStringLiteral("buy")};
    QTest::newRow("past of lie, not the verb lay") << "lay" << QStringList{QStringLiteral("lie")};
    QTest::newRow("base form is no inflection") << "go" << QStringList{};
    QTest::newRow("regular") << "walked" << QStringList{};
}

void TestSampleStore::irregularLookup()
{
    QFETCH(QString, form);
    QFETCH(QStringList, bases);
    const auto rows = Query(m_db.get(), QStringLiteral("select WordName from Irregular where PastStyle = '%1' or FinishStyle = '%1'").arg(form));
    QStringList found;
    for (const auto &row : rows)
        found << row.value(0).toString();
    found.sort();
    QCOMPARE(found, bases);
}

void TestSampleStore::statementsRun_data()
{
    QTest::addColumn<QString>("sql");
    const QString wordList = QStringLiteral(
        "select 0 as Vocamo_Time, 0 as Vocamo_Ability, 0 as Vocamo_Round, 1 as Vocamo_BookID, WORD_NAME, WORD_SYMBOL, WORD_TRANS, WORD_USAGE, WORD_NEWSYMBOL, WORD_SYNONYMY, WORD_ANTONYM, 0 as state, 0 as ability2, 0 as state2, 0 as ability3, 0 as state3, 12 as Speed, 0 as Real_Date, 0 as Vocamo_Count,  WORD_EXAMPLE, TotalWords.WORD_ID as Vocamo_WordID, WORD_CLASS,  WORD_EXPLAIN, WORD_AIDS, WORD_GREANTONYM, WORD_ANALOPY, 0 as Vocamo_CategoryID,  0 as Relation_Count, '' as Vocamo_Symbol, '' as Vocamo_Content, '' as Vocamo_Sentence, '' as Vocamo_Translation, Example_Exist   from TotalWords");
    const QString tips = QStringLiteral(
        "select Tips.LayerKey, Title, Caption, HashCode from Tips, PressCount where Tips.LayerID = PressCount.LayerID  and Tips.LayerKey = PressCount.LayerKey and Tips.LayerID = 1 and UserID = 1  and ");
    const QStringList statements{
        QStringLiteral("select * from Feature "),
        QStringLiteral("select * from USERS order by User_ID"),
        QStringLiteral("select USER_ID from USERS"),
        QStringLiteral("select * from USERBOOKS where Deletable <> 2 and USER_ID = 1 Order by SEQUENCE"),
        QStringLiteral("select * from Totalwords  where WORD_NAME = 'aaa'  or  WORD_NAME = 'apple' "),
        QStringLiteral("select WORD_EXAMPLE, WORD_CLASS, Word_ID from TotalWords where Word_ID = 30 "),
        QStringLiteral("select Word_Trans, Word_Example, WORD_CLASS from TotalWords where Word_ID = 30"),
        QStringLiteral("select WORD_NOTE from Dictionary where WORD_ID = 1 "),
        QStringLiteral("select Count(*) as ExplainCount from Dictionary where WORD_ID = 1 "),
        QStringLiteral("select EngContent, ChnTranslation from Example where WORD_ID = 1 order by Example_Index ASC"),
        QStringLiteral("select Count(*) as ExampleCount from Example where WORD_ID = 1 "),
        QStringLiteral("select WordName from Irregular where PastStyle = 'went' or FinishStyle = 'went'"),
        QStringLiteral("insert into Vocamo(Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, Vocamo_Ability, Vocamo_Count, Vocamo_Round, Vocamo_Time) values(0, 1, 30, 10, 2, 1, 45000.5)"),
        QStringLiteral("select Vocamo_Ability, Vocamo_Round, Vocamo_BookID, TotalWords.WORD_NAME, Vocamo_Symbol, Vocamo_Content, WORD_SYMBOL, Word_Trans,  Vocamo_Sentence, Vocamo_WordID, Vocamo_Translation, WORD_EXPLAIN, WORD_AIDS, WORD_GREANTONYM, WORD_ANALOPY, WORD_USAGE, WORD_NEWSYMBOL,  WORD_SYNONYMY, WORD_ANTONYM, 0 as Relation_Count, Vocamo_Count, Vocamo_Time, Vocamo_CategoryID, WORD_EXAMPLE, WORD_CLASS, Example_Exist  from Vocamo, TotalWords where (Vocamo_WordID = WORD_ID) "),
        wordList + QStringLiteral("  where ( WORD_NAME = 'aaa'  or WORD_NAME = 'apple') order by WORD_ID"),
        wordList + QStringLiteral(" where (WORD_NAME like 'ab%') order by WORD_ID"),
        wordList + QStringLiteral(" where Word_Name = 'apple' order by WORD_ID"),
        QStringLiteral("delete from Vocamo where Vocamo_CategoryID = 0 and Vocamo_BookID = 1 and Vocamo_WordID = 30"),
        QStringLiteral("delete from Vocamo"),
        QStringLiteral("select * from Vocamo"),
        QStringLiteral("select * from Relation where Relation_ID = 5 and User_ID = 1"),
        QStringLiteral("select Hardness from Relation where Relation_ID = 5 and User_ID = 1"),
        QStringLiteral("select count(*) as Relation_Count from RelationWord where User_ID = 1 and REFERENCE_ID = 30"),
        QStringLiteral("Select count(*) as Relation_Count from LinkWords where User_ID = 1 and Link_ID = 30"),
        QStringLiteral("select NUMBEREX, SEQUENCE, CHOICE, EXPLAIN from Interface where USER_ID = 1  order by SEQUENCE"),
        QStringLiteral("delete from Interface where USER_ID = 1 and Style = 0"),
        QStringLiteral("insert into Interface(NUMBEREX, USER_ID, Style, SEQUENCE, CHOICE, EXPLAIN)  Values( 120 ,1, 0, 21,'提示页数左', '提示页数')"),
        tips + QStringLiteral("Visible = 1 order by Sequence1 ASC "),
        tips + QStringLiteral("Visible = 0 order by ClickCount DESC, Sequence ASC "),
    };
    for (const QString &sql : statements)
        QTest::newRow(qPrintable(sql.left(70))) << sql;
}

void TestSampleStore::statementsRun()
{
    QFETCH(QString, sql);
    QString error;
    Query(m_db.get(), sql, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestSampleStore::textComparesIgnoreCase()
{
    const auto exact = Query(m_db.get(), QStringLiteral("select WORD_NAME from TotalWords where WORD_NAME = 'APPLE'"));
    QCOMPARE(exact.size(), 1);
    QCOMPARE(exact[0].value(0).toString(), QStringLiteral("apple"));
    const auto listed = Query(m_db.get(), QStringLiteral("select WORD_NAME from TotalWords where WORD_NAME in ('Go', 'TAKE') order by WORD_NAME"));
    QCOMPARE(listed.size(), 2);
    const auto hyphen = Query(m_db.get(), QStringLiteral("select WORD_NAME from TotalWords where WORD_NAME = 't-SHIRT'"));
    QCOMPARE(hyphen.size(), 1);
    // Sorting ignores case too: "English" sorts between "end" and "enjoy".
    const auto sorted = Query(m_db.get(), QStringLiteral("select WORD_NAME from TotalWords where WORD_NAME in ('enjoy', 'English', 'end') order by WORD_NAME"));
    QCOMPARE(sorted.size(), 3);
    QCOMPARE(sorted[1].value(0).toString(), QStringLiteral("English"));
}

void TestSampleStore::tipsOfTheListLayers()
{
    for (int layer : {1, 2}) {
        const auto visible = Query(m_db.get(), QStringLiteral(
            "select Tips.LayerKey, Title, Caption, HashCode from Tips, PressCount where Tips.LayerID = PressCount.LayerID  and Tips.LayerKey = PressCount.LayerKey and Tips.LayerID = %1 and UserID = 1  and Visible = 1 order by Sequence1 ASC ").arg(layer));
        QVERIFY(visible.size() >= 5);
        QCOMPARE(visible[0].value(0).toInt(), 13);   // Enter first
        QCOMPARE(visible[1].value(0).toInt(), 8);    // then Backspace
        QCOMPARE(visible[0].value(3).toString().size(), 32);
        const auto hidden = Query(m_db.get(), QStringLiteral(
            "select Tips.LayerKey from Tips, PressCount where Tips.LayerID = PressCount.LayerID  and Tips.LayerKey = PressCount.LayerKey and Tips.LayerID = %1 and UserID = 1  and Visible = 0 order by ClickCount DESC, Sequence ASC ").arg(layer));
        QVERIFY(!hidden.isEmpty());
        // Esc and Ctrl+F are added by the program itself around the stored tips.
        const auto builtIn = Query(m_db.get(), QStringLiteral("select count(*) from Tips where LayerID = %1 and LayerKey in (27, 670)").arg(layer));
        QCOMPARE(builtIn[0].value(0).toInt(), 0);
    }
}

void TestSampleStore::badSourceLeavesNoStore()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(CopyDir(SourceDir() + QStringLiteral("/data"), data));
    QFile words(data + QStringLiteral("/words.tsv"));
    QVERIFY(words.open(QIODevice::Append));
    words.write("zebra\tˈzebrə\tn. 斑马\tmany\tA zebra.\t一匹斑马。\n");
    words.close();
    const QString out = dir.filePath(QStringLiteral("out/Vocamo.mdb"));
    const RunResult result = RunBuilder(data, out);
    QVERIFY(result.exitCode != 0);
    QVERIFY2(result.errors.contains(QStringLiteral("usage level")), qPrintable(result.errors));
    QVERIFY(!QFile::exists(out));
    QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

void TestSampleStore::failedBuildKeepsPreviousStore()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Vocamo.mdb"));
    QVERIFY(QFile::copy(m_store, out));
    const QByteArray before = [&] { QFile f(out); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    // A schema that fails halfway: the store is written in full or not at all.
    const QString schema = dir.filePath(QStringLiteral("bad.sql"));
    QFile file(schema);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("create table Feature(LIFE_MAJOR_VERSION integer);\n");
    file.close();
    QProcess process;
    process.start(BuilderPath(), {QStringLiteral("--schema"), schema, QStringLiteral("--data"),
                                  SourceDir() + QStringLiteral("/data"), QStringLiteral("--out"), out});
    QVERIFY(process.waitForFinished(120000));
    QVERIFY(process.exitCode() != 0);
    QFile after(out);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestSampleStore::duplicateWordsReported()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(CopyDir(SourceDir() + QStringLiteral("/data"), data));
    QFile words(data + QStringLiteral("/words.tsv"));
    QVERIFY(words.open(QIODevice::Append));
    words.write("Apple\tˈæpl\tn. 苹果\t3\tAn apple.\t一个苹果。\n");
    words.close();
    const QString out = dir.filePath(QStringLiteral("Vocamo.mdb"));
    const RunResult result = RunBuilder(data, out);
    QVERIFY(result.exitCode != 0);
    QVERIFY2(result.errors.contains(QStringLiteral("duplicate word 'Apple'")), qPrintable(result.errors));
    QVERIFY(result.errors.contains(QStringLiteral("words.tsv:")));
    QVERIFY(!QFile::exists(out));
}

void TestSampleStore::syntheticWords()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Bench.mdb"));
    const RunResult result = RunBuilder(SourceDir() + QStringLiteral("/data"), out, {QStringLiteral("--words"), QStringLiteral("3000")});
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    Database db = Open(out);
    const auto count = Query(db.get(), QStringLiteral("select count(*), count(distinct WORD_NAME) from TotalWords"));
    QCOMPARE(count[0].value(0).toInt(), 3000);
    QCOMPARE(count[0].value(1).toInt(), 3000);
    const auto real = Query(db.get(), QStringLiteral("select WORD_ID from TotalWords where WORD_NAME = 'apple'"));
    QCOMPARE(real.size(), 1);
    const auto synthetic = Query(db.get(), QStringLiteral("select count(*) from TotalWords where WORD_NAME like 'ab_____'"));
    QVERIFY(synthetic[0].value(0).toInt() >= 3000 - SourceRows(QStringLiteral("words.tsv")).size());
}

QTEST_GUILESS_MAIN(TestSampleStore)
#include "tst_samplestore.moc"
