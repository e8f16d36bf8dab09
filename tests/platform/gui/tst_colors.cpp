#include "platform/gui/Colors.h"
#include "platform/gui/TextMetrics.h"

#include <QFontMetrics>
#include <QTest>

using namespace vocamo;

class TestColors : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void ignoresTheHighByte();
    void textMeasurement();
};

void TestColors::conversion_data()
{
    QTest::addColumn<quint32>("win");
    QTest::addColumn<QColor>("color");
    QTest::newRow("red") << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("green") << quint32(0x00FF00) << QColor(0, 255, 0);
    QTest::newRow("blue") << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("mixed") << quint32(0x563412) << QColor(0x12, 0x34, 0x56);
    QTest::newRow("black") << quint32(0) << QColor(0, 0, 0);
    QTest::newRow("white") << quint32(0xFFFFFF) << QColor(255, 255, 255);
}

void TestColors::conversion()
{
    QFETCH(quint32, win);
    QFETCH(QColor, color);
    QCOMPARE(colorFromWin(win), color);
    QCOMPARE(winFromColor(color), win);
}

void TestColors::ignoresTheHighByte()
{
    QCOMPARE(colorFromWin(0xAB0000FF), QColor(255, 0, 0));
    QCOMPARE(winFromColor(QColor::fromHsv(0, 255, 255)), quint32(0x0000FF));
}

void TestColors::textMeasurement()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("Vocabulary");
    QCOMPARE(TextExtent(font, text), QSize(metrics.horizontalAdvance(text), metrics.height()));
    QCOMPARE(TextWidth(font, text), metrics.horizontalAdvance(text));
    QCOMPARE(TextHeight(font, text), metrics.height());
    QVERIFY(TextWidth(font, text + text) > TextWidth(font, text));
    QCOMPARE(TextWidth(font, QString()), 0);
    QVERIFY(TextHeight(font, QString()) > 0);
}

QTEST_MAIN(TestColors)
#include "tst_colors.moc"
