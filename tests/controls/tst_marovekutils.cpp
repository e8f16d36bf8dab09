#include "controls/MarovekUtils.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <stdexcept>

namespace {

// Counts its own destructions so ownership can be checked.
struct Tracked
{
    explicit Tracked(int id, int *freed) : id(id), freed(freed) {}
    ~Tracked() { ++*freed; }
    int id;
    int *freed;
};

} // namespace

class TestMarovekUtils : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void intListAddGetPut()
    {
        TIntList list;
        QCOMPARE(list.Add(7), 0);
        QCOMPARE(list.Add(-3), 1);
        QCOMPARE(list.Add(2147483647), 2);
        QCOMPARE(list.Count(), 3);
        QCOMPARE(list.Get(1), -3);
        QVERIFY(list.Put(1, 42));
        QCOMPARE(list.Get(1), 42);
        QCOMPARE(list.Get(2), 2147483647);
    }

    void intListOutOfRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("negative") << -1;
        QTest::newRow("count") << 3;
        QTest::newRow("far") << 1000;
    }
    void intListOutOfRange()
    {
        QFETCH(int, index);
        TIntList list(3);
        QCOMPARE(list.Get(index), 0);
        QVERIFY(!list.Put(index, 5));
        QCOMPARE(list.Count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(list.Get(i), 0);
    }

    void intListOfZeros()
    {
        TIntList list(800);
        QCOMPARE(list.Count(), 800);
        QCOMPARE(list.Get(0), 0);
        QCOMPARE(list.Get(799), 0);
        QVERIFY(list.Put(799, 9));
        QCOMPARE(list.Get(799), 9);
    }

    void stackOrder()
    {
        int freed = 0;
        TMarovekStack<Tracked> stack;
        QCOMPARE(stack.Count(), 0);
        QVERIFY(!stack.Peek());
        QVERIFY(!stack.Pop());
        for (int id = 1; id <= 3; ++id)
            stack.Push(std::make_unique<Tracked>(id, &freed));
        QCOMPARE(stack.Count(), 3);
        QCOMPARE(stack.Peek()->id, 3);
        QCOMPARE(stack.Item(0)->id, 1);
        QCOMPARE(stack.Item(2)->id, 3);
        QVERIFY(!stack.Item(3));
        QVERIFY(!stack.Item(-1));

        std::unique_ptr<Tracked> top = stack.Pop();
        QCOMPARE(top->id, 3);
        QCOMPARE(freed, 0); // popping hands the item over, it is not freed
        QCOMPARE(stack.Count(), 2);
        QCOMPARE(stack.Peek()->id, 2);
        stack.Push(nullptr);
        QCOMPARE(stack.Count(), 2);
    }

    void stackFreesWhatIsLeft()
    {
        int freed = 0;
        std::unique_ptr<Tracked> popped;
        {
            TMarovekStack<Tracked> stack;
            for (int id = 1; id <= 3; ++id)
                stack.Push(std::make_unique<Tracked>(id, &freed));
            popped = stack.Pop();
        }
        QCOMPARE(freed, 2);
        QCOMPARE(popped->id, 3);
    }

    void timerDefaults()
    {
        TMarovekTimer timer;
        QCOMPARE(timer.Interval(), 1000);
        QVERIFY(timer.Enabled());
        QVERIFY(!timer.Active()); // nothing connected yet
    }

    void timerFires()
    {
        TMarovekTimer timer;
        timer.SetInterval(10);
        QSignalSpy spy(&timer, &TMarovekTimer::OnTimer);
        QVERIFY(timer.Active());
        QTRY_VERIFY(spy.count() >= 3);
    }

    // Interval, Enabled and the handler all have to allow the timer.
    void timerRunsOnlyWhenAllowed_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("active");
        QTest::newRow("all set") << 10 << true << true << true;
        QTest::newRow("zero interval") << 0 << true << true << false;
        QTest::newRow("negative interval") << -5 << true << true << false;
        QTest::newRow("disabled") << 10 << false << true << false;
        QTest::newRow("no handler") << 10 << true << false << false;
    }
    void timerRunsOnlyWhenAllowed()
    {
        QFETCH(int, interval);
        QFETCH(bool, enabled);
        QFETCH(bool, connected);
        QFETCH(bool, active);
        TMarovekTimer timer;
        int ticks = 0;
        if (connected)
            connect(&timer, &TMarovekTimer::OnTimer, this, [&ticks] { ++ticks; });
        timer.SetInterval(interval);
        timer.SetEnabled(enabled);
        QCOMPARE(timer.Active(), active);
        if (active)
            QTRY_VERIFY(ticks > 0);
    }

    void timerStopsWhenHandlerGoes()
    {
        TMarovekTimer timer;
        timer.SetInterval(10);
        const auto connection = connect(&timer, &TMarovekTimer::OnTimer, this, [] {});
        QVERIFY(timer.Active());
        disconnect(connection);
        QTRY_VERIFY(!timer.Active());
        timer.SetEnabled(false);
        QSignalSpy spy(&timer, &TMarovekTimer::OnTimer);
        QVERIFY(!timer.Active());
        timer.SetEnabled(true);
        QVERIFY(timer.Active());
        QTRY_VERIFY(spy.count() > 0);
    }

    void timerSurvivesThrowingHandler()
    {
        TMarovekTimer timer;
        timer.SetInterval(5);
        int calls = 0;
        connect(&timer, &TMarovekTimer::OnTimer, this, [&calls] {
            if (++calls == 1)
                throw std::runtime_error("handler failed");
        });
        QTest::ignoreMessage(QtWarningMsg, "TMarovekTimer: handler failed: handler failed");
        QTRY_VERIFY(calls >= 2);
        timer.SetEnabled(false);
    }
};

QTEST_MAIN(TestMarovekUtils)
#include "tst_marovekutils.moc"
