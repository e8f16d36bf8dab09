#include "platform/DateTime.h"
#include "platform/SqliteDatabase.h"
#include "platform/SqliteDataset.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const char *const Schema = R"sql(
begin;
create table Words(WORD_ID integer primary key, WORD_NAME text collate nocase,
                   WORD_USAGE integer default 7, WORD_NOTE blob, Stamp real);
insert into Words values (1, 'apple', 1, null, 40544.25);
insert into Words values (2, 'banana', 2, X'00FF10', null);
insert into Words values (3, 'cherry', 3, null, null);
create table Other(ID integer, Label text);
insert into Other values (2, 'second');
create table "Word List"(Name text);
insert into "Word List" values ('one');
commit;
)sql";

} // namespace

class TestSqliteDataset : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<SqliteDatabase> m_db;

    // A second connection, so what is read proves what reached the file.
    QVariant freshValue(const QString &sql)
    {
        SqliteDatabase other;
        if (!other.open(m_path))
            return QStringLiteral("<open failed>");
        SqliteDataset dataset(&other);
        if (!dataset.open(sql))
            return QStringLiteral("<query failed: %1>").arg(dataset.lastError());
        return dataset.eof() ? QVariant() : dataset.field(0).value();
    }
    qint64 freshCount(const QString &table)
    {
        return freshValue(QStringLiteral("select count(*) from %1").arg(table)).toLongLong();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("store.db"));
        m_db = std::make_unique<SqliteDatabase>();
        QVERIFY(m_db->create(m_path));
        QVERIFY2(m_db->execScript(QString::fromUtf8(Schema)), qPrintable(m_db->lastError()));
    }

    void cleanup()
    {
        m_db.reset();
        m_dir.reset();
    }

    // ---- opening the file ----

    void openExistingFile()
    {
        SqliteDatabase db;
        QVERIFY(db.open(m_path));
        QVERIFY(db.isOpen());
        QCOMPARE(db.path(), m_path);
    }

    void openFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("createFile");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("text file") << QByteArray("This is a plain text file, not a database.\n").repeated(20) << true;
        QTest::newRow("short garbage") << QByteArray("SQLite format 2\0garbage", 23) << true;
    }

    void openFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, createFile);
        const QString path = m_dir->filePath(QStringLiteral("other.db"));
        if (createFile) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        SqliteDatabase db;
        QVERIFY(!db.open(path));
        QVERIFY(!db.isOpen());
        QVERIFY(!db.lastError().isEmpty());
        QCOMPARE(QFileInfo::exists(path), createFile); // never creates a file
        if (createFile) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content); // nor changes one
        }
    }

    void openDirectoryFails()
    {
        SqliteDatabase db;
        QVERIFY(!db.open(m_dir->path()));
    }

    void openReadOnlyFileFails()
    {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner);
        if (QFileInfo(m_path).isWritable())
            QSKIP("running with rights that ignore file permissions");
        SqliteDatabase db;
        QVERIFY(!db.open(m_path));
    }

    void createRefusesExistingFile()
    {
        SqliteDatabase db;
        QVERIFY(!db.create(m_path));
    }

    // ---- exec ----

    void execRunsOneStatement()
    {
        QVERIFY(m_db->exec(QStringLiteral("update Words set WORD_USAGE = 5 where WORD_ID = 1;  -- done")));
        QCOMPARE(freshValue(QStringLiteral("select WORD_USAGE from Words where WORD_ID = 1")).toInt(), 5);
    }

    void execErrors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("syntax error") << QStringLiteral("updat Words set WORD_USAGE = 0");
        QTest::newRow("missing table") << QStringLiteral("delete from NoSuchTable");
        QTest::newRow("empty") << QStringLiteral("  ");
        QTest::newRow("two statements")
            << QStringLiteral("update Words set WORD_USAGE = 0; delete from Words");
        QTest::newRow("constraint") << QStringLiteral("insert into Words(WORD_ID) values (1)");
    }

    void execErrors()
    {
        QFETCH(QString, sql);
        QVERIFY(!m_db->exec(sql));
        QVERIFY(!m_db->lastError().isEmpty());
        QCOMPARE(freshCount(QStringLiteral("Words")), 3);
        QCOMPARE(freshValue(QStringLiteral("select sum(WORD_USAGE) from Words")).toInt(), 6);
    }

    void nestedTransactionsRollBackInnerOnly()
    {
        QVERIFY(m_db->begin());
        QVERIFY(m_db->exec(QStringLiteral("delete from Words where WORD_ID = 1")));
        QVERIFY(m_db->begin());
        QVERIFY(m_db->exec(QStringLiteral("delete from Words where WORD_ID = 2")));
        QVERIFY(m_db->rollback());
        QVERIFY(m_db->commit());
        QCOMPARE(m_db->transactionDepth(), 0);
        QCOMPARE(freshCount(QStringLiteral("Words")), 2);
        QCOMPARE(freshValue(QStringLiteral("select count(*) from Words where WORD_ID = 2")).toInt(), 1);
        QVERIFY(!m_db->commit());
    }

    // ---- reading ----

    void openErrorsAreResults_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("syntax error") << QStringLiteral("selec * from Words");
        QTest::newRow("missing table") << QStringLiteral("select * from NoSuchTable");
        QTest::newRow("missing column") << QStringLiteral("select NoSuchColumn from Words");
        QTest::newRow("no rows statement") << QStringLiteral("delete from Words");
        QTest::newRow("two statements") << QStringLiteral("select * from Words; delete from Words");
        QTest::newRow("empty") << QString();
    }

    void openErrorsAreResults()
    {
        QFETCH(QString, sql);
        SqliteDataset dataset(m_db.get());
        QVERIFY(!dataset.open(sql));
        QVERIFY(!dataset.isActive());
        QVERIFY(dataset.eof());
        QCOMPARE(dataset.fieldCount(), 0);
        QVERIFY(!dataset.lastError().isEmpty());
        QVERIFY(!dataset.fieldByName("WORD_ID").isValid());
        QCOMPARE(freshCount(QStringLiteral("Words")), 3); // nothing of it ran
    }

    void openOnClosedDatabaseFails()
    {
        SqliteDatabase closed;
        SqliteDataset dataset(&closed);
        QVERIFY(!dataset.open(QStringLiteral("select 1")));
    }

    void navigation()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_ID, WORD_NAME from Words order by WORD_ID")));
        QCOMPARE(dataset.fieldCount(), 2); // the hidden rowid is not a field
        QCOMPARE(dataset.fieldName(1), QStringLiteral("WORD_NAME"));
        QCOMPARE(dataset.fieldName(2), QString());
        QStringList names;
        for (dataset.first(); !dataset.eof(); dataset.next())
            names << dataset.fieldByName("word_name").asText();
        QCOMPARE(names, QStringList({"apple", "banana", "cherry"}));
        dataset.next(); // past the end stays at the end
        QVERIFY(dataset.eof());
        QCOMPARE(dataset.recordCount(), 3);
        dataset.first();
        QVERIFY(!dataset.eof());
        QCOMPARE(dataset.fieldByName(QStringLiteral("Word_Id")).asInteger(), 1);
    }

    void recordCountBeforeReading()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words")));
        QCOMPARE(dataset.recordCount(), 3);
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("apple"));
    }

    void emptyResult()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words where WORD_ID > 100")));
        QVERIFY(dataset.isActive());
        QVERIFY(dataset.eof());
        QCOMPARE(dataset.recordCount(), 0);
        QCOMPARE(dataset.fieldCount(), 5);
        QVERIFY(dataset.fieldByName("WORD_NAME").isNull());
        QVERIFY(!dataset.edit());
        QVERIFY(!dataset.remove());
    }

    void missingFieldIsInvalidHandle()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words")));
        const SqliteField missing = dataset.fieldByName("NoSuchField");
        QVERIFY(!missing.isValid());
        QVERIFY(missing.isNull());
        QCOMPARE(missing.asInteger(), 0);
        QCOMPARE(missing.asText(), QString());
        QCOMPARE(missing.asFloat(), 0.0);
        QCOMPARE(missing.loadBlob(), QByteArray());
        QVERIFY(!missing.value().isValid());
        QVERIFY(dataset.edit());
        QVERIFY(!missing.setAsInteger(1));
        QVERIFY(!dataset.field(-1).isValid());
        QVERIFY(!dataset.field(5).isValid());
        QVERIFY(dataset.lastError().contains(QStringLiteral("NoSuchField")));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<bool>("isNull");
        QTest::addColumn<int>("asInteger");
        QTest::addColumn<qint64>("asLargeInt");
        QTest::addColumn<double>("asFloat");
        QTest::addColumn<QString>("asText");
        QTest::newRow("integer") << "42" << false << 42 << qint64(42) << 42.0 << "42";
        QTest::newRow("negative integer") << "-7" << false << -7 << qint64(-7) << -7.0 << "-7";
        QTest::newRow("big integer") << "5000000000" << false << 2147483647 << qint64(5000000000)
                                     << 5e9 << "5000000000";
        QTest::newRow("real rounds half to even 2.5") << "2.5" << false << 2 << qint64(2) << 2.5 << "2.5";
        QTest::newRow("real rounds half to even 3.5") << "3.5" << false << 4 << qint64(4) << 3.5 << "3.5";
        QTest::newRow("real -2.5") << "-2.5" << false << -2 << qint64(-2) << -2.5 << "-2.5";
        QTest::newRow("real 2.7") << "2.7" << false << 3 << qint64(3) << 2.7 << "2.7";
        QTest::newRow("real 0.1 + 0.2") << "0.1 + 0.2" << false << 0 << qint64(0) << 0.1 + 0.2 << "0.3";
        QTest::newRow("day number") << "40544.25" << false << 40544 << qint64(40544) << 40544.25 << "40544.25";
        QTest::newRow("text integer") << "'12'" << false << 12 << qint64(12) << 12.0 << "12";
        QTest::newRow("text with blanks") << "' 7 '" << false << 7 << qint64(7) << 7.0 << " 7 ";
        QTest::newRow("text number") << "'12.7'" << false << 13 << qint64(13) << 12.7 << "12.7";
        QTest::newRow("text word") << "'abc'" << false << 0 << qint64(0) << 0.0 << "abc";
        QTest::newRow("empty text") << "''" << false << 0 << qint64(0) << 0.0 << "";
        QTest::newRow("chinese text") << QStringLiteral("'苹果'") << false << 0 << qint64(0) << 0.0
                                      << QStringLiteral("苹果");
        QTest::newRow("null") << "null" << true << 0 << qint64(0) << 0.0 << "";
        QTest::newRow("blob") << "X'414243'" << false << 0 << qint64(0) << 0.0 << "ABC";
    }

    void conversions()
    {
        QFETCH(QString, expression);
        QFETCH(bool, isNull);
        QFETCH(int, asInteger);
        QFETCH(qint64, asLargeInt);
        QFETCH(double, asFloat);
        QFETCH(QString, asText);
        SqliteDataset dataset(m_db.get());
        QVERIFY2(dataset.open(QStringLiteral("select %1 as V").arg(expression)),
                 qPrintable(dataset.lastError()));
        const SqliteField field = dataset.fieldByName("v");
        QVERIFY(field.isValid());
        QCOMPARE(field.isNull(), isNull);
        QCOMPARE(field.asInteger(), asInteger);
        QCOMPARE(field.asLargeInt(), asLargeInt);
        QCOMPARE(field.asFloat(), asFloat);
        QCOMPARE(field.asText(), asText);
    }

    void valueKeepsStorageClass_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("integer") << "3" << QVariant(qlonglong(3));
        QTest::newRow("real") << "1.5" << QVariant(1.5);
        QTest::newRow("text") << "'x'" << QVariant(QStringLiteral("x"));
        QTest::newRow("blob") << "X'00FF'" << QVariant(QByteArray("\x00\xff", 2));
        QTest::newRow("null") << "null" << QVariant();
    }

    void valueKeepsStorageClass()
    {
        QFETCH(QString, expression);
        QFETCH(QVariant, expected);
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select %1 as V").arg(expression)));
        const QVariant value = dataset.fieldByName("V").value();
        QCOMPARE(value.metaType(), expected.metaType());
        QCOMPARE(value, expected);
    }

    void asDateTime_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("dayNumber");
        QTest::newRow("real") << "40544.25" << 40544.25;
        QTest::newRow("integer") << "2" << 2.0;
        QTest::newRow("numeric text") << "'40544.5'" << 40544.5;
        QTest::newRow("iso text") << "'2011-01-01 06:00:00'" << 40544.25;
        QTest::newRow("iso text with T") << "'2011-01-01T18:00:00'" << 40544.75;
        QTest::newRow("other text") << "'soon'" << 0.0;
        QTest::newRow("null") << "null" << 0.0;
    }

    void asDateTime()
    {
        QFETCH(QString, expression);
        QFETCH(double, dayNumber);
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select %1 as V").arg(expression)));
        QCOMPARE(dataset.fieldByName("V").asDateTime(), dayNumber);
    }

    void rowsAreThoseOfTheMomentOfOpening()
    {
        SqliteDataset reading(m_db.get());
        QVERIFY(reading.open(QStringLiteral("select WORD_NAME from Words order by WORD_ID")));
        QVERIFY(m_db->exec(QStringLiteral("insert into Words(WORD_ID, WORD_NAME) values (4, 'date')")));
        QVERIFY(m_db->exec(QStringLiteral("update Words set WORD_NAME = 'avocado' where WORD_ID = 3")));
        QStringList names;
        for (; !reading.eof(); reading.next())
            names << reading.fieldByName("WORD_NAME").asText();
        QCOMPARE(names, QStringList({"apple", "banana", "cherry"}));
    }

    void appendingWhileReadingTheSameTableEnds()
    {
        SqliteDataset reading(m_db.get());
        SqliteDataset writing(m_db.get());
        QVERIFY(reading.open(QStringLiteral("select WORD_NAME from Words")));
        QVERIFY(writing.open(QStringLiteral("select WORD_NAME from Words where 0")));
        int seen = 0;
        for (; !reading.eof() && seen < 10; reading.next(), ++seen) {
            QVERIFY(writing.append());
            QVERIFY(writing.fieldByName("WORD_NAME").setAsText(reading.fieldByName("WORD_NAME").asText() + "2"));
            QVERIFY(writing.post());
        }
        QCOMPARE(seen, 3);
        QCOMPARE(freshCount(QStringLiteral("Words")), 6);
    }

    void closingTheDatabaseClosesDatasets()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words")));
        m_db->close();
        QVERIFY(!dataset.isActive());
        QVERIFY(dataset.eof());
        QVERIFY(!dataset.open(QStringLiteral("select * from Words")));
    }

    void datasetMayOutliveDatabase()
    {
        auto db = std::make_unique<SqliteDatabase>();
        QVERIFY(db->open(m_path));
        SqliteDataset dataset(db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words")));
        db.reset();
        QVERIFY(!dataset.isActive());
        QVERIFY(!dataset.open(QStringLiteral("select * from Words")));
    }

    void reopeningTheSameTextReadsAgain()
    {
        SqliteDataset dataset(m_db.get());
        const QString sql = QStringLiteral("select WORD_NAME from Words order by WORD_ID");
        QVERIFY(dataset.open(sql));
        QVERIFY(m_db->exec(QStringLiteral("update Words set WORD_NAME = 'apricot' where WORD_ID = 1")));
        QVERIFY(dataset.open(sql)); // mid-way through the old rows
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("apricot"));
        QCOMPARE(dataset.recordCount(), 3);
    }

    void reopeningAfterSchemaChangeKeepsEditsOnTheRightRow()
    {
        SqliteDataset dataset(m_db.get());
        const QString sql = QStringLiteral("select * from Words order by WORD_ID");
        QVERIFY(dataset.open(sql));
        QVERIFY(m_db->exec(QStringLiteral("alter table Words add column Extra integer")));
        QVERIFY(dataset.open(sql));
        QCOMPARE(dataset.fieldCount(), 6);
        QCOMPARE(dataset.fieldName(5), QStringLiteral("Extra"));
        dataset.next();
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("Extra").setAsInteger(5));
        QVERIFY(dataset.post());
        QCOMPARE(freshValue(QStringLiteral("select WORD_ID from Words where Extra = 5")).toInt(), 2);
    }

    void nonAsciiFieldNames()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select 1 as \"单词\", 2 as \"Ärger\"")));
        QCOMPARE(dataset.fieldByName(QStringLiteral("单词")).asInteger(), 1);
        QCOMPARE(dataset.fieldByName(u8"单词").asInteger(), 1);
        QCOMPARE(dataset.fieldByName(QStringLiteral("ärger")).asInteger(), 2);
        QCOMPARE(dataset.fieldIndex(QLatin1String("\xc4rger")), 1);
    }

    // ---- writing back ----

    void editableOnlyOverOneTable_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("editable");
        QTest::newRow("star") << "select * from Words" << true;
        QTest::newRow("columns where order")
            << "select WORD_NAME, WORD_USAGE from Words where WORD_ID > 0 order by WORD_ID" << true;
        QTest::newRow("alias") << "select w.WORD_NAME from Words w where w.WORD_ID = 2" << true;
        QTest::newRow("as alias") << "select w.WORD_NAME from Words as w" << true;
        QTest::newRow("quoted name") << "select * from \"Word List\"" << true;
        QTest::newRow("case of table name") << "select * from WORDS limit 2" << true;
        QTest::newRow("subquery in where")
            << "select * from Words where WORD_ID in (select ID from Other)" << true;
        QTest::newRow("comma join") << "select * from Words, Other where WORD_ID = ID" << false;
        QTest::newRow("join") << "select * from Words join Other on WORD_ID = ID" << false;
        QTest::newRow("distinct") << "select distinct WORD_USAGE from Words" << false;
        QTest::newRow("count") << "select count(*) as N from Words" << false;
        QTest::newRow("group by") << "select WORD_USAGE from Words group by WORD_USAGE" << false;
        QTest::newRow("union") << "select WORD_NAME from Words union select Label from Other" << false;
        QTest::newRow("no table") << "select 1 as One" << false;
        QTest::newRow("subquery source") << "select * from (select * from Words)" << false;
    }

    void editableOnlyOverOneTable()
    {
        QFETCH(QString, sql);
        QFETCH(bool, editable);
        SqliteDataset dataset(m_db.get());
        QVERIFY2(dataset.open(sql), qPrintable(dataset.lastError()));
        QCOMPARE(dataset.isEditable(), editable);
        QCOMPARE(dataset.edit(), editable);
        QVERIFY(!dataset.eof());
        dataset.cancel();
        QCOMPARE(dataset.append(), editable);
    }

    void editPostsChangedColumnsOnly()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_NAME, WORD_USAGE from Words where WORD_ID = 2")));
        // Another writer renames the word after our rows were read.
        QVERIFY(m_db->exec(QStringLiteral("update Words set WORD_NAME = 'blueberry' where WORD_ID = 2")));
        QVERIFY(dataset.edit());
        QCOMPARE(dataset.state(), SqliteDataset::State::Edit);
        QVERIFY(dataset.fieldByName("WORD_USAGE").setAsInteger(9));
        QCOMPARE(dataset.fieldByName("WORD_USAGE").asInteger(), 9); // the edit buffer reads back
        QVERIFY2(dataset.post(), qPrintable(dataset.lastError()));
        QCOMPARE(dataset.state(), SqliteDataset::State::Browse);
        QCOMPARE(freshValue(QStringLiteral("select WORD_USAGE from Words where WORD_ID = 2")).toInt(), 9);
        QCOMPARE(freshValue(QStringLiteral("select WORD_NAME from Words where WORD_ID = 2")).toString(),
                 QStringLiteral("blueberry"));
        // Other rows untouched.
        QCOMPARE(freshValue(QStringLiteral("select sum(WORD_USAGE) from Words")).toInt(), 1 + 9 + 3);
        // The cache shows the row as the file holds it now.
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("blueberry"));
    }

    void postReadsBackTheStoredValue()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words where WORD_ID = 1")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_USAGE").setAsText(QStringLiteral("42")));
        QVERIFY(dataset.post());
        // The integer column stores the text as an integer, and the cache says so.
        QCOMPARE(dataset.fieldByName("WORD_USAGE").value(), QVariant(qlonglong(42)));
    }

    void setValueStorageClasses()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_NOTE from Words where WORD_ID = 3")));
        const QString typeOf = QStringLiteral("select typeof(WORD_NOTE) from Words where WORD_ID = 3");
        const auto store = [&](const QVariant &value) {
            return dataset.edit() && dataset.fieldByName("WORD_NOTE").setValue(value) && dataset.post();
        };
        QVERIFY(store(QVariant(7)));
        QCOMPARE(freshValue(typeOf).toString(), QStringLiteral("integer"));
        QVERIFY(store(QVariant(true)));
        QCOMPARE(freshValue(QStringLiteral("select WORD_NOTE from Words where WORD_ID = 3")).toInt(), 1);
        QVERIFY(store(QVariant(1.5)));
        QCOMPARE(freshValue(typeOf).toString(), QStringLiteral("real"));
        QVERIFY(store(QVariant(QStringLiteral("x"))));
        QCOMPARE(freshValue(typeOf).toString(), QStringLiteral("text"));
        QVERIFY(store(QVariant(QByteArray("x"))));
        QCOMPARE(freshValue(typeOf).toString(), QStringLiteral("blob"));
        QVERIFY(store(QVariant(QDateTime(QDate(2011, 1, 1), QTime(6, 0)))));
        QCOMPARE(freshValue(QStringLiteral("select WORD_NOTE from Words where WORD_ID = 3")).toDouble(), 40544.25);
        QVERIFY(store(QVariant()));
        QCOMPARE(freshValue(typeOf).toString(), QStringLiteral("null"));
    }

    void textIsBoundNotPasted()
    {
        const QString nasty = QStringLiteral("O'Brien\"; drop table Words; --苹果");
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_NAME from Words where WORD_ID = 1")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_NAME").setAsText(nasty));
        QVERIFY(dataset.post());
        QCOMPARE(freshValue(QStringLiteral("select WORD_NAME from Words where WORD_ID = 1")).toString(), nasty);
        QCOMPARE(freshCount(QStringLiteral("Words")), 3);
    }

    void editThroughAliasAndQuotedTable()
    {
        SqliteDataset aliased(m_db.get());
        QVERIFY(aliased.open(QStringLiteral("select w.WORD_NAME as N from Words w where w.WORD_ID = 3")));
        QVERIFY(aliased.edit());
        QVERIFY(aliased.fieldByName("n").setAsText(QStringLiteral("cranberry")));
        QVERIFY(aliased.post());
        QCOMPARE(freshValue(QStringLiteral("select WORD_NAME from Words where WORD_ID = 3")).toString(),
                 QStringLiteral("cranberry"));

        SqliteDataset quoted(m_db.get());
        QVERIFY(quoted.open(QStringLiteral("select * from \"Word List\"")));
        QCOMPARE(quoted.baseTable(), QStringLiteral("Word List"));
        QVERIFY(quoted.edit());
        QVERIFY(quoted.fieldByName("Name").setAsText(QStringLiteral("two")));
        QVERIFY(quoted.post());
        QCOMPARE(freshValue(QStringLiteral("select Name from \"Word List\"")).toString(), QStringLiteral("two"));
    }

    void settersNeedEditState()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words")));
        QVERIFY(!dataset.fieldByName("WORD_NAME").setAsText(QStringLiteral("x")));
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("apple"));
        QVERIFY(dataset.post()); // nothing to post in browse state
    }

    void computedFieldCannotBePosted()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_NAME, 0 as Relation_Count from Words where WORD_ID = 1")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_NAME").setAsText(QStringLiteral("x")));
        QVERIFY(dataset.fieldByName("Relation_Count").setAsInteger(5));
        QVERIFY(!dataset.post());
        QVERIFY(dataset.lastError().contains(QStringLiteral("Relation_Count")));
        QCOMPARE(dataset.state(), SqliteDataset::State::Edit);
        dataset.cancel();
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("apple"));
        QCOMPARE(freshValue(QStringLiteral("select WORD_NAME from Words where WORD_ID = 1")).toString(),
                 QStringLiteral("apple"));
    }

    void postOfVanishedRowFails()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words where WORD_ID = 1")));
        QVERIFY(m_db->exec(QStringLiteral("delete from Words where WORD_ID = 1")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_USAGE").setAsInteger(5));
        QVERIFY(!dataset.post());
        QCOMPARE(freshCount(QStringLiteral("Words")), 2);
    }

    void constraintFailureIsResult()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words where WORD_ID = 1")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_ID").setAsInteger(2)); // taken
        QVERIFY(!dataset.post());
        QVERIFY(!dataset.lastError().isEmpty());
        dataset.cancel();
        QCOMPARE(dataset.fieldByName("WORD_ID").asInteger(), 1);
    }

    void cancelEditRestores()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words order by WORD_ID")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_NAME").setAsText(QStringLiteral("x")));
        dataset.cancel();
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("apple"));
        QCOMPARE(freshValue(QStringLiteral("select WORD_NAME from Words where WORD_ID = 1")).toString(),
                 QStringLiteral("apple"));
    }

    void movingPostsTheEdit()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words order by WORD_ID")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_USAGE").setAsInteger(11));
        dataset.next();
        QCOMPARE(dataset.state(), SqliteDataset::State::Browse);
        QCOMPARE(dataset.fieldByName("WORD_ID").asInteger(), 2);
        QCOMPARE(freshValue(QStringLiteral("select WORD_USAGE from Words where WORD_ID = 1")).toInt(), 11);
    }

    void appendAddsReadableCurrentRow()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words order by WORD_ID")));
        QVERIFY(dataset.append());
        QVERIFY(!dataset.eof());
        QVERIFY(dataset.fieldByName("WORD_NAME").isNull());
        QVERIFY(dataset.fieldByName("WORD_NAME").setAsText(QStringLiteral("date")));
        QVERIFY(dataset.fieldByName("Stamp").setAsDateTime(40544.5));
        QVERIFY2(dataset.post(), qPrintable(dataset.lastError()));
        QCOMPARE(dataset.recordCount(), 4);
        QCOMPARE(dataset.recNo(), 3);
        QCOMPARE(dataset.fieldByName("WORD_NAME").asText(), QStringLiteral("date"));
        // Columns left unset take the table's defaults, read back from the file.
        QCOMPARE(dataset.fieldByName("WORD_ID").asInteger(), 4);
        QCOMPARE(dataset.fieldByName("WORD_USAGE").asInteger(), 7);
        QCOMPARE(freshValue(QStringLiteral("select Stamp from Words where WORD_NAME = 'date'")).toDouble(), 40544.5);
        QCOMPARE(freshCount(QStringLiteral("Words")), 4);
    }

    void appendWithNothingSetInsertsDefaults()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words where 0")));
        QVERIFY(dataset.append());
        QVERIFY(dataset.post());
        QCOMPARE(dataset.fieldByName("WORD_USAGE").asInteger(), 7);
        QCOMPARE(freshCount(QStringLiteral("Words")), 4);
    }

    void cancelAppendReturnsToPreviousRow()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words order by WORD_ID")));
        dataset.next();
        QVERIFY(dataset.append());
        QVERIFY(dataset.fieldByName("WORD_NAME").setAsText(QStringLiteral("date")));
        dataset.cancel();
        QCOMPARE(dataset.fieldByName("WORD_ID").asInteger(), 2);
        QCOMPARE(dataset.recordCount(), 3);
        QCOMPARE(freshCount(QStringLiteral("Words")), 3);
    }

    void removeDeletesCurrentRow()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words order by WORD_ID")));
        dataset.next();
        QVERIFY(dataset.remove());
        QCOMPARE(dataset.fieldByName("WORD_ID").asInteger(), 3); // the next row is current
        QCOMPARE(dataset.recordCount(), 2);
        QCOMPARE(freshValue(QStringLiteral("select count(*) from Words where WORD_ID = 2")).toInt(), 0);
        QVERIFY(dataset.remove()); // the last row
        QVERIFY(dataset.eof());
        QVERIFY(!dataset.remove());
        QCOMPARE(freshCount(QStringLiteral("Words")), 1);
    }

    void removeWhileWalking()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words")));
        while (!dataset.eof()) {
            if (dataset.fieldByName("WORD_USAGE").asInteger() != 2)
                QVERIFY(dataset.remove());
            else
                dataset.next();
        }
        QCOMPARE(dataset.recordCount(), 1);
        QCOMPARE(freshValue(QStringLiteral("select group_concat(WORD_NAME) from Words")).toString(),
                 QStringLiteral("banana"));
    }

    void readOnlyDatasetRefusesWrites()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select * from Words, Other where WORD_ID = ID")));
        QCOMPARE(dataset.fieldByName("Label").asText(), QStringLiteral("second"));
        QVERIFY(!dataset.edit());
        QVERIFY(!dataset.append());
        QVERIFY(!dataset.remove());
        QCOMPARE(freshCount(QStringLiteral("Words")), 3);
    }

    void blobsRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe{\\rtf1}\x00", 12);
        QTest::newRow("large") << QByteArray(300000, '\x5a');
        QTest::newRow("empty") << QByteArray("");
    }

    void blobsRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_NOTE from Words where WORD_ID = 1")));
        QVERIFY(dataset.edit());
        QVERIFY(dataset.fieldByName("WORD_NOTE").saveBlob(bytes));
        QVERIFY(dataset.post());
        SqliteDataset fresh(m_db.get());
        QVERIFY(fresh.open(QStringLiteral("select WORD_NOTE from Words where WORD_ID = 1")));
        QCOMPARE(fresh.fieldByName("WORD_NOTE").loadBlob(), bytes);
        QVERIFY(!fresh.fieldByName("WORD_NOTE").isNull());
    }

    void blobReadsOfOtherClasses()
    {
        SqliteDataset dataset(m_db.get());
        QVERIFY(dataset.open(QStringLiteral("select WORD_NOTE, WORD_NAME from Words order by WORD_ID")));
        QCOMPARE(dataset.fieldByName("WORD_NOTE").loadBlob(), QByteArray()); // null
        dataset.next();
        QCOMPARE(dataset.fieldByName("WORD_NOTE").loadBlob(), QByteArray("\x00\xff\x10", 3));
        QCOMPARE(dataset.fieldByName("WORD_NAME").loadBlob(), QByteArray("banana"));
    }
};

QTEST_GUILESS_MAIN(TestSqliteDataset)
#include "tst_sqlitedataset.moc"
