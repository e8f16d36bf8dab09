#include "controls/RichText.h"

#include "platform/rtf/RtfReader.h"
#include "store/Catalogue.h"

#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

struct Run
{
    QString text;
    QTextCharFormat format;
};

// Every mark the program writes: bold, italic, underline, strike-through, text and
// background colours, sizes, font names, and Chinese text.
std::vector<Run> markedRuns()
{
    std::vector<Run> runs;
    auto add = [&runs](const QString &text, auto &&mark) {
        QTextCharFormat format;
        format.setFontFamilies({QStringLiteral("Arial")});
        format.setFontPointSize(12);
        mark(format);
        runs.push_back({text, format});
    };
    add(QStringLiteral("plain "), [](QTextCharFormat &) {});
    add(QStringLiteral("bold "), [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); });
    add(QStringLiteral("italic "), [](QTextCharFormat &f) { f.setFontItalic(true); });
    add(QStringLiteral("underline "), [](QTextCharFormat &f) { f.setFontUnderline(true); });
    add(QStringLiteral("strike "), [](QTextCharFormat &f) { f.setFontStrikeOut(true); });
    add(QStringLiteral("red "), [](QTextCharFormat &f) { f.setForeground(QColor(255, 0, 0)); });
    add(QStringLiteral("marked "), [](QTextCharFormat &f) { f.setBackground(QColor(255, 255, 0)); });
    add(QStringLiteral("large "), [](QTextCharFormat &f) { f.setFontPointSize(20); });
    add(QStringLiteral("tahoma "), [](QTextCharFormat &f) { f.setFontFamilies({QStringLiteral("Tahoma")}); });
    add(QStringLiteral("中文"), [](QTextCharFormat &f) {
        f.setFontFamilies({QStringLiteral("SimSun")});
        f.setFontWeight(QFont::Bold);
        f.setForeground(QColor(0, 0, 255));
    });
    return runs;
}

void writeRuns(QTextEdit *edit, const std::vector<Run> &runs)
{
    QTextCursor cursor(edit->document());
    for (const Run &run : runs)
        cursor.insertText(run.text, run.format);
}

// The format of the character at `position` of the document.
QTextCharFormat formatAt(const QTextDocument *document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

void compareMarks(const QTextCharFormat &got, const QTextCharFormat &want, const QString &where)
{
    QVERIFY2(got.fontWeight() == want.fontWeight(), qPrintable(where));
    QVERIFY2(got.fontItalic() == want.fontItalic(), qPrintable(where));
    QVERIFY2(got.fontUnderline() == want.fontUnderline(), qPrintable(where));
    QVERIFY2(got.fontStrikeOut() == want.fontStrikeOut(), qPrintable(where));
    QVERIFY2(got.fontPointSize() == want.fontPointSize(), qPrintable(where));
    QVERIFY2(got.fontFamilies() == want.fontFamilies(), qPrintable(where));
    QVERIFY2(got.foreground().color() == want.foreground().color()
                 || (want.foreground().style() == Qt::NoBrush && got.foreground().color() == Qt::black),
             qPrintable(where));
    QVERIFY2(got.background().style() == want.background().style(), qPrintable(where));
    if (want.background().style() != Qt::NoBrush)
        QVERIFY2(got.background().color() == want.background().color(), qPrintable(where));
}

// Checks that `edit` holds the runs from `offset` on, with their marks.
void compareRuns(const QTextEdit *edit, const std::vector<Run> &runs, int offset = 0)
{
    int position = offset;
    for (const Run &run : runs) {
        const QString text = edit->document()->toPlainText().mid(position, run.text.size());
        QCOMPARE(text, run.text);
        for (int i = 0; i < run.text.size(); ++i) {
            compareMarks(formatAt(edit->document(), position + i), run.format,
                         QStringLiteral("%1[%2]").arg(run.text).arg(i));
            if (QTest::currentTestFailed())
                return;
        }
        position += run.text.size();
    }
}

QByteArray rtfOf(const QString &body)
{
    return QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0 Arial;}}"
                             "{\\colortbl;\\red255\\green0\\blue0;}")
           + body.toLatin1() + QByteArrayLiteral("}");
}

// The viewport point over the middle of the character at `index`.
QPoint centreOfCharacter(const QTextEdit *edit, int index)
{
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(index);
    const QRect left = edit->cursorRect(cursor);
    cursor.setPosition(index + 1);
    const QRect right = edit->cursorRect(cursor);
    return QPoint((left.left() + right.left()) / 2, left.center().y());
}

} // namespace

class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { m_window.reset(); }

    void roundTripKeepsEveryMark();
    void chineseInBothEscapeForms();
    void streamInReplacesSelection();
    void streamInIntoReadOnlyView();
    void streamOutWritesSelectionOnly();
    void streamOutOfEmptySelection();

    void wordAt_data();
    void wordAt();
    void wordAtBesideOrBelowText();

    void mergedTextKeepsOrderAndMarks();
    void mergedTextOfNone();

private:
    std::unique_ptr<QWidget> m_window;
    QTextEdit *m_edit = nullptr;
};

void TestRichText::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(600, 300);
    m_edit = new QTextEdit(m_window.get());
    m_edit->setObjectName(QStringLiteral("edit"));
    m_edit->setGeometry(0, 0, 600, 300);
}

void TestRichText::roundTripKeepsEveryMark()
{
    const std::vector<Run> runs = markedRuns();
    writeRuns(m_edit, runs);
    m_edit->selectAll();
    const QByteArray rtf = RichStreamOut(m_edit);
    QVERIFY(rtf.startsWith("{\\rtf1"));

    QTextEdit copy;
    RichStreamIn(&copy, rtf);
    QCOMPARE(copy.toPlainText(), m_edit->toPlainText());
    compareRuns(&copy, runs);
}

void TestRichText::chineseInBothEscapeForms()
{
    // 中 as GBK bytes D6 D0, 文 as \u25991 with a one-byte fallback.
    RichStreamIn(m_edit, rtfOf(QStringLiteral("{\\b \\'d6\\'d0}\\u25991?x")));
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("中文x"));
    QCOMPARE(formatAt(m_edit->document(), 0).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(m_edit->document(), 1).fontWeight(), int(QFont::Normal));

    m_edit->selectAll();
    QTextEdit copy;
    RichStreamIn(&copy, RichStreamOut(m_edit));
    QCOMPARE(copy.toPlainText(), QStringLiteral("中文x"));
    QCOMPARE(formatAt(copy.document(), 0).fontWeight(), int(QFont::Bold));
}

void TestRichText::streamInReplacesSelection()
{
    m_edit->setPlainText(QStringLiteral("abc XYZ def"));
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    m_edit->setTextCursor(cursor);

    RichStreamIn(m_edit, rtfOf(QStringLiteral("{\\b new}")));

    QCOMPARE(m_edit->toPlainText(), QStringLiteral("abc new def"));
    QCOMPARE(formatAt(m_edit->document(), 4).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(m_edit->document(), 8).fontWeight(), int(QFont::Normal));
    QCOMPARE(m_edit->textCursor().position(), 7);
    QVERIFY(!m_edit->textCursor().hasSelection());
}

void TestRichText::streamInIntoReadOnlyView()
{
    m_edit->setReadOnly(true);
    RichStreamIn(m_edit, rtfOf(QStringLiteral("{\\cf1 shown}")));
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("shown"));
    QCOMPARE(formatAt(m_edit->document(), 0).foreground().color(), QColor(255, 0, 0));
}

void TestRichText::streamOutWritesSelectionOnly()
{
    writeRuns(m_edit, markedRuns());
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(6); // "bold italic "
    cursor.setPosition(18, QTextCursor::KeepAnchor);
    m_edit->setTextCursor(cursor);

    QTextDocument document;
    vocamo::RtfReader::read(RichStreamOut(m_edit), &document);
    QCOMPARE(document.toPlainText(), QStringLiteral("bold italic "));
    QCOMPARE(formatAt(&document, 0).fontWeight(), int(QFont::Bold));
    QVERIFY(formatAt(&document, 5).fontItalic());
    QCOMPARE(formatAt(&document, 5).fontWeight(), int(QFont::Normal));
}

void TestRichText::streamOutOfEmptySelection()
{
    m_edit->setPlainText(QStringLiteral("nothing chosen"));
    QTextDocument document;
    vocamo::RtfReader::read(RichStreamOut(m_edit), &document);
    QCOMPARE(document.toPlainText(), QString());
}

void TestRichText::wordAt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index"); // the character under the point
    QTest::addColumn<QString>("word");

    const QString line = QStringLiteral("hello wonderful world");
    QTest::newRow("first letter of a word") << line << 6 << QString();
    QTest::newRow("first letter of the text") << line << 0 << QString();
    QTest::newRow("second letter") << line << 7 << QStringLiteral("wonderful");
    QTest::newRow("middle of a word") << line << 10 << QStringLiteral("wonderful");
    QTest::newRow("last letter of a word") << line << 14 << QStringLiteral("wonderful");
    QTest::newRow("middle of the first word") << line << 2 << QStringLiteral("hello");
    QTest::newRow("blank") << line << 5 << QString();
    QTest::newRow("last word") << line << 18 << QStringLiteral("world");
    QTest::newRow("word before a paragraph end") << QStringLiteral("one two\nthree") << 5
                                                 << QStringLiteral("two");
    QTest::newRow("second paragraph") << QStringLiteral("one two\nthree") << 10
                                      << QStringLiteral("three");
    QTest::newRow("line break") << QStringLiteral("one two\nthree") << 7 << QString();
    QTest::newRow("Chinese text") << QStringLiteral("ab 中文词 cd") << 4 << QStringLiteral("中文词");
}

void TestRichText::wordAt()
{
    QFETCH(QString, text);
    QFETCH(int, index);
    QFETCH(QString, word);
    m_edit->setPlainText(text);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    const QPoint point = centreOfCharacter(m_edit, index);
    QCOMPARE(RichWordAt(m_edit, point.x(), point.y()), word);
}

void TestRichText::wordAtBesideOrBelowText()
{
    m_edit->setPlainText(QStringLiteral("hello world"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QPoint inWord = centreOfCharacter(m_edit, 8);
    QCOMPARE(RichWordAt(m_edit, inWord.x(), inWord.y()), QStringLiteral("world"));

    // Past the end of the line and below the last line.
    QCOMPARE(RichWordAt(m_edit, 500, inWord.y()), QString());
    QCOMPARE(RichWordAt(m_edit, inWord.x(), 250), QString());
    QCOMPARE(RichWordAt(m_edit, -5, -5), QString());
}

void TestRichText::mergedTextKeepsOrderAndMarks()
{
    TTexts texts;
    const QStringList bodies = {QStringLiteral("{\\b first}\\par "),
                                QStringLiteral("{\\i second}\\par "),
                                QStringLiteral("{\\cf1 third}")};
    for (int i = 0; i < bodies.size(); ++i) {
        auto text = std::make_unique<TText>();
        text->Id = i + 1;
        text->Content = rtfOf(bodies[i]);
        texts.Add(std::move(text));
    }

    const QByteArray merged = MergedText(texts, m_window.get());

    QVERIFY(merged.startsWith("{\\rtf1"));
    QCOMPARE(merged.count("{\\rtf1"), 1);
    QTextDocument document;
    vocamo::RtfReader::read(merged, &document);
    const QString plain = document.toPlainText();
    const int first = plain.indexOf(QStringLiteral("first"));
    const int second = plain.indexOf(QStringLiteral("second"));
    const int third = plain.indexOf(QStringLiteral("third"));
    QVERIFY(first >= 0 && first < second && second < third);
    QCOMPARE(formatAt(&document, first).fontWeight(), int(QFont::Bold));
    QVERIFY(!formatAt(&document, first).fontItalic());
    QVERIFY(formatAt(&document, second).fontItalic());
    QCOMPARE(formatAt(&document, second).fontWeight(), int(QFont::Normal));
    QCOMPARE(formatAt(&document, third).foreground().color(), QColor(255, 0, 0));
    QVERIFY(!formatAt(&document, third).fontItalic());
    // The helper edit is gone again.
    QVERIFY(m_window->findChildren<QTextEdit *>().size() == 1);
}

void TestRichText::mergedTextOfNone()
{
    TTexts texts;
    QTextDocument document;
    vocamo::RtfReader::read(MergedText(texts, m_window.get()), &document);
    QCOMPARE(document.toPlainText(), QString());
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
