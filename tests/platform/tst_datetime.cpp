#include "platform/DateTime.h"

#include <QtTest>

#include <cmath>

class TestDateTime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void conversions_data()
    {
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<double>("dayNumber");
        auto at = [](int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0) {
            return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
        };
        QTest::newRow("epoch") << at(1899, 12, 30) << 0.0;
        QTest::newRow("epoch 06:00") << at(1899, 12, 30, 6) << 0.25;
        QTest::newRow("1899-12-31 18:00") << at(1899, 12, 31, 18) << 1.75;
        QTest::newRow("1900-01-01") << at(1900, 1, 1) << 2.0;
        QTest::newRow("1900-03-01 (no 1900 leap day)") << at(1900, 3, 1) << 61.0;
        QTest::newRow("2011-01-01") << at(2011, 1, 1) << 40544.0;
        QTest::newRow("2011-01-01 12:00") << at(2011, 1, 1, 12) << 40544.5;
        QTest::newRow("2024-02-29 18:00") << at(2024, 2, 29, 18) << 45351.75;
        QTest::newRow("millisecond") << at(2011, 1, 1, 0, 0, 0, 1) << 40544.0 + 1.0 / 86400000.0;
        QTest::newRow("day before epoch") << at(1899, 12, 29) << -1.0;
        // Before the epoch the fraction still counts forward from midnight.
        QTest::newRow("1899-12-29 06:00") << at(1899, 12, 29, 6) << -1.25;
        QTest::newRow("1899-12-28 18:00") << at(1899, 12, 28, 18) << -2.75;
        QTest::newRow("1800-01-01 12:00") << at(1800, 1, 1, 12) << -36522.5;
        QTest::newRow("9999-12-31") << at(9999, 12, 31) << 2958465.0;
        QTest::newRow("0001-01-01") << at(1, 1, 1) << -693593.0;
    }

    void conversions()
    {
        QFETCH(QDateTime, dateTime);
        QFETCH(double, dayNumber);
        QCOMPARE(toDayNumber(dateTime), dayNumber);
        QCOMPARE(fromDayNumber(dayNumber), dateTime);
    }

    void fractionOfNegativeZeroDayIsTimeOfEpochDay()
    {
        // -0.5 names the same moment as 0.5: the whole part -0 is the epoch day.
        QCOMPARE(fromDayNumber(-0.5), QDateTime(QDate(1899, 12, 30), QTime(12, 0)));
    }

    void roundsToMillisecondAcrossMidnight()
    {
        QCOMPARE(fromDayNumber(40544.0 - 1e-10), QDateTime(QDate(2011, 1, 1), QTime(0, 0)));
        QCOMPARE(fromDayNumber(-1.9999999999), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(fromDayNumber(40544.0 + 0.4 / 86400000.0), QDateTime(QDate(2011, 1, 1), QTime(0, 0)));
    }

    void utcInputIsTakenInLocalTime()
    {
        const QDateTime utc(QDate(2011, 6, 1), QTime(10, 0), Qt::UTC);
        QCOMPARE(toDayNumber(utc), toDayNumber(utc.toLocalTime()));
    }

    void invalidValues()
    {
        QCOMPARE(toDayNumber(QDateTime()), 0.0);
        QVERIFY(!fromDayNumber(std::nan("")).isValid());
        QVERIFY(!fromDayNumber(INFINITY).isValid());
        QVERIFY(!fromDayNumber(1e12).isValid());
        QVERIFY(!fromDayNumber(-1e12).isValid());
    }

    void nowIsToday()
    {
        const double now = nowDayNumber();
        const QDate today = QDate::currentDate();
        // Allow for midnight passing between the two reads.
        QVERIFY(fromDayNumber(now).date() == today || fromDayNumber(now).date() == today.addDays(-1));
        QVERIFY(now > 40544.0);
    }
};

QTEST_GUILESS_MAIN(TestDateTime)
#include "tst_datetime.moc"
