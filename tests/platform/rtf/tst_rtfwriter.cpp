#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

using vocamo::RtfReader;
using vocamo::RtfWriter;

namespace {

// What a reader sees of one character: its effective font and colours.
struct CharMarks
{
    QChar character;
    QString family;
    double points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QString foreground;
    QString background;

    QString describe() const
    {
        return QStringLiteral("'%1' %2 %3pt%4%5%6%7 fg=%8 bg=%9")
            .arg(character).arg(family).arg(points)
            .arg(bold ? " bold" : "", italic ? " italic" : "", underline ? " underline" : "",
                 strike ? " strike" : "")
            .arg(foreground, background);
    }
};

QString brushName(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

// Every character's marks, and each paragraph's alignment as a pseudo character.
QStringList marksOf(const QTextDocument &document)
{
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out << QStringLiteral("<paragraph %1>")
                   .arg(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QFont font = format.font().resolve(document.defaultFont());
            for (QChar c : fragment.text()) {
                CharMarks marks;
                marks.character = c;
                marks.family = font.families().value(0, font.family());
                marks.points = font.pointSizeF();
                marks.bold = font.weight() >= QFont::DemiBold;
                marks.italic = font.italic();
                marks.underline = font.underline();
                marks.strike = font.strikeOut();
                marks.foreground = brushName(format.foreground());
                marks.background = brushName(format.background());
                out << marks.describe();
            }
        }
    }
    return out;
}

using Builder = std::function<void(QTextCursor &)>;

QTextCharFormat formatWith(const std::function<void(QTextCharFormat &)> &change)
{
    QTextCharFormat format;
    change(format);
    return format;
}

const QList<QPair<QString, Builder>> &documents()
{
    static const QList<QPair<QString, Builder>> table = {
        {"empty", [](QTextCursor &) {}},
        {"ascii", [](QTextCursor &c) { c.insertText("Hello, world."); }},
        {"chinese", [](QTextCursor &c) { c.insertText(QString::fromUtf8("你好，世界！“引号”")); }},
        {"every mark",
         [](QTextCursor &c) {
             c.insertText("plain ");
             c.insertText("bold ", formatWith([](auto &f) { f.setFontWeight(QFont::Bold); }));
             c.insertText("italic ", formatWith([](auto &f) { f.setFontItalic(true); }));
             c.insertText("under ", formatWith([](auto &f) { f.setFontUnderline(true); }));
             c.insertText("strike ", formatWith([](auto &f) { f.setFontStrikeOut(true); }));
             c.insertText("red ", formatWith([](auto &f) { f.setForeground(QColor(255, 0, 0)); }));
             c.insertText("marked ", formatWith([](auto &f) {
                              f.setBackground(QColor(255, 255, 0));
                          }));
             c.insertText("arial ", formatWith([](auto &f) {
                              f.setFontFamilies({"Arial"});
                              f.setFontPointSize(20);
                          }));
             c.insertText(QString::fromUtf8("宋体 "), formatWith([](auto &f) {
                              f.setFontFamilies({QString::fromUtf8("宋体")});
                              f.setFontPointSize(10.5);
                          }));
             c.insertText("all", formatWith([](auto &f) {
                              f.setFontFamilies({"Tahoma"});
                              f.setFontPointSize(9);
                              f.setFontWeight(QFont::Bold);
                              f.setFontItalic(true);
                              f.setFontUnderline(true);
                              f.setFontStrikeOut(true);
                              f.setForeground(QColor(0x12, 0x34, 0x56));
                              f.setBackground(QColor(0xab, 0xcd, 0xef));
                          }));
         }},
        {"paragraphs and breaks",
         [](QTextCursor &c) {
             c.insertText(QString::fromUtf8("one\ttab"));
             QTextBlockFormat centred;
             centred.setAlignment(Qt::AlignHCenter);
             c.insertBlock(centred);
             c.insertText(QString::fromUtf8("two\u2028line"));
             QTextBlockFormat right;
             right.setAlignment(Qt::AlignRight);
             c.insertBlock(right);
             c.insertBlock(QTextBlockFormat());
             QTextBlockFormat justified;
             justified.setAlignment(Qt::AlignJustify);
             c.insertBlock(justified);
             c.insertText("last");
             c.insertBlock(QTextBlockFormat());
         }},
        {"special characters",
         [](QTextCursor &c) {
             c.insertText(QString::fromUtf8("\\ { } ; \u00A0 \u00AD € é ü · か 한 😀 ∑ \u2011"));
         }},
        {"marks across paragraphs",
         [](QTextCursor &c) {
             c.insertText("bold", formatWith([](auto &f) { f.setFontWeight(QFont::Bold); }));
             c.insertBlock();
             c.insertText(QString::fromUtf8("仍然粗体"),
                          formatWith([](auto &f) { f.setFontWeight(QFont::Bold); }));
             c.insertText(" normal", QTextCharFormat());
         }},
        {"font names that need escapes",
         [](QTextCursor &c) {
             c.insertText("x", formatWith([](auto &f) { f.setFontFamilies({"A{b}\\c"}); }));
             c.insertText(QString::fromUtf8("微软雅黑"),
                          formatWith([](auto &f) { f.setFontFamilies({QString::fromUtf8("微软雅黑")}); }));
             c.insertText("k", formatWith([](auto &f) { f.setFontFamilies({QString::fromUtf8("맑은 고딕")}); }));
         }},
    };
    return table;
}

std::unique_ptr<QTextDocument> build(const QString &name)
{
    auto document = std::make_unique<QTextDocument>();
    for (const auto &[key, builder] : documents()) {
        if (key == name) {
            QTextCursor cursor(document.get());
            builder(cursor);
        }
    }
    return document;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryMark_data();
    void roundTripKeepsEveryMark();
    void gbkFallbackAloneGivesTheText_data();
    void gbkFallbackAloneGivesTheText();
    void writesTheTablesWordProcessorsExpect();
    void selectionOnly();
    void emptySelection();
};

void TestRtfWriter::roundTripKeepsEveryMark_data()
{
    QTest::addColumn<QString>("name");
    for (const auto &entry : documents())
        QTest::newRow(qPrintable(entry.first)) << entry.first;
}

void TestRtfWriter::roundTripKeepsEveryMark()
{
    QFETCH(QString, name);
    const auto original = build(name);
    const QByteArray rtf = RtfWriter::write(*original);
    QTextDocument copy;
    RtfReader::read(rtf, &copy);
    QCOMPARE(copy.toPlainText(), original->toPlainText());
    QCOMPARE(marksOf(copy), marksOf(*original));

    // Writing the copy again gives the same stream: nothing drifts.
    QCOMPARE(RtfWriter::write(copy), rtf);
}

void TestRtfWriter::gbkFallbackAloneGivesTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("chinese") << QString::fromUtf8("你好，世界！");
    QTest::newRow("mixed") << QString::fromUtf8("abc 单词 € · é");
}

// A reader that ignores \u sees the GBK fallback bytes, which must give the same text.
void TestRtfWriter::gbkFallbackAloneGivesTheText()
{
    QFETCH(QString, text);
    QTextDocument document;
    document.setPlainText(text);
    QByteArray rtf = RtfWriter::write(document);
    QVERIFY(rtf.contains("\\u"));
    rtf = QString::fromLatin1(rtf).remove(QRegularExpression("\\\\u-?[0-9]+")).toLatin1();
    QCOMPARE(RtfReader::plainText(rtf), text);
}

void TestRtfWriter::writesTheTablesWordProcessorsExpect()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontFamilies({QString::fromUtf8("宋体")});
    cursor.insertText(QString::fromUtf8("你"), red);
    const QByteArray rtf = RtfWriter::write(document);
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"), rtf.constData());
    QVERIFY2(rtf.contains("{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"), rtf.constData());
    QVERIFY2(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;}"), rtf.constData());
    QVERIFY2(rtf.contains("\\cf1"), rtf.constData());
    QVERIFY2(rtf.contains("\\uc2 \\u20320\\'c4\\'e3"), rtf.constData());
    QCOMPARE(rtf.count('{'), rtf.count('}'));
    for (char c : rtf)
        QVERIFY(static_cast<unsigned char>(c) < 0x80); // 7-bit clean
}

void TestRtfWriter::selectionOnly()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("ab");
    cursor.insertBlock();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("cd", bold);
    cursor.setPosition(1);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    const QByteArray rtf = RtfWriter::write(cursor);

    QTextDocument copy;
    RtfReader::read(rtf, &copy);
    QCOMPARE(copy.toPlainText(), QString("b\nc"));
    QTextCursor c(&copy);
    c.setPosition(3);
    QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
}

void TestRtfWriter::emptySelection()
{
    QTextDocument document;
    document.setPlainText("text");
    const QByteArray rtf = RtfWriter::write(QTextCursor(&document));
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QCOMPARE(RtfReader::plainText(rtf), QString());
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
