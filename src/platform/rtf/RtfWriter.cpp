#include "RtfWriter.h"

#include "CodePage.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vocamo {

namespace {

constexpr int kCodePage = 936;
constexpr int kCharset = 134; // GB2312, the charset of code page 936

struct Marks
{
    QString family;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = -1;
    int background = -1;
};

struct Run
{
    QString text;
    Marks marks;
};

struct Paragraph
{
    Qt::Alignment alignment;
    std::vector<Run> runs;
};

int halfPointsOf(const QFont &font)
{
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 0.75; // pixels at 96 dots per inch
    if (points <= 0)
        points = 12;
    return std::clamp(int(std::lround(points * 2)), 2, 3276);
}

int rgbOf(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? -1 : int(brush.color().rgb() & 0xFFFFFF);
}

Marks marksOf(const QTextCharFormat &format, const QFont &documentFont)
{
    const QFont font = format.font().resolve(documentFont);
    Marks marks;
    marks.family = font.families().value(0, font.family());
    marks.halfPoints = halfPointsOf(font);
    marks.bold = font.weight() >= QFont::DemiBold;
    marks.italic = font.italic();
    marks.underline = font.underline();
    marks.strike = font.strikeOut();
    marks.foreground = rgbOf(format.foreground());
    marks.background = rgbOf(format.background());
    return marks;
}

std::vector<Paragraph> collect(const QTextDocument &document, int from, int to)
{
    std::vector<Paragraph> paragraphs;
    const QFont documentFont = document.defaultFont();
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        if (block.position() > to)
            break;
        Paragraph paragraph;
        paragraph.alignment = block.blockFormat().alignment();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            if (start >= end)
                continue;
            Run run;
            run.text = fragment.text().mid(start - fragment.position(), end - start);
            run.marks = marksOf(fragment.charFormat(), documentFont);
            paragraph.runs.push_back(std::move(run));
        }
        paragraphs.push_back(std::move(paragraph));
    }
    return paragraphs;
}

class Output
{
public:
    explicit Output(const std::vector<Paragraph> &paragraphs);
    QByteArray take() { return std::move(m_out); }

private:
    void writeHeader();
    void writeParagraph(const Paragraph &paragraph, bool first);
    void writeMarks(const Marks &marks);
    void writeText(const QString &text);
    void writeUnicode(QStringView character);
    void writeFontName(const QString &name);
    int fontIndex(const QString &family) const;
    int colorIndex(int rgb) const;

    QStringList m_fonts;
    std::vector<int> m_colors; // index 0 is the automatic colour
    CodePage m_gbk{kCodePage};
    QByteArray m_out;
    Marks m_current;
    int m_currentFont = -1;
    int m_skipCount = 1;
    bool m_started = false;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

Output::Output(const std::vector<Paragraph> &paragraphs)
    : m_colors{-1}
{
    for (const Paragraph &paragraph : paragraphs) {
        for (const Run &run : paragraph.runs) {
            if (!m_fonts.contains(run.marks.family))
                m_fonts.append(run.marks.family);
            for (int rgb : {run.marks.foreground, run.marks.background})
                if (rgb >= 0 && std::find(m_colors.begin(), m_colors.end(), rgb) == m_colors.end())
                    m_colors.push_back(rgb);
        }
    }
    if (m_fonts.isEmpty())
        m_fonts.append(QStringLiteral("SimSun"));
    writeHeader();
    for (size_t i = 0; i < paragraphs.size(); ++i)
        writeParagraph(paragraphs[i], i == 0);
    m_out += "}\r\n";
}

void Output::writeHeader()
{
    m_out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset"
                 + QByteArray::number(kCharset) + ' ';
        writeFontName(m_fonts.at(i));
        m_out += ";}";
    }
    m_out += "}\r\n{\\colortbl ;";
    for (size_t i = 1; i < m_colors.size(); ++i) {
        const int rgb = m_colors[i];
        m_out += "\\red" + QByteArray::number((rgb >> 16) & 0xFF) + "\\green"
                 + QByteArray::number((rgb >> 8) & 0xFF) + "\\blue"
                 + QByteArray::number(rgb & 0xFF) + ';';
    }
    m_out += "}\r\n\\uc1\\pard\\plain";
    m_current = Marks{};
    m_current.family.clear();
}

void Output::writeParagraph(const Paragraph &paragraph, bool first)
{
    if (!first)
        m_out += "\\par\r\n";
    const Qt::Alignment alignment = paragraph.alignment & Qt::AlignHorizontal_Mask;
    if (alignment != m_alignment) {
        m_out += "\\pard";
        if (alignment & Qt::AlignRight)
            m_out += "\\qr";
        else if (alignment & Qt::AlignHCenter)
            m_out += "\\qc";
        else if (alignment & Qt::AlignJustify)
            m_out += "\\qj";
        m_alignment = alignment;
        m_out += ' ';
    }
    for (const Run &run : paragraph.runs) {
        writeMarks(run.marks);
        writeText(run.text);
    }
}

void Output::writeMarks(const Marks &marks)
{
    QByteArray words;
    const int font = fontIndex(marks.family);
    if (!m_started || font != m_currentFont)
        words += "\\f" + QByteArray::number(font);
    if (!m_started || marks.halfPoints != m_current.halfPoints)
        words += "\\fs" + QByteArray::number(marks.halfPoints);
    const auto toggle = [&](bool now, bool before, const char *on, const char *off) {
        if (!m_started ? now : now != before)
            words += now ? on : off;
    };
    toggle(marks.bold, m_current.bold, "\\b", "\\b0");
    toggle(marks.italic, m_current.italic, "\\i", "\\i0");
    toggle(marks.underline, m_current.underline, "\\ul", "\\ulnone");
    toggle(marks.strike, m_current.strike, "\\strike", "\\strike0");
    if (!m_started || marks.foreground != m_current.foreground)
        words += "\\cf" + QByteArray::number(colorIndex(marks.foreground));
    if (!m_started || marks.background != m_current.background)
        words += "\\highlight" + QByteArray::number(colorIndex(marks.background));
    if (!words.isEmpty())
        m_out += words + ' ';
    m_current = marks;
    m_currentFont = font;
    m_started = true;
}

void Output::writeText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case u'\\': m_out += "\\\\"; continue;
        case u'{': m_out += "\\{"; continue;
        case u'}': m_out += "\\}"; continue;
        case u'\t': m_out += "\\tab "; continue;
        case 0x2028: m_out += "\\line "; continue;
        case 0x00A0: m_out += "\\~"; continue;
        default: break;
        }
        if (c >= 0x20 && c < 0x7F) {
            m_out += char(c);
        } else if (c >= 0x7F && c != 0xFFFC && c != 0xFDD0 && c != 0xFDD1) {
            writeUnicode(QStringView(text).mid(i, 1));
        }
    }
}

void Output::writeUnicode(QStringView character)
{
    const char16_t c = character.at(0).unicode();
    QByteArray fallback = QChar::isSurrogate(c) ? QByteArray() : m_gbk.encode(character);
    if (fallback.isEmpty())
        fallback = "?";
    if (fallback.size() != m_skipCount) {
        m_skipCount = int(fallback.size());
        m_out += "\\uc" + QByteArray::number(m_skipCount) + ' ';
    }
    m_out += "\\u" + QByteArray::number(int(qint16(c)));
    for (char byte : fallback) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80 && b != '\\' && b != '{' && b != '}')
            m_out += char(b);
        else
            m_out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
    }
}

void Output::writeFontName(const QString &name)
{
    // Font names are written in GBK like the charset says; \u only for the rest.
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c == u';' || c < 0x20)
            continue;
        if (c == u'\\' || c == u'{' || c == u'}') {
            m_out += '\\';
            m_out += char(c);
        } else if (c < 0x80) {
            m_out += char(c);
        } else if (const QByteArray bytes = QChar::isSurrogate(c)
                                                ? QByteArray()
                                                : m_gbk.encode(QStringView(name).mid(i, 1));
                   !bytes.isEmpty()) {
            for (char byte : bytes)
                m_out += "\\'" + QByteArray::number(static_cast<unsigned char>(byte), 16)
                                     .rightJustified(2, '0');
        } else {
            writeUnicode(QStringView(name).mid(i, 1));
        }
    }
}

int Output::fontIndex(const QString &family) const
{
    return std::max(0, int(m_fonts.indexOf(family)));
}

int Output::colorIndex(int rgb) const
{
    if (rgb < 0)
        return 0;
    const auto found = std::find(m_colors.begin(), m_colors.end(), rgb);
    return found == m_colors.end() ? 0 : int(found - m_colors.begin());
}

QByteArray writeRange(const QTextDocument &document, int from, int to)
{
    return Output(collect(document, from, to)).take();
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document)
{
    return writeRange(document, 0, document.characterCount() - 1);
}

QByteArray RtfWriter::write(const QTextCursor &selection)
{
    const QTextDocument *document = selection.document();
    if (!document || !selection.hasSelection())
        return Output({}).take();
    return writeRange(*document, selection.selectionStart(), selection.selectionEnd());
}

} // namespace vocamo
