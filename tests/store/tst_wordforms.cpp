#include "store/Channels.h"
#include "store/WordForms.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Candidate forms against a real store whose Irregular table holds a few verbs.
class TestWordForms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wordForms_data();
    void wordForms();
    void phraseForms_data();
    void phraseForms();
    void missingIrregularTableGivesSuffixFormsOnly();
    void leavesTheCallersSlotDatasetAlone();

private:
    QTemporaryDir m_dir;
    TAdoChannel m_channel;
};

void TestWordForms::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("Vocamo.mdb"));

    const QString source = qEnvironmentVariable("VOCAMO_SOURCE_DIR");
    QVERIFY2(!source.isEmpty(), "VOCAMO_SOURCE_DIR is not set (run the test through ctest)");
    QFile schema(source + QStringLiteral("/data/schema.sql"));
    QVERIFY2(schema.open(QIODevice::ReadOnly), qPrintable(schema.fileName()));
    {
        SqliteDatabase db;
        QVERIFY2(db.create(path), qPrintable(db.lastError()));
        QVERIFY(db.begin());
        QVERIFY2(db.execScript(QString::fromUtf8(schema.readAll())), qPrintable(db.lastError()));
        // " go " is stored with blanks to show that base forms are trimmed; "'twas" holds
        // a quote, which must not break the lookup statement.
        QVERIFY2(db.execScript(QStringLiteral(
                     "insert into Irregular values (' go ', 'went', 'gone');"
                     "insert into Irregular values ('wend', 'went', 'went');"
                     "insert into Irregular values ('be', 'was', 'been');"
                     "insert into Irregular values ('be', '''twas', '''twas');"
                     "insert into Irregular values ('run', 'ran', 'run');")),
                 qPrintable(db.lastError()));
        QVERIFY2(db.commit(), qPrintable(db.lastError()));
    }
    QVERIFY2(m_channel.OpenDatabase(path, QString()), qPrintable(m_channel.lastError()));
}

void TestWordForms::wordForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("forms");

    QTest::newRow("doubled consonant before ed")
        << "stopped" << QStringList{"stopped", "stopp", "stoppe", "stop"};
    QTest::newRow("ied") << "studied" << QStringList{"studied", "study"};
    QTest::newRow("plain ed") << "played" << QStringList{"played", "play", "playe"};
    QTest::newRow("four characters ending in ed: no doubled form")
        << "zzed" << QStringList{"zzed", "zz", "zze"};
    QTest::newRow("five characters ending in ed")
        << "added" << QStringList{"added", "add", "adde", "ad"};
    QTest::newRow("doubled consonant before ing")
        << "running" << QStringList{"running", "runn", "runne", "run"};
    QTest::newRow("four characters ending in ing") << "sing" << QStringList{"sing", "s", "se"};
    QTest::newRow("ier") << "happier" << QStringList{"happier", "happy"};
    QTest::newRow("er") << "taller" << QStringList{"taller", "tall"};
    QTest::newRow("iest") << "happiest" << QStringList{"happiest", "happy"};
    QTest::newRow("est") << "tallest" << QStringList{"tallest", "tall"};
    QTest::newRow("ily") << "happily" << QStringList{"happily", "happy"};
    QTest::newRow("ly") << "quickly" << QStringList{"quickly", "quick"};
    QTest::newRow("ment") << "government" << QStringList{"government", "govern"};
    QTest::newRow("al before ed") << "metal" << QStringList{"metal", "met"};
    QTest::newRow("ies") << "cities" << QStringList{"cities", "citie", "city"};
    QTest::newRow("es") << "boxes" << QStringList{"boxes", "boxe", "box"};
    QTest::newRow("s") << "cats" << QStringList{"cats", "cat"};
    QTest::newRow("ness") << "kindness" << QStringList{"kindness", "kindnes", "kind"};
    QTest::newRow("possessive: no suffix rule")
        << "John's" << QStringList{"John's", "John"};
    QTest::newRow("possessive of a suffixed word")
        << "kindness's" << QStringList{"kindness's", "kindness"};
    QTest::newRow("possessive in capitals") << "JOHN'S" << QStringList{"JOHN'S", "JOHN"};
    QTest::newRow("irregular past, in row order")
        << "went" << QStringList{"went", "go", "wend"};
    QTest::newRow("irregular participle") << "gone" << QStringList{"gone", "go"};
    QTest::newRow("irregular lookup ignores case") << "WENT" << QStringList{"WENT", "go", "wend"};
    QTest::newRow("irregular before suffix forms")
        << "been" << QStringList{"been", "be"};
    QTest::newRow("irregular form that is also a base form")
        << "run" << QStringList{"run", "run"};
    QTest::newRow("quote in the looked-up text")
        << "'twas" << QStringList{"'twas", "be", "'twa"};
    QTest::newRow("capitals keep their case")
        << "STOPPED" << QStringList{"STOPPED", "STOPP", "STOPPE", "STOP"};
    QTest::newRow("appended y stays lower case")
        << "CITIES" << QStringList{"CITIES", "CITIE", "CITy"};
    QTest::newRow("no rule") << "apple" << QStringList{"apple"};
    QTest::newRow("Chinese text") << u"苹果"_s << QStringList{u"苹果"_s};
    QTest::newRow("empty") << "" << QStringList{""};
}

void TestWordForms::wordForms()
{
    QFETCH(QString, text);
    QFETCH(QStringList, forms);
    QCOMPARE(WordForms(m_channel, text), forms);
}

void TestWordForms::phraseForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("forms");

    QTest::newRow("phrase")
        << "looked after" << QStringList{"looked after", "look after", "looke after"};
    QTest::newRow("irregular head")
        << "went off" << QStringList{"went off", "go off", "wend off"};
    QTest::newRow("longer tail")
        << "gave up on" << QStringList{"gave up on"};
    QTest::newRow("blanks around and inside")
        << "  looked   after  " << QStringList{"looked after", "look after", "looke after"};
    QTest::newRow("single word") << "cities" << QStringList{"cities", "citie", "city"};
    QTest::newRow("single word with blanks") << " stopped " << QStringList{"stopped", "stopp", "stoppe", "stop"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("blanks only") << "   " << QStringList{};
}

void TestWordForms::phraseForms()
{
    QFETCH(QString, text);
    QFETCH(QStringList, forms);
    QCOMPARE(PhraseForms(m_channel, text), forms);
}

void TestWordForms::missingIrregularTableGivesSuffixFormsOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.mdb"));
    {
        SqliteDatabase db;
        QVERIFY(db.create(path));
    }
    TAdoChannel channel;
    QVERIFY(channel.OpenDatabase(path, QString()));
    QCOMPARE(WordForms(channel, QStringLiteral("went")), QStringList{"went"});
    QCOMPARE(WordForms(channel, QStringLiteral("cities")), (QStringList{"cities", "citie", "city"}));
}

void TestWordForms::leavesTheCallersSlotDatasetAlone()
{
    SqliteDataset *rows = m_channel.Query(QStringLiteral("select WordName from Irregular order by rowid"));
    QVERIFY(rows);
    rows->first();
    rows->next();
    QCOMPARE(rows->fieldByName("WordName").asText(), QStringLiteral("wend"));

    QCOMPARE(WordForms(m_channel, QStringLiteral("went")).size(), 3);
    QCOMPARE(rows->recNo(), 1);
    QCOMPARE(rows->fieldByName("WordName").asText(), QStringLiteral("wend"));
}

QTEST_GUILESS_MAIN(TestWordForms)
#include "tst_wordforms.moc"
