#include "store/Channels.h"
#include "store/SearchQuery.h"
#include "store/Statements.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestSearchQuery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buildSearchCondition_data();
    void buildSearchCondition();
    void isBadOperand_data();
    void isBadOperand();
    void isHeadwordText_data();
    void isHeadwordText();
    void conditionRunsOnTheSampleStore_data();
    void conditionRunsOnTheSampleStore();
    void emptyQueryFindsEveryWord();
    void deeplyNestedTextStillRuns_data();
    void deeplyNestedTextStillRuns();

private:
    QStringList search(const QString &text, bool byName, bool *ran = nullptr);

    QTemporaryDir m_dir;
    TAdoChannel m_channel;
    bool m_haveStore = false;
};

namespace {

QString Name(const QString &pattern)
{
    return QStringLiteral(" TotalWords.WORD_NAME like '%1'").arg(pattern);
}

QString Trans(const QString &pattern)
{
    return QStringLiteral(" TotalWords.WORD_TRANS like '%1'").arg(pattern);
}

} // namespace

// A copy of the sample store, plus one word whose meaning holds an apostrophe (the
// shipped content has none).
void TestSearchQuery::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    const QString bin = qEnvironmentVariable("VOCAMO_BIN_DIR");
    const QString source = qEnvironmentVariable("VOCAMO_SOURCE_DIR");
    const QString store = m_dir.filePath(QStringLiteral("Vocamo.mdb"));
    const QString builder = bin + QStringLiteral("/vocamo-build-store");
    if (!bin.isEmpty() && !source.isEmpty() && QFileInfo(builder).isExecutable()) {
        QProcess build;
        build.start(builder, {QStringLiteral("--schema"), source + QStringLiteral("/data/schema.sql"),
                              QStringLiteral("--data"), source + QStringLiteral("/data"),
                              QStringLiteral("--out"), store});
        QVERIFY(build.waitForFinished(120000));
        QVERIFY2(build.exitStatus() == QProcess::NormalExit && build.exitCode() == 0,
                 build.readAllStandardError().constData());
    } else if (!bin.isEmpty() && QFile::exists(bin + QStringLiteral("/Vocamo.mdb"))) {
        QVERIFY(QFile::copy(bin + QStringLiteral("/Vocamo.mdb"), store));
        QFile(store).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    } else {
        // Run by hand outside ctest: the store tests skip themselves.
        QVERIFY2(bin.isEmpty(), "neither vocamo-build-store nor Vocamo.mdb in VOCAMO_BIN_DIR");
        return;
    }
    QVERIFY2(m_channel.OpenDatabase(store, QString()), qPrintable(m_channel.lastError()));
    QVERIFY2(m_channel.Execute(QStringLiteral(
                 "insert into TotalWords (WORD_ID, WORD_NAME, WORD_TRANS) "
                 "values (100000, 'o''clock', 'adv. ……点钟 (o''clock)')")),
             qPrintable(m_channel.lastError()));
    m_haveStore = true;
}

// The names the word-list search statement finds for the query, in WORD_ID order.
QStringList TestSearchQuery::search(const QString &text, bool byName, bool *ran)
{
    const QByteArray condition = BuildSearchCondition(text, byName).toUtf8();
    const QString sql = QString::fromUtf8(Statements::WordList)
                        + QString::asprintf(Statements::WordListBySearch, condition.constData());
    QStringList names;
    SqliteDataset *rows = m_channel.Query(sql);
    if (ran)
        *ran = rows != nullptr;
    if (!rows)
        return names;
    for (rows->first(); !rows->eof(); rows->next())
        names << rows->fieldByName("WORD_NAME").asText();
    return names;
}

void TestSearchQuery::buildSearchCondition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QString>("condition");

    QTest::newRow("plain term") << "apple" << true << Name("%apple%");
    QTest::newRow("plain term, meanings") << "apple" << false << Trans("%apple%");
    QTest::newRow("trailing star") << "app*" << true << Name("app%");
    QTest::newRow("leading star") << "*ple" << true << Name("%ple");
    QTest::newRow("inner star") << "a*e" << true << Name("%a%e%");
    QTest::newRow("exact") << "#apple" << true << Name("apple");
    QTest::newRow("exact, hash inside") << "app#le" << true << Name("apple");
    QTest::newRow("exact with wildcard") << "#app*" << true << Name("app%");
    QTest::newRow("question mark") << "a?ple" << true << Name("%a_ple%");
    QTest::newRow("surrounding blanks") << "  apple  " << true << Name("%apple%");
    QTest::newRow("only hashes") << "##" << true << Name("%");
    QTest::newRow("Chinese by name") << u"苹果"_s << true << Trans(u"%苹果%"_s);
    QTest::newRow("digit by name") << "mp3" << true << Trans("%mp3%");
    QTest::newRow("and: name and meaning")
        << u"apple & 苹果"_s << true << Name("%apple%") + " and " + Trans(u"%苹果%"_s);
    QTest::newRow("or") << "a | b" << true << Name("%a%") + " or " + Name("%b%");
    QTest::newRow("no added parentheses")
        << "a | b & c" << true << Name("%a%") + " or " + Name("%b%") + " and " + Name("%c%");
    QTest::newRow("group before and")
        << "(a | b) & c" << true
        << "(" + Name("%a%") + " or " + Name("%b%") + ")" + " and " + Name("%c%");
    QTest::newRow("group after or")
        << "a | (b & c)" << false
        << Trans("%a%") + " or " + "(" + Trans("%b%") + " and " + Trans("%c%") + ")";
    QTest::newRow("unclosed parenthesis shields nothing")
        << "(a | b" << true << Trans("%(a%") + " or " + Name("%b%");
    QTest::newRow("missing right operand") << "a &" << true << Name("%a%");
    QTest::newRow("quote as right operand") << "a & '" << true << Name("%a%");
    QTest::newRow("quote as left operand") << "x'y | b" << true << Name("%b%");
    QTest::newRow("both operands bad") << "& &" << true << Name("%");
    QTest::newRow("empty, by name") << "" << true << Name("%");
    QTest::newRow("empty, meanings") << "" << false << Trans("%");
    QTest::newRow("blank") << " " << false << Trans("%");
    // A term holding a quote searches the meanings, with the quote doubled.
    QTest::newRow("apostrophe") << "o'clock" << true << Trans("%o''clock%");
    QTest::newRow("lone quote") << "'" << false << Trans("%''%");
    QTest::newRow("injection attempt")
        << "x' or 'a' like 'a" << true << Trans("%x'' or ''a'' like ''a%");
}

void TestSearchQuery::buildSearchCondition()
{
    QFETCH(QString, text);
    QFETCH(bool, byName);
    QFETCH(QString, condition);
    QCOMPARE(BuildSearchCondition(text, byName), condition);
}

void TestSearchQuery::isBadOperand_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bad");

    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks") << "   " << true;
    QTest::newRow("operators and parentheses only") << " #|&() " << true;
    QTest::newRow("quote") << "it's" << true;
    QTest::newRow("word") << "apple" << false;
    QTest::newRow("grouped word") << "(apple)" << false;
    QTest::newRow("Chinese") << u"苹果"_s << false;
}

void TestSearchQuery::isBadOperand()
{
    QFETCH(QString, text);
    QFETCH(bool, bad);
    QCOMPARE(IsBadOperand(text), bad);
}

void TestSearchQuery::isHeadwordText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("headword");

    QTest::newRow("empty") << "" << true;
    QTest::newRow("letters, blanks and wildcards") << "Ab z#%*?_" << true;
    QTest::newRow("digit") << "mp3" << false;
    QTest::newRow("apostrophe") << "o'clock" << false;
    QTest::newRow("hyphen") << "well-known" << false;
    QTest::newRow("Chinese") << u"苹果"_s << false;
    QTest::newRow("accented letter") << u"café"_s << false;
}

void TestSearchQuery::isHeadwordText()
{
    QFETCH(QString, text);
    QFETCH(bool, headword);
    QCOMPARE(IsHeadwordText(text), headword);
}

void TestSearchQuery::conditionRunsOnTheSampleStore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("term") << "cat" << true << QStringList{"cat", "catch"};
    QTest::newRow("leading star") << "*ple" << true << QStringList{"apple", "example", "people"};
    QTest::newRow("trailing star") << "app*" << true << QStringList{"apple"};
    QTest::newRow("exact, other case") << "#CAT" << true << QStringList{"cat"};
    QTest::newRow("exact with one-character wildcard") << "#c?t" << true << QStringList{"cat", "cut"};
    QTest::newRow("meaning") << u"苹果"_s << false << QStringList{"apple"};
    QTest::newRow("name and meaning") << u"apple & 苹果"_s << true << QStringList{"apple"};
    QTest::newRow("group and meaning") << u"(cat | dog) & 猫"_s << true << QStringList{"cat"};
    QTest::newRow("and binds before or")
        << u"cat | dog & 狗"_s << true << QStringList{"cat", "catch", "dog"};
    QTest::newRow("apostrophe by name searches meanings") << "o'clock" << true << QStringList{"o'clock"};
    QTest::newRow("lone apostrophe") << "'" << false << QStringList{"o'clock"};
    QTest::newRow("quote cannot widen the search") << "x' or 'a' like 'a" << true << QStringList{};
}

void TestSearchQuery::conditionRunsOnTheSampleStore()
{
    if (!m_haveStore)
        QSKIP("VOCAMO_BIN_DIR is not set (run the test through ctest)");
    QFETCH(QString, text);
    QFETCH(bool, byName);
    QFETCH(QStringList, names);
    bool ran = false;
    const QStringList found = search(text, byName, &ran);
    QVERIFY2(ran, qPrintable(m_channel.lastError()));
    QCOMPARE(found, names);
}

void TestSearchQuery::emptyQueryFindsEveryWord()
{
    if (!m_haveStore)
        QSKIP("VOCAMO_BIN_DIR is not set (run the test through ctest)");
    SqliteDataset *count = m_channel.Query(QStringLiteral("select count(*) as N from TotalWords"));
    QVERIFY(count);
    const int all = count->fieldByName("N").asInteger();
    QVERIFY(all > 500);
    QCOMPARE(search(QString(), true).size(), all);
    QCOMPARE(search(QString(), false).size(), all);
    QCOMPARE(search(QStringLiteral("& &"), true).size(), all);
}

QTEST_GUILESS_MAIN(TestSearchQuery)
#include "tst_searchquery.moc"

// Nesting within reason still builds the full condition; a pasted text of many thousands of
// operators or parentheses must not exhaust the stack (the database may then refuse the
// over-long pattern, which is an ordinary failed search).
void TestSearchQuery::deeplyNestedTextStillRuns_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("runs");
    QTest::newRow("30 operators") << QStringLiteral("cat|").repeated(30) + QStringLiteral("dog") << true;
    QTest::newRow("30 parentheses") << QString(30, u'(') + QStringLiteral("cat") + QString(30, u')') << true;
    QTest::newRow("50,000 operators") << QStringLiteral("cat&").repeated(50000) + QStringLiteral("cat") << false;
    QTest::newRow("50,000 parentheses") << QString(50000, u'(') + QStringLiteral("cat") + QString(50000, u')') << false;
}

void TestSearchQuery::deeplyNestedTextStillRuns()
{
    if (!m_haveStore)
        QSKIP("VOCAMO_BIN_DIR is not set (run the test through ctest)");
    QFETCH(QString, text);
    QFETCH(bool, runs);
    bool ran = false;
    const QStringList found = search(text, true, &ran);
    if (runs) {
        QVERIFY2(ran, qPrintable(m_channel.lastError()));
        QVERIFY(found.contains(QStringLiteral("cat")));
    }
}
