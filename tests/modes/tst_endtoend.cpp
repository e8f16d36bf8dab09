// A study session end to end: signed in against the reference server with a copy of the
// sample store, the host opens the first book and is driven by virtual-key codes as the
// main window drives it. The server's own records must then hold, for every committed
// word, the ability the list promised (NextAbility of its mark) and one more study count.
// The second run stops the server while the marks are made and starts it again: the
// queued marks still arrive.

#include "support/ModesFixture.h"

#include "modes/WordListStrategy.h"
#include "server/ReferenceServer.h"
#include "sync/Requests.h"
#include "sync/ServerLink.h"

#include <QDir>

namespace {

const QString Account = QStringLiteral("8613900000001");

struct TExpected
{
    int WordId = 0;
    int Ability = 0;
    int Count = 0;
};

// What committing word with the given mark (0: the screen's default) must store.
TExpected Expect(const TWord &word, int mark, int defaultMark)
{
    return {word.WordId, word.NextAbility(mark ? mark : defaultMark), word.StudyCount + 1};
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void studySessionReachesTheServer_data()
    {
        QTest::addColumn<bool>("serverDown");
        QTest::newRow("server up") << false;
        QTest::newRow("server stopped during the marks") << true;
    }

    void studySessionReachesTheServer()
    {
        QFETCH(bool, serverDown);
        ModesFixture fx;
        QVERIFY(fx.ready());

        // The server down case needs a server it can start again on the same address.
        std::unique_ptr<TReferenceServer> own;
        TServerOptions options;
        options.dataDir = fx.dir() + QStringLiteral("/own-server");
        options.openRegistration = true;
        options.contentPath = qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/VocamoServer.content");
        TServerSettings settings;
        if (serverDown) {
            own = std::make_unique<TReferenceServer>(options);
            QVERIFY(own->start());
            settings.BaseUrl = own->baseUrl();
            options.port = own->port();
        }
        TSyncClient client(*fx.centre, settings);
        QVERIFY(SignIn(Account, QStringLiteral("123456")));
        fx.centre->Config.AlwaysShowTrans = false;
        fx.window->show();

        TQueueWorld &world = fx.makeWorld();
        world.Arrange();
        world.Activate();
        auto *list = dynamic_cast<TStandardStrategy *>(world.TopLayer());
        QVERIFY(list);
        QVERIFY(list->Book);
        QVERIFY(fx.centre->DueCount > 0);
        const int category = fx.centre->StudyCategory();
        const int bookId = list->Book->BookId;

        if (serverDown) {
            QVERIFY(client.WaitForQueue(10000));
            own->stop();
        }
        std::vector<TExpected> expected;

        // Mark the first word 2 and commit it.
        TWord *word = world.CurrentWord();
        QVERIFY(word);
        world.Perform(50, 0);
        expected.push_back(Expect(*word, 2, 0));
        world.Perform(13, 0);

        // The next screen: two of its words marked, then the whole screen.
        world.Perform(39, 0);
        TPageWords *screen = list->CurrentScreen;
        QVERIFY(screen && screen->Count() >= 3);
        world.Perform(49, 0);
        world.Perform(40, 0);
        world.Perform(40, 0);
        world.Perform(187, 0);
        for (int i = 0; i < screen->Count(); ++i)
            expected.push_back(Expect(*screen->Get(i), screen->Get(i)->Mark, screen->DefaultMark));
        world.Perform(8, 0);
        QCOMPARE(screen->Count(), 0);

        // Another screen: one word marked, K commits the others.
        TPageWords *another = list->CurrentScreen;
        QVERIFY(another && another != screen && another->Count() >= 2);
        world.Perform(51, 0);
        TWord *kept = world.CurrentWord();
        for (int i = 0; i < another->Count(); ++i) {
            if (another->Get(i)->Mark == 0)
                expected.push_back(Expect(*another->Get(i), 0, another->DefaultMark));
        }
        world.Perform(75, 0);
        QCOMPARE(another->Count(), 1);
        QCOMPARE(another->Get(0), kept);

        if (serverDown) {
            QVERIFY(client.PendingCount() > 0);
            own = std::make_unique<TReferenceServer>(options);
            QVERIFY(own->start());
            client.Flush();
        }
        QVERIFY(client.WaitForQueue(20000));
        QCOMPARE(client.PendingCount(), 0);

        TReferenceServer *server = serverDown ? own.get() : client.Link().EmbeddedServer();
        QVERIFY(server);
        for (const TExpected &e : expected) {
            const auto state = server->wordState(Account, category, bookId, e.WordId);
            QVERIFY2(state.exists, qPrintable(QString::number(e.WordId)));
            QCOMPARE(state.ability, e.Ability);
            QCOMPARE(state.count, e.Count);
        }
        world.StopAll();
        world.Load();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
