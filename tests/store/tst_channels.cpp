#include "store/Channels.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <memory>

namespace {

const char *const Schema = R"sql(
begin;
create table Items(ID integer primary key, Name text collate nocase, Amount integer);
insert into Items values (1, 'one', 10);
insert into Items values (2, 'two', 20);
insert into Items values (3, 'three', 30);
create table Vocamo(Vocamo_CategoryID integer, Vocamo_BookID integer, Vocamo_WordID integer,
                    Vocamo_Ability integer, Vocamo_Count integer, Vocamo_Round integer,
                    Vocamo_Time real, Vocamo_Content text, Vocamo_Symbol text,
                    Vocamo_Sentence text, Vocamo_Translation text);
create table TotalWords(WORD_ID integer primary key, WORD_NAME text collate nocase,
                        WORD_SYMBOL text, WORD_NEWSYMBOL text, WORD_TRANS text,
                        WORD_EXPLAIN text, WORD_SYNONYMY text, WORD_ANTONYM text,
                        WORD_ANALOPY text, WORD_AIDS text, WORD_GREANTONYM text,
                        WORD_AFFIX text, WORD_USAGE integer, WORD_EXAMPLE text,
                        WORD_CLASS text, Example_Exist integer);
insert into TotalWords(WORD_ID, WORD_NAME, WORD_TRANS) values (7, 'apple', '苹果');
commit;
)sql";

const char *const DuePage =
    "select Vocamo_Ability, Vocamo_Round, Vocamo_BookID, TotalWords.WORD_NAME, Vocamo_Symbol, "
    "Vocamo_Content, WORD_SYMBOL, Word_Trans,  Vocamo_Sentence, Vocamo_WordID, "
    "Vocamo_Translation, WORD_EXPLAIN, WORD_AIDS, WORD_GREANTONYM, WORD_ANALOPY, WORD_USAGE, "
    "WORD_NEWSYMBOL,  WORD_SYNONYMY, WORD_ANTONYM, 0 as Relation_Count, Vocamo_Count, "
    "Vocamo_Time, Vocamo_CategoryID, WORD_EXAMPLE, WORD_CLASS, Example_Exist  from Vocamo, "
    "TotalWords where (Vocamo_WordID = WORD_ID) ";

int g_calls = 0;

void countCall(sqlite3_context *context, int, sqlite3_value **)
{
    ++g_calls;
    sqlite3_result_int(context, 99);
}

} // namespace

class TestChannels : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<TAdoChannel> m_channel;

    // Reads through a separate channel, so the value proves what reached the file.
    QVariant fresh(const QString &sql)
    {
        TAdoChannel other;
        if (!other.OpenDatabase(m_path, QString()))
            return QStringLiteral("<open failed>");
        SqliteDataset *dataset = other.Query(sql);
        if (!dataset)
            return QStringLiteral("<query failed: %1>").arg(other.lastError());
        return dataset->eof() ? QVariant() : dataset->field(0).value();
    }
    QString items() { return fresh(QStringLiteral("select group_concat(Name || '=' || Amount, ',') from (select * from Items order by ID)")).toString(); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("Vocamo.db"));
        {
            SqliteDatabase db;
            QVERIFY(db.create(m_path));
            QVERIFY2(db.execScript(QString::fromUtf8(Schema)), qPrintable(db.lastError()));
        }
        m_channel = std::make_unique<TAdoChannel>();
        QVERIFY(m_channel->OpenDatabase(m_path, QString()));
    }

    void cleanup()
    {
        m_channel.reset();
        m_dir.reset();
    }

    // ---- opening ----

    void newChannelIsUnconnected()
    {
        TAdoChannel channel;
        QVERIFY(!channel.Connected());
        QVERIFY(channel.DatabasePath().isEmpty());
        QCOMPARE(channel.slotCount(), 0);
        QVERIFY(!channel.Execute(QStringLiteral("delete from Items")));
        QVERIFY(!channel.ExecuteInTransaction(QStringLiteral("delete from Items")));
        QCOMPARE(channel.Query(QStringLiteral("select 1")), nullptr);
        QCOMPARE(channel.OpenNamed(QStringLiteral("a"), QStringLiteral("select 1")), nullptr);
    }

    void openDatabaseBuildsConnectionString()
    {
        QVERIFY(m_channel->Connected());
        QCOMPARE(m_channel->DatabasePath(), m_path);
        QCOMPARE(m_channel->ConnectionString(),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1; Jet OLEDB:Database Password=").arg(m_path));
        TAdoChannel withPassword;
        QVERIFY(withPassword.OpenDatabase(m_path, QStringLiteral("secret")));
        QVERIFY(withPassword.ConnectionString().endsWith(QStringLiteral("; Jet OLEDB:Database Password=secret")));
    }

    void openDatabaseFailures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing file") << "missing.db" << QByteArray();
        QTest::newRow("text file") << "notes.txt" << QByteArray("just some words, not a database\n").repeated(30);
    }

    void openDatabaseFailures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        const QString path = m_dir->filePath(fileName);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        TAdoChannel channel;
        QVERIFY(!channel.OpenDatabase(path, QString()));
        QVERIFY(!channel.Connected());
        QCOMPARE(channel.DatabasePath(), path);
        QVERIFY(!channel.lastError().isEmpty());
        QCOMPARE(QFileInfo::exists(path), !content.isEmpty());
        QCOMPARE(channel.Query(QStringLiteral("select 1")), nullptr);
    }

    void connectReadsDataSource_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("jet text") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1; Jet OLEDB:Database Password=";
        QTest::newRow("last entry") << "Provider=X;data source=%1";
        QTest::newRow("quoted") << "Data Source=\"%1\";Mode=Share";
    }

    void connectReadsDataSource()
    {
        QFETCH(QString, format);
        TAdoChannel channel;
        QVERIFY2(channel.Connect(format.arg(m_path)), qPrintable(channel.lastError()));
        QVERIFY(channel.Connected());
        QCOMPARE(channel.ConnectionString(), format.arg(m_path));
        SqliteDataset *dataset = channel.Query(QStringLiteral("select count(*) as N from Items"));
        QVERIFY(dataset);
        QCOMPARE(dataset->fieldByName("N").asInteger(), 3);
    }

    void connectWithoutDataSourceFails()
    {
        TAdoChannel channel;
        QVERIFY(!channel.Connect(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;")));
        QVERIFY(!channel.Connected());
    }

    void reconnectClosesHandedOutDatasets()
    {
        SqliteDataset *page = m_channel->OpenNamed(QStringLiteral("Page"), QStringLiteral("select * from Items"));
        QVERIFY(page && page->isActive());
        QVERIFY(m_channel->Connect(m_channel->ConnectionString()));
        QCOMPARE(m_channel->FindNamed(QStringLiteral("Page")), page);
        QVERIFY(!page->isActive());
        QVERIFY(m_channel->OpenNamed(QStringLiteral("Page"), QStringLiteral("select * from Items")));
    }

    // ---- slots ----

    void slotRules()
    {
        QCOMPARE(m_channel->OpenSlot(QStringLiteral("select * from Items"), 3), nullptr);
        QCOMPARE(m_channel->OpenSlot(QStringLiteral("select * from Items"), 2), nullptr); // no slot 1 yet
        QCOMPARE(m_channel->slotCount(), 0);
        SqliteDataset *first = m_channel->Query(QStringLiteral("select * from Items"));
        QVERIFY(first);
        QCOMPARE(m_channel->slotCount(), 1);
        QCOMPARE(m_channel->OpenSlot(QStringLiteral("select * from Items"), 3), nullptr);
        QCOMPARE(m_channel->slotCount(), 1); // created nothing
        SqliteDataset *second = m_channel->OpenSlot(QStringLiteral("select * from Items"), 2);
        QVERIFY(second);
        QVERIFY(second != first);
        QCOMPARE(m_channel->slotCount(), 2);
        QCOMPARE(m_channel->Query2(QStringLiteral("select * from Items")), second);
        QCOMPARE(m_channel->OpenSlot(QStringLiteral("select * from Items"), 0), nullptr);
        QCOMPARE(m_channel->OpenSlot(QStringLiteral("select * from Items"), -1), nullptr);
        QCOMPARE(m_channel->slotCount(), 2);
    }

    void reusingASlotReplacesItsRows()
    {
        SqliteDataset *first = m_channel->Query(QStringLiteral("select Name from Items where ID = 1"));
        QVERIFY(first);
        QCOMPARE(first->fieldByName("Name").asText(), QStringLiteral("one"));
        SqliteDataset *again = m_channel->Query(QStringLiteral("select Amount from Items where ID = 2"));
        QCOMPARE(again, first);
        QCOMPARE(again->fieldByName("Amount").asInteger(), 20);
        QVERIFY(!again->fieldByName("Name").isValid());
    }

    void failedSlotStatementStillCreatesTheSlot()
    {
        QCOMPARE(m_channel->Query(QStringLiteral("select * from NoSuchTable")), nullptr);
        QCOMPARE(m_channel->slotCount(), 1);
        QVERIFY(m_channel->Query2(QStringLiteral("select * from Items")));
    }

    void queryErrorsGiveNone_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("syntax error") << "select from where Items";
        QTest::newRow("missing table") << "select * from NoSuchTable";
        QTest::newRow("not a query") << "delete from Items";
    }

    void queryErrorsGiveNone()
    {
        QFETCH(QString, sql);
        QCOMPARE(m_channel->Query(sql), nullptr);
        QVERIFY(!m_channel->lastError().isEmpty());
        QCOMPARE(items(), QStringLiteral("one=10,two=20,three=30"));
    }

    // ---- names ----

    void namesIgnoreCase()
    {
        SqliteDataset *page = m_channel->OpenNamed(QStringLiteral("WordPage"), QStringLiteral("select * from Items where ID = 1"));
        QVERIFY(page);
        SqliteDataset *same = m_channel->OpenNamed(QStringLiteral("WORDPAGE"), QStringLiteral("select * from Items where ID = 2"));
        QCOMPARE(same, page);
        QCOMPARE(page->fieldByName("Name").asText(), QStringLiteral("two"));
        QCOMPARE(m_channel->FindNamed(QStringLiteral("wordpage")), page);
        SqliteDataset *other = m_channel->OpenNamed(QStringLiteral("Other"), QStringLiteral("select * from Items"));
        QVERIFY(other && other != page);
        QCOMPARE(page->fieldByName("Name").asText(), QStringLiteral("two")); // untouched
    }

    void findNamedRunsNothing()
    {
        QCOMPARE(m_channel->FindNamed(QStringLiteral("Unknown")), nullptr);
        SqliteDataset *page = m_channel->OpenNamed(QStringLiteral("Page"), QStringLiteral("select * from Items order by ID"));
        page->next();
        QCOMPARE(m_channel->FindNamed(QStringLiteral("PAGE")), page);
        QCOMPARE(page->fieldByName("ID").asInteger(), 2); // still where the caller left it
    }

    void failedNamedStatementKeepsTheName()
    {
        QCOMPARE(m_channel->OpenNamed(QStringLiteral("Page"), QStringLiteral("select * from Nowhere")), nullptr);
        SqliteDataset *kept = m_channel->FindNamed(QStringLiteral("Page"));
        QVERIFY(kept);
        QVERIFY(!kept->isActive());
        QVERIFY(kept->eof());
    }

    void freeNamed()
    {
        QVERIFY(m_channel->OpenNamed(QStringLiteral("Page"), QStringLiteral("select * from Items")));
        QVERIFY(m_channel->OpenNamed(QStringLiteral("Keep"), QStringLiteral("select * from Items")));
        m_channel->FreeNamed(QStringLiteral("pAgE"));
        QCOMPARE(m_channel->FindNamed(QStringLiteral("Page")), nullptr);
        QVERIFY(m_channel->FindNamed(QStringLiteral("Keep")));
        m_channel->FreeNamed(QStringLiteral("Page")); // unknown now: ignored
        m_channel->FreeNamed(QStringLiteral("Never"));
        QVERIFY(m_channel->FindNamed(QStringLiteral("Keep")));
    }

    // ---- data-changing statements ----

    void executeRunsOneStatement()
    {
        QVERIFY(m_channel->Execute(QStringLiteral("update Items set Amount = 11 where ID = 1")));
        QCOMPARE(items(), QStringLiteral("one=11,two=20,three=30"));
    }

    void executeErrors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("syntax error") << "update Items sett Amount = 0";
        QTest::newRow("missing table") << "delete from NoSuchTable";
        QTest::newRow("two statements") << "update Items set Amount = 0; delete from Items";
        QTest::newRow("empty") << "";
    }

    void executeErrors()
    {
        QFETCH(QString, sql);
        QVERIFY(!m_channel->Execute(sql));
        QVERIFY(!m_channel->lastError().isEmpty());
        QCOMPARE(items(), QStringLiteral("one=10,two=20,three=30"));
    }

    void executeListStopsAtFirstFailure()
    {
        QVERIFY(!m_channel->ExecuteList({QStringLiteral("update Items set Amount = 1 where ID = 1"),
                                         QStringLiteral("update NoSuchTable set X = 1"),
                                         QStringLiteral("update Items set Amount = 3 where ID = 3")}));
        QCOMPARE(items(), QStringLiteral("one=1,two=20,three=30"));
        QVERIFY(m_channel->ExecuteList({QStringLiteral("update Items set Amount = 2 where ID = 2"),
                                        QStringLiteral("update Items set Amount = 3 where ID = 3")}));
        QCOMPARE(items(), QStringLiteral("one=1,two=2,three=3"));
        QVERIFY(m_channel->ExecuteList({}));
    }

    void executeListInTransactionRollsBackCompletely()
    {
        sqlite3_create_function(m_channel->database().handle(), "counted", 0, SQLITE_UTF8, nullptr,
                                countCall, nullptr, nullptr);
        g_calls = 0;
        QVERIFY(m_channel->Execute(QStringLiteral("update Items set Amount = counted() where ID = 1")));
        QCOMPARE(g_calls, 1);
        QVERIFY(m_channel->Execute(QStringLiteral("update Items set Amount = 10 where ID = 1")));
        g_calls = 0;
        QVERIFY(!m_channel->ExecuteListInTransaction(
            {QStringLiteral("delete from Items where ID = 1"),
             QStringLiteral("insert into Items(ID, Name) values (2, 'duplicate key')"),
             QStringLiteral("update Items set Amount = counted() where ID = 3")}));
        QCOMPARE(g_calls, 0); // the third statement never ran
        QCOMPARE(items(), QStringLiteral("one=10,two=20,three=30"));
        QVERIFY(!m_channel->lastError().isEmpty());
        QCOMPARE(m_channel->database().transactionDepth(), 0);
        // The channel is usable afterwards.
        QVERIFY(m_channel->ExecuteListInTransaction({QStringLiteral("delete from Items where ID = 1"),
                                                     QStringLiteral("update Items set Amount = 0 where ID = 3")}));
        QCOMPARE(items(), QStringLiteral("two=20,three=0"));
    }

    void executeInTransaction()
    {
        QVERIFY(!m_channel->ExecuteInTransaction(QStringLiteral("insert into Items(ID) values (1)")));
        QVERIFY(!m_channel->ExecuteInTransaction(QStringLiteral("delete from Items; delete from Nowhere")));
        QCOMPARE(items(), QStringLiteral("one=10,two=20,three=30"));
        QVERIFY(m_channel->ExecuteInTransaction(QStringLiteral("delete from Items where ID = 2")));
        QCOMPARE(items(), QStringLiteral("one=10,three=30"));
        QCOMPARE(m_channel->database().transactionDepth(), 0);
    }

    void transactionSeesOpenDatasetsUnchanged()
    {
        SqliteDataset *page = m_channel->OpenNamed(QStringLiteral("Page"), QStringLiteral("select Name from Items order by ID"));
        QVERIFY(page);
        QVERIFY(m_channel->ExecuteInTransaction(QStringLiteral("delete from Items where ID = 2")));
        QVERIFY(!m_channel->ExecuteListInTransaction({QStringLiteral("delete from Items"),
                                                      QStringLiteral("delete from Nowhere")}));
        QStringList names;
        for (; !page->eof(); page->next())
            names << page->fieldByName("Name").asText();
        QCOMPARE(names, QStringList({"one", "two", "three"}));
    }

    // ---- datasets through the channel ----

    // Commits go to a write-ahead log (one sync per commit) and stay durable: a second
    // connection, as after a restart, sees what the first committed.
    void committedWritesUseTheLogAndPersist()
    {
        SqliteDataset *mode = m_channel->Query(QStringLiteral("PRAGMA journal_mode"));
        QVERIFY(mode);
        QCOMPARE(mode->field(0).asText().toLower(), QStringLiteral("wal"));
        QVERIFY(m_channel->ExecuteInTransaction(QStringLiteral("update Items set Amount = 77 where ID = 1")));
        TAdoChannel other;
        QVERIFY(other.OpenDatabase(m_path, QString()));
        SqliteDataset *row = other.Query(QStringLiteral("select Amount from Items where ID = 1"));
        QVERIFY(row);
        QCOMPARE(row->fieldByName("Amount").asInteger(), 77);
    }

    void editAppendDeleteReachTheFile()
    {
        SqliteDataset *ds = m_channel->Query(QStringLiteral("select * from Items order by ID"));
        QVERIFY(ds);
        QVERIFY(ds->edit());
        QVERIFY(ds->fieldByName("amount").setAsInteger(15));
        QVERIFY(ds->post());
        ds->next();
        QVERIFY(ds->remove());
        QVERIFY(ds->append());
        QVERIFY(ds->fieldByName("Name").setAsText(QStringLiteral("four")));
        QVERIFY(ds->fieldByName("Amount").setAsInteger(40));
        QVERIFY(ds->post());
        QCOMPARE(ds->fieldByName("ID").asInteger(), 4);
        QCOMPARE(items(), QStringLiteral("one=15,three=30,four=40"));
    }

    void duePageStatementReadsAndStaysReadOnly()
    {
        QVERIFY(m_channel->Execute(QStringLiteral(
            "insert into Vocamo(Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, Vocamo_Ability, Vocamo_Time) "
            "values (0, 3, 7, 250, 40544.25)")));
        SqliteDataset *page = m_channel->OpenNamed(QStringLiteral("DuePage"), QString::fromLatin1(DuePage));
        QVERIFY2(page, qPrintable(m_channel->lastError()));
        QCOMPARE(page->fieldCount(), 26);
        QCOMPARE(page->fieldByName("WORD_NAME").asText(), QStringLiteral("apple"));
        QCOMPARE(page->fieldByName("Word_Trans").asText(), QStringLiteral("苹果"));
        QCOMPARE(page->fieldByName("Vocamo_Ability").asInteger(), 250);
        QCOMPARE(page->fieldByName("Vocamo_Time").asDateTime(), 40544.25);
        QCOMPARE(page->fieldByName("Relation_Count").asInteger(), 0);
        QVERIFY(page->fieldByName("Vocamo_Content").isNull());
        QVERIFY(!page->edit());
    }

    void appendToDueTableAfterDelete()
    {
        QVERIFY(m_channel->Execute(QStringLiteral("delete from Vocamo")));
        SqliteDataset *ds = m_channel->Query(QStringLiteral("select * from Vocamo"));
        QVERIFY(ds);
        for (int word = 1; word <= 3; ++word) {
            QVERIFY(ds->append());
            QVERIFY(ds->fieldByName("Vocamo_CategoryID").setAsInteger(0));
            QVERIFY(ds->fieldByName("Vocamo_BookID").setAsInteger(5));
            QVERIFY(ds->fieldByName("Vocamo_WordID").setAsInteger(word));
            QVERIFY(ds->fieldByName("Vocamo_Time").setAsDateTime(40544.5));
            QVERIFY(ds->post());
        }
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(fresh(QStringLiteral("select sum(Vocamo_WordID) from Vocamo")).toInt(), 6);
    }
};

QTEST_GUILESS_MAIN(TestChannels)
#include "tst_channels.moc"
