#include "platform/rtf/RtfReader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using vocamo::RtfReader;

namespace {

// The format of the first character of `word` in the document.
QTextCharFormat formatOf(const QTextDocument &document, const QString &word)
{
    const QTextCursor found = document.find(word, 0, QTextDocument::FindCaseSensitively
                                                         | QTextDocument::FindWholeWords);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QString documentText(const QByteArray &rtf)
{
    QTextDocument document;
    RtfReader::read(rtf, &document);
    // The raw text keeps line breaks (U+2028) apart from paragraph ends (U+2029).
    return document.toRawText().replace(QChar(0x2029), u'\n');
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void marks_data();
    void marks();
    void groupsScopeMarks();
    void plainResetsMarks();
    void alignment();
    void insertReplacesSelectionInOneUndoStep();
    void hostileInput_data();
    void hostileInput();
};

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ascii") << QByteArray("{\\rtf1\\ansi hello}") << "hello";
    QTest::newRow("gbk escapes") << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\'ba\\'c3}")
                                 << QString::fromUtf8("你好");
    QTest::newRow("gbk is the default code page")
        << QByteArray("{\\rtf1\\ansi \\'C4\\'E3}") << QString::fromUtf8("你");
    QTest::newRow("gbk trail byte written literally")
        << QByteArray("{\\rtf1\\ansicpg936 \\'81@x}") << QString::fromUtf8("丂x");
    QTest::newRow("raw gbk bytes in the stream")
        << QByteArray("{\\rtf1 \xc4\xe3\xba\xc3}") << QString::fromUtf8("你好");
    QTest::newRow("cp1252") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}")
                            << QString::fromUtf8("café");
    QTest::newRow("fcharset134 font in a cp1252 document")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}"
                      "{\\f1\\fnil\\fcharset134 SimSun;}}\\f1 \\'c4\\'e3\\f0 caf\\'e9}")
        << QString::fromUtf8("你café");
    QTest::newRow("invalid gbk byte") << QByteArray("{\\rtf1 a\\'ffb}")
                                      << QString::fromUtf8("a\uFFFDb");
    QTest::newRow("unicode with one fallback char")
        << QByteArray("{\\rtf1 \\u20320?\\u22909?}") << QString::fromUtf8("你好");
    QTest::newRow("unicode with a two-byte fallback")
        << QByteArray("{\\rtf1\\uc2 \\u20320\\'c4\\'e3x}") << QString::fromUtf8("你x");
    QTest::newRow("unicode without fallback")
        << QByteArray("{\\rtf1\\uc0\\u20320 x}") << QString::fromUtf8("你x");
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-255?}")
                                      << QString::fromUtf8("！");
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}")
                                    << QString::fromUtf8("😀");
    QTest::newRow("lone surrogate") << QByteArray("{\\rtf1 a\\u-10179?b}")
                                    << QString::fromUtf8("a\uFFFDb");
    QTest::newRow("uc is scoped by groups")
        << QByteArray("{\\rtf1 {\\uc2 \\u20320\\'c4\\'e3}\\u22909?x}") << QString::fromUtf8("你好x");
    QTest::newRow("group end stops the fallback skip")
        << QByteArray("{\\rtf1\\uc3 {\\u20320}x}") << QString::fromUtf8("你x");
    QTest::newRow("paragraphs, lines, tabs")
        << QByteArray("{\\rtf1 a\\par b\\line c\\tab d}") << QString::fromUtf8("a\nb\u2028c\td");
    QTest::newRow("backslash newline is a paragraph")
        << QByteArray("{\\rtf1 a\\\nb}") << "a\nb";
    QTest::newRow("line ends are not text") << QByteArray("{\\rtf1 a\r\nb\nc}") << "abc";
    QTest::newRow("escaped symbols")
        << QByteArray("{\\rtf1 \\{x\\} \\\\ a\\~b\\-c\\_d}")
        << QString::fromUtf8("{x} \\ a\u00A0b\u00ADc\u2011d");
    QTest::newRow("named characters")
        << QByteArray("{\\rtf1 \\lquote a\\rquote \\emdash\\bullet}")
        << QString::fromUtf8("\u2018a\u2019\u2014\u2022");
    QTest::newRow("destinations that are not text")
        << QByteArray("{\\rtf1{\\*\\generator Riched20;}{\\info{\\title T}{\\author A}}"
                      "{\\stylesheet{\\s0 Normal;}}{\\*\\unknown zzz{\\nested q}}"
                      "{\\pict\\pngblip 89504e47}{\\header h}visible}")
        << "visible";
    QTest::newRow("binary data may hold braces")
        << QByteArray("{\\rtf1 a{\\pict\\bin5 }}{x}}b}") << "ab";
    QTest::newRow("field shows its result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{click}}} end}")
        << "click end";
    QTest::newRow("paragraph inside a group")
        << QByteArray("{\\rtf1 {\\b a\\par b}c}") << "a\nbc";
    QTest::newRow("font and colour tables are not text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}x}") << "x";
    QTest::newRow("text after the document is ignored")
        << QByteArray("{\\rtf1 a}b") << "a";
    QTest::newRow("unknown control words are ignored")
        << QByteArray("{\\rtf1\\nosuchword12 a\\xyz b}") << "ab";
    QTest::newRow("control characters are dropped")
        << QByteArray("{\\rtf1 a\\u1?\\u65532?\\u8233?b}") << QString::fromUtf8("a\uFFFD\u2028b");
    QTest::newRow("plain text, not rtf") << QByteArray("plain\r\ntext") << "plain\ntext";
    QTest::newRow("plain gbk text") << QByteArray("\xc4\xe3") << QString::fromUtf8("你");
    QTest::newRow("plain utf-8 text") << QByteArray("\xe4\xbd\xa0") << QString::fromUtf8("你");
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(documentText(rtf), expected);
    QCOMPARE(RtfReader::plainText(rtf), expected);
}

void TestRtfReader::marks_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<QColor>("foreground"); // invalid: none
    QTest::addColumn<QColor>("background");

    const QColor none;
    QTest::newRow("plain") << "plain" << "Arial" << 14.0 << false << false << false << false
                           << none << none;
    QTest::newRow("bold") << "bold" << "Arial" << 14.0 << true << false << false << false
                          << none << none;
    QTest::newRow("italic") << "it" << "Arial" << 14.0 << false << true << false << false
                            << none << none;
    QTest::newRow("underline") << "ul" << "Arial" << 14.0 << false << false << true << false
                               << none << none;
    QTest::newRow("dotted underline") << "uld" << "Arial" << 14.0 << false << false << true
                                      << false << none << none;
    QTest::newRow("strike") << "st" << "Arial" << 14.0 << false << false << false << true
                            << none << none;
    QTest::newRow("colour") << "red" << "Arial" << 14.0 << false << false << false << false
                            << QColor(255, 0, 0) << none;
    QTest::newRow("highlight") << "hl" << "Arial" << 14.0 << false << false << false << false
                               << none << QColor(0, 0, 255);
    QTest::newRow("cb background") << "cb" << "Arial" << 14.0 << false << false << false
                                    << false << none << QColor(255, 0, 0);
    QTest::newRow("automatic colour entry") << "auto" << "Arial" << 14.0 << false << false
                                            << false << false << none << none;
    QTest::newRow("gbk font name, half-point size")
        << "song" << QString::fromUtf8("宋体") << 10.5 << false << false << false << false
        << none << none;
}

void TestRtfReader::marks()
{
    QFETCH(QString, word);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(bool, strike);
    QFETCH(QColor, foreground);
    QFETCH(QColor, background);

    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff1{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f1\\fswiss{\\*\\panose 020b0604020202020204} Arial;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\fs28 "
        "plain \\b bold\\b0  \\i it\\i0  \\ul ul\\ulnone  \\uld uld\\ul0  \\strike st\\strike0  "
        "\\cf1 red\\cf0  \\highlight2 hl\\highlight0  \\cb1 cb\\cb0  \\cf3 auto\\cf0  "
        "\\f0\\fs21 song}";
    QTextDocument document;
    RtfReader::read(rtf, &document);
    const QTextCharFormat format = formatOf(document, word);
    QVERIFY2(format.isValid(), qPrintable(word));
    QCOMPARE(format.fontFamilies().toStringList(), QStringList{family});
    QCOMPARE(format.fontPointSize(), points);
    QCOMPARE(format.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(format.fontItalic(), italic);
    QCOMPARE(format.fontUnderline(), underline);
    QCOMPARE(format.fontStrikeOut(), strike);
    QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), foreground.isValid());
    if (foreground.isValid())
        QCOMPARE(format.foreground().color(), foreground);
    QCOMPARE(format.hasProperty(QTextFormat::BackgroundBrush), background.isValid());
    if (background.isValid())
        QCOMPARE(format.background().color(), background);
}

void TestRtfReader::groupsScopeMarks()
{
    QTextDocument document;
    RtfReader::read("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}{\\b\\cf1 inner} outer}", &document);
    QVERIFY(formatOf(document, "inner").fontWeight() >= QFont::Bold);
    QVERIFY(formatOf(document, "inner").hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(formatOf(document, "outer").fontWeight() < QFont::Bold);
    QVERIFY(!formatOf(document, "outer").hasProperty(QTextFormat::ForegroundBrush));
}

void TestRtfReader::plainResetsMarks()
{
    QTextDocument document;
    RtfReader::read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Tahoma;}}\\deff0\\f1\\b\\i\\fs40 one "
                    "\\plain two}",
                    &document);
    QCOMPARE(formatOf(document, "one").fontFamilies().toStringList(), QStringList{"Tahoma"});
    const QTextCharFormat two = formatOf(document, "two");
    QCOMPARE(two.fontFamilies().toStringList(), QStringList{"Arial"});
    QVERIFY(two.fontWeight() < QFont::Bold);
    QVERIFY(!two.fontItalic());
    QVERIFY(!two.hasProperty(QTextFormat::FontPointSize));
}

void TestRtfReader::alignment()
{
    QTextDocument document;
    RtfReader::read("{\\rtf1\\pard\\qc a\\par b\\par\\pard\\qr c\\par\\pard d\\par\\qj e}", &document);
    QCOMPARE(document.blockCount(), 5);
    const QList<Qt::Alignment> expected = {Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight,
                                           Qt::AlignLeft, Qt::AlignJustify};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(document.findBlockByNumber(i).blockFormat().alignment()
                     & Qt::AlignHorizontal_Mask,
                 expected.at(i));
}

void TestRtfReader::insertReplacesSelectionInOneUndoStep()
{
    QTextDocument document;
    document.setPlainText("0123456789");
    QTextCursor cursor(&document);
    cursor.setPosition(3);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    RtfReader::insert(cursor, "{\\rtf1 {\\b X}\\par Y}");
    QCOMPARE(document.toPlainText(), QString("012X\nY6789"));
    QCOMPARE(cursor.position(), 6); // after the inserted "Y"
    QVERIFY(formatOf(document, "012X").isValid());
    QTextCursor x(&document);
    x.setPosition(4);
    QVERIFY(x.charFormat().fontWeight() >= QFont::Bold);
    document.undo();
    QCOMPARE(document.toPlainText(), QString("0123456789"));
}

void TestRtfReader::hostileInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected"); // the text that must be read

    const int tenMegabytes = 10 * 1024 * 1024;
    QTest::newRow("10 MB of open groups")
        << "{\\rtf1 a" + QByteArray(tenMegabytes, '{') + "b" << "ab";
    QTest::newRow("10 MB of nesting, closed again")
        << "{\\rtf1 a" + QByteArray(tenMegabytes / 2, '{') + "\\b b"
               + QByteArray(tenMegabytes / 2, '}') + "c}"
        << "abc";
    QTest::newRow("deep skipped destination")
        << "{\\rtf1 a{\\*\\x" + QByteArray(1000000, '{') + "hidden" + QByteArray(1000000, '}')
               + "}b}"
        << "ab";
    QTest::newRow("unbalanced") << QByteArray("{\\rtf1 a{\\b b") << "ab";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}} b") << "a";
    QTest::newRow("huge numbers")
        << QByteArray("{\\rtf1\\fs99999999999999999999999 a\\u99999999999999 b\\uc999999999 "
                      "\\f-99999999999\\cf2147483648\\highlight-2147483649 c}")
        << QString::fromUtf8("a\uFFFDc"); // "b" is the skipped fallback of the \u
    QTest::newRow("huge binary length") << QByteArray("{\\rtf1 a\\bin99999999999999 xyz}") << "a";
    QTest::newRow("negative binary length") << QByteArray("{\\rtf1 a\\bin-5 x}") << "ax";
    QTest::newRow("truncated escape") << QByteArray("{\\rtf1 a\\'c") << "a";
    QTest::newRow("truncated backslash") << QByteArray("{\\rtf1 a\\") << "a";
    QTest::newRow("truncated lead byte") << QByteArray("{\\rtf1 a\\'c4") << QString::fromUtf8("a\uFFFD");
    QTest::newRow("endless control word")
        << "{\\rtf1 a\\" + QByteArray(1000000, 'x') + " b}" << "ab";
    QTest::newRow("endless parameter")
        << "{\\rtf1 a\\fs" + QByteArray(1000000, '9') + " b}" << "ab";
    QTest::newRow("a million colours")
        << "{\\rtf1{\\colortbl" + QByteArray(1000000, ';') + "}\\cf999999 a}" << "a";
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 11) << "ab";
}

void TestRtfReader::hostileInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(RtfReader::plainText(rtf), expected);
    QCOMPARE(documentText(rtf), expected);
    QTextDocument document;
    RtfReader::read(rtf, &document);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    QVERIFY(cursor.charFormat().fontPointSize() <= 1638);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
