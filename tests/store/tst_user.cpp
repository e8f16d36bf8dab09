#include "StoreFixture.h"

#include "store/Channels.h"
#include "store/User.h"
#include "store/Word.h"

#include <QtTest>

namespace {

const char *const Rows =
    "insert into TotalWords (WORD_ID, WORD_NAME, WORD_TRANS) values "
    "(1, 'apple', '苹果'), (2, 'apply', '应用'), (3, 'banana split', '香蕉船'), "
    "(4, 'o''clock', '点钟'), (5, 'cherry', '樱桃'), (6, 'a', '一个'), (7, 'look after', '照顾');\n"
    "insert into USERBOOKS (USER_ID, BOOK_ID, BOOK_NAME, SEQUENCE, Active_Sequence, Deletable, "
    "Category, Hashcode, RelationBook_ID) values "
    "(1, 10, 'B10', 1, 3, 0, 1, 'h10', 0),"
    "(1, 11, 'Removed', 2, 9, 2, 1, 'h11', 0),"
    "(1, 12, 'B12', 3, 5, 0, 1, 'h12', 40),"
    "(1, 13, 'B13', 4, 5, 1, 1, 'h13', 0),"
    "(1, 14, 'Other', 0, 7, 0, 2, 'h14', 0),"
    "(1, 15, 'Neither', 5, 8, 0, 3, 'h15', 0),"
    "(2, 16, 'Not mine', 0, 99, 0, 1, 'h16', 0);\n";

QStringList names(SqliteDataset *ds)
{
    QStringList result;
    if (!ds)
        return {QStringLiteral("<no dataset>")};
    for (ds->first(); !ds->eof(); ds->next())
        result << ds->fieldByName("WORD_NAME").asText();
    return result;
}

QList<int> keys(const TTipList &tips)
{
    QList<int> result;
    for (const TTip &tip : tips)
        result << tip.Key;
    return result;
}

} // namespace

class TestUser : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<StoreFixture> fixture;
    std::unique_ptr<TDataCenter> centre;
    TUser *user = nullptr;

private slots:
    void init()
    {
        fixture = std::make_unique<StoreFixture>();
        QVERIFY(fixture->create(userRow(1, "first") + userRow(2, "second") + QString::fromUtf8(Rows)));
        centre = fixture->openCentre();
        user = centre->CurrentUser;
        QVERIFY(user);
        QCOMPARE(user->UserId, 1);
    }

    void cleanup()
    {
        centre.reset();
        fixture.reset();
    }

    void loadBooks()
    {
        user->LoadBooks();
        QCOMPARE(user->BookCount(), 3);
        QCOMPARE(user->WordBooks.NameAt(0), QStringLiteral("B10"));
        QCOMPARE(user->WordBooks.NameAt(1), QStringLiteral("B12"));
        QCOMPARE(user->WordBooks.NameAt(2), QStringLiteral("B13"));
        QCOMPARE(user->BookByIndex(3), nullptr);
        QCOMPARE(user->BookByIndex(-1), nullptr);
        QCOMPARE(user->OtherBooks.Count(), 1);
        QCOMPARE(user->OtherBooks.At(0)->BookId, 14);
        QVERIFY(!user->WordBooks.Find("Removed"));
        QVERIFY(!user->WordBooks.Find("Neither"));
        QVERIFY(!user->WordBooks.Find("Not mine"));

        // Equal Active_Sequence: the earlier book by SEQUENCE is current.
        QVERIFY(user->CurrentBook);
        QCOMPARE(user->CurrentBook->BookId, 12);
        QCOMPARE(user->MaxActiveSequence, 5);
        const TUserBook *b12 = user->BookByIndex(1);
        QCOMPARE(b12->Hashcode, QStringLiteral("h12"));
        QCOMPARE(b12->RelationBookId, 40);
        QCOMPARE(b12->Sequence, 3);
        QCOMPARE(b12->Category, 1);
        QCOMPARE(b12->User, user);
        QVERIFY(user->BooksLoaded);

        // A second call reads nothing again, only chooses the current book.
        user->BookByIndex(0)->ActiveSequence = 6;
        user->LoadBooks();
        QCOMPARE(user->BookCount(), 3);
        QCOMPARE(user->CurrentBook->BookId, 10);
    }

    void layoutRoundTrip()
    {
        QVERIFY(fixture->run("insert into Interface values (2, 0, 21, 99, 'keep', 'keep左');"));
        TInterfaceObject word("lblWord");
        TInterfaceObject quoted("O'Brien's panel");
        for (int p = 1; p <= TInterfaceObject::PropertyCount; ++p) {
            word.SetProperty(p, p * 10);
            quoted.SetProperty(p, 1000 + p);
        }
        QVERIFY(user->SaveLayout({&word, &quoted}));
        QVERIFY(user->SaveLayout({&word, &quoted})); // replaces, does not add
        QCOMPARE(fixture->scalar("select count(*) from Interface where USER_ID = 1"), 14);
        QCOMPARE(fixture->scalar("select count(*) from Interface where USER_ID = 2"), 1);
        QCOMPARE(fixture->scalar("select NUMBEREX from Interface where USER_ID = 1 and SEQUENCE = 23 "
                                 "and CHOICE = 'O''Brien''s panel宽' and EXPLAIN = 'O''Brien''s panel'"),
                 1003);

        const TLayout layout = user->LoadLayout();
        QCOMPARE(layout.Count(), 2);
        QCOMPARE(layout.NameAt(0), QStringLiteral("lblWord"));
        QCOMPARE(layout.NameAt(1), QStringLiteral("O'Brien's panel"));
        for (int p = 1; p <= TInterfaceObject::PropertyCount; ++p) {
            QCOMPARE(layout.At(0)->Property(p), p * 10);
            QCOMPARE(layout.At(1)->Property(p), 1000 + p);
        }
        QCOMPARE(layout.At(0)->Left, 10);
        QCOMPARE(layout.At(0)->FontColor, 70);
    }

    void loadLayoutMatchesChoiceWithoutCase()
    {
        QVERIFY(fixture->run(
            "insert into Interface values (1, 0, 1, 5, ' Panel ', 'PANEL左 ');"
            "insert into Interface values (1, 0, 2, 6, 'Panel', 'Panel上下');"
            "insert into Interface values (1, 0, 21, 7, 'Other', 'Other字体大小');"));
        const TLayout layout = user->LoadLayout();
        QCOMPARE(layout.Count(), 2);
        QCOMPARE(layout.Find("panel")->Left, 5);
        QCOMPARE(layout.Find("panel")->Top, 0);
        QCOMPARE(layout.Find("Other")->FontSize, 7);
    }

    void layerTips()
    {
        QVERIFY(fixture->run(
            "insert into Tips values (1, 65, 'A键', 'a', 'ha', 1), (1, 66, 'B键', 'b', 'hb', 2), "
            "(1, 67, 'C键', 'c', 'hc', 3), (1, 68, 'D键', 'd', 'hd', 4), (4, 69, 'E键', 'e', 'he', 1);"
            "insert into PressCount values (1, 1, 65, 1, 0, 2), (1, 1, 66, 1, 0, 1), "
            "(1, 1, 67, 0, 5, 0), (1, 1, 68, 0, 9, 0), (2, 1, 68, 1, 0, 0), (1, 4, 69, 1, 0, 0);"));

        const TTipList &tips = user->LayerTips(1, true);
        QCOMPARE(keys(tips), (QList<int>{27, 187, 49, 50, 51, 66, 65, 670}));
        QCOMPARE(tips.at(0).Title, QStringLiteral("退出(ESC)"));
        QCOMPARE(tips.at(0).Caption, QStringLiteral("退出当前层,返回到下一层"));
        QCOMPARE(tips.at(1).Title, QStringLiteral("牢记(+)"));
        QCOMPARE(tips.at(1).Caption, QStringLiteral("设置记忆状态"));
        QCOMPARE(tips.at(2).Title, QStringLiteral("熟悉(1)"));
        QCOMPARE(tips.at(3).Title, QStringLiteral("认识(2)"));
        QCOMPARE(tips.at(4).Title, QStringLiteral("陌生(3)"));
        QCOMPARE(tips.at(5).Title, QStringLiteral("B键"));
        QCOMPARE(tips.at(5).HashCode, QStringLiteral("hb"));
        QCOMPARE(tips.at(7).Title, QStringLiteral("查找(CTRL+F)"));
        QCOMPARE(tips.at(7).Caption, QStringLiteral("查找单词"));

        // Cached: later changes are not seen until the layer is dropped.
        QVERIFY(fixture->run("update PressCount set Visible = 1 where UserID = 1 and LayerKey = 67;"));
        QCOMPARE(&user->LayerTips(1, true), &tips);
        QCOMPARE(keys(user->LayerTips(1, false)).size(), 8);
        user->DropLayerTips(1);
        QCOMPARE(keys(user->LayerTips(1, false)), (QList<int>{27, 67, 66, 65, 670}));

        // State keys only on layers 1, 2, 3 and 7 with a book.
        QCOMPARE(keys(user->LayerTips(4, true)), (QList<int>{27, 69, 670}));
        QCOMPARE(keys(user->LayerTips(7, true)), (QList<int>{27, 187, 49, 50, 51, 670}));
        user->ClearLayerTips();
        QCOMPARE(user->LayerTipLists.Count(), 0);
        centre->Config.StateCount = 2;
        QCOMPARE(keys(user->LayerTips(2, true)), (QList<int>{27, 187, 49, 670}));
    }

    void moreTips()
    {
        QVERIFY(fixture->run(
            "insert into Tips values (1, 65, 'A', 'a', '', 3), (1, 66, 'B', 'b', '', 2), (1, 67, 'C', 'c', '', 1);"
            "insert into PressCount values (1, 1, 65, 0, 4, 0), (1, 1, 66, 0, 4, 0), (1, 1, 67, 0, 9, 0);"));
        user->LoadMoreTips(1);
        QCOMPARE(keys(user->MoreTips), (QList<int>{67, 66, 65}));
        user->LoadMoreTips(5);
        QVERIFY(user->MoreTips.empty());
    }

    void findWord_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("wordId");
        QTest::newRow("plain") << "apple" << 1;
        QTest::newRow("other case") << "APPLE" << 1;
        QTest::newRow("apostrophe") << "o'clock" << 4;
        QTest::newRow("no match") << "durian" << 0;
        QTest::newRow("quote attack") << "x' or '1'='1" << 0;
    }

    void findWord()
    {
        QFETCH(QString, name);
        QFETCH(int, wordId);
        const auto word = user->FindWord(name);
        QCOMPARE(word ? word->WordId : 0, wordId);
        if (word)
            QCOMPARE(word->Book, nullptr);
    }

    void openWordList_data()
    {
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<bool>("namesOnly");
        QTest::addColumn<QString>("namesText");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("names only") << "aaa" << true << " apple  cherry,banana_split "
                                    << QStringList{"apple", "banana split", "cherry"};
        QTest::newRow("one A dropped") << "aaa" << true << "A apple a" << QStringList{"apple", "a"};
        QTest::newRow("quoted entries skipped") << "aaa" << true << "o'clock \"apple\" cherry"
                                                << QStringList{"cherry"};
        QTest::newRow("first name itself") << "o'clock" << true << "" << QStringList{"o'clock"};
        QTest::newRow("empty list") << "aaa" << true << "" << QStringList{};
        QTest::newRow("inflected forms") << "aaa" << false << "apples looked_after"
                                         << QStringList{"apple", "look after"};
    }

    void openWordList()
    {
        QFETCH(QString, firstName);
        QFETCH(bool, namesOnly);
        QFETCH(QString, namesText);
        QFETCH(QStringList, expected);
        SqliteDataset *ds = user->OpenWordList("list", firstName, namesOnly, namesText);
        QVERIFY(ds);
        QCOMPARE(names(ds), expected);
        QCOMPARE(centre->Channel->FindNamed("LIST"), ds);
    }

    void openSearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byName");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("wildcard") << "app*" << true << QStringList{"apple", "apply"};
        QTest::newRow("exact") << "#apple" << true << QStringList{"apple"};
        QTest::newRow("meaning") << "樱桃" << false << QStringList{"cherry"};
        // A quote makes the term a meaning search; the statement stays valid.
        QTest::newRow("quote") << "o'c*" << true << QStringList{};
    }

    void openSearch()
    {
        QFETCH(QString, text);
        QFETCH(bool, byName);
        QFETCH(QStringList, expected);
        QCOMPARE(names(user->OpenSearch("search", text, byName)), expected);
    }

    void readPage()
    {
        QVERIFY(user->OpenSearch("all", "*", true));
        QCOMPARE(user->RowCount("all"), 7);
        QCOMPARE(user->PageCount("all", 3), 3);
        QCOMPARE(user->PageCount("all", 7), 1);
        QCOMPARE(user->PageCount("all", 0), 0);

        user->LoadBooks();
        TUserBook *book = user->CurrentBook;
        auto page = user->ReadPage("all", 3, book, true, 1);
        QCOMPARE(page.size(), size_t(3));
        QCOMPARE(page[0]->WordId, 4);
        QCOMPARE(page[2]->WordId, 6);
        QCOMPARE(page[0]->Book, book);
        QVERIFY(page[0]->Done);
        QCOMPARE(user->ReadPage("all", 3, book, true, 2).size(), size_t(1));
        QVERIFY(user->ReadPage("all", 3, book, true, 3).empty());
        QVERIFY(user->ReadPage("unknown", 3, book, true, 0).empty());
        QCOMPARE(user->RowCount("unknown"), 0);
        QCOMPARE(user->PageCount("unknown", 10), 0);
    }

    void openPage()
    {
        QVERIFY(fixture->run("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, "
                             "Vocamo_Ability) values (0, 12, 5, 3), (0, 12, 1, 2), (0, 12, 999, 1);"));
        QVERIFY(user->OpenPage("due"));
        QCOMPARE(user->RowCount("due"), 2); // the row without a word is not joined
        const auto words = user->ReadPage("due", 10, nullptr, false, 0);
        QCOMPARE(words.size(), size_t(2));
        QCOMPARE(words[0]->BookId, 12);
    }

    void relationHardness()
    {
        QVERIFY(fixture->run("insert into Relation values (77, 1, 2), (77, 2, 8);"));
        QCOMPARE(user->GetRelationHardness("77"), 2);
        QVERIFY(user->SetRelationHardness("77", 4));
        QCOMPARE(user->GetRelationHardness("77"), 4);
        QCOMPARE(fixture->scalar("select Hardness from Relation where Relation_ID = 77 and User_ID = 2"), 8);
        // Only an existing row changes.
        QVERIFY(!user->SetRelationHardness("78", 4));
        QCOMPARE(fixture->scalar("select count(*) from Relation"), 2);
        QCOMPARE(user->GetRelationHardness("78"), 0);
        // The id goes into the statement unquoted: anything but a number is refused.
        QVERIFY(!user->SetRelationHardness("77 or 1=1", 9));
        QCOMPARE(user->GetRelationHardness("0 or 1=1"), 0);
        QCOMPARE(fixture->scalar("select Hardness from Relation where User_ID = 1"), 4);
    }

    void interfaceObjectProperties()
    {
        TInterfaceObject element("x");
        element.SetProperty(8, 5);
        element.SetProperty(0, 5);
        for (int p = 0; p <= 8; ++p)
            QCOMPARE(element.Property(p), 0);
        QCOMPARE(TInterfaceObject::PropertyName(6), QStringLiteral("字体大小"));
        QCOMPARE(TInterfaceObject::PropertyName(8), QString());
    }
};

QTEST_GUILESS_MAIN(TestUser)
#include "tst_user.moc"
