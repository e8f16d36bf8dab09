#include "RtfParser.h"

#include "CodePage.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string_view>

namespace vocamo {

namespace {

constexpr int kMaxDepth = 256;          // deeper groups share their parent's state
constexpr int kMaxWordLength = 32;      // longer control words are not real ones
constexpr int kMaxParamDigits = 10;     // more digits are read but do not count
constexpr qint64 kParamLimit = 2000000000;
constexpr int kMaxSkipCount = 64;       // \ucN
constexpr int kMaxHalfPoints = 3276;    // 1638 points, the largest size rich edits allow
constexpr int kMaxFontNameLength = 128;
constexpr int kDefaultCodePage = 936;

enum class Destination { Body, FontTable, ColorTable, Skip };

struct GroupState
{
    Destination destination = Destination::Body;
    int font = -1;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0; // colour table indices; 0 is the automatic colour
    int background = 0;
    int skipCount = 1;  // \ucN
    RtfAlignment alignment = RtfAlignment::Default;
};

struct FontEntry
{
    QString name;
    int charset = -1;
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations whose content is not document text.
bool isSkippedDestination(std::string_view word)
{
    static constexpr std::array<std::string_view, 44> names = {
        "annotation", "atnauthor", "atndate", "atnid", "author", "bkmkend", "bkmkstart",
        "buptim", "colorschememapping", "comment", "creatim", "datastore", "doccomm",
        "filetbl", "fldinst", "footer", "footerf", "footerl", "footerr", "footnote",
        "generator", "header", "headerf", "headerl", "headerr", "info", "keywords",
        "latentstyles", "listoverridetable", "listtable", "nonshppict", "object",
        "operator", "pict", "printim", "revtbl", "revtim", "rsidtbl", "stylesheet",
        "subject", "tc", "template", "themedata", "xe"};
    return std::find(names.begin(), names.end(), word) != names.end();
}

// Destinations we read (their text is document text or a table we parse).
bool isKnownDestination(std::string_view word)
{
    return word == "fonttbl" || word == "colortbl" || word == "fldrslt" || word == "ud"
        || word == "upr" || word == "pntext" || word == "listtext" || word == "field"
        || isSkippedDestination(word);
}

char16_t specialCharacter(std::string_view word)
{
    struct Named { std::string_view name; char16_t character; };
    static constexpr std::array<Named, 15> table = {{
        {"line", 0x2028}, {"tab", u'\t'}, {"cell", u'\t'}, {"emdash", 0x2014},
        {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
        {"enspace", 0x2002}, {"qmspace", 0x2005}, {"zwj", 0x200D}, {"zwnj", 0x200C}}};
    for (const Named &n : table)
        if (n.name == word)
            return n.character;
    return 0;
}

// Makes a run's text safe for a text document: no control characters, no
// characters the document reserves for its own structure, no lone surrogates.
QString sanitized(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                out.append(text.at(i));
                out.append(text.at(++i));
            } else {
                out.append(QChar(0xFFFD));
            }
            continue;
        }
        if (QChar::isLowSurrogate(c) || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC
            || c == 0xFFFE || c == 0xFFFF) {
            out.append(QChar(0xFFFD));
        } else if (c == 0x2029) {
            out.append(QChar(0x2028));
        } else if (c >= 0x20 || c == u'\t') {
            out.append(QChar(c));
        }
    }
    return out;
}

class Parser
{
public:
    explicit Parser(const QByteArray &data)
        : m_pos(data.constData()), m_end(data.constData() + data.size())
    {
    }

    RtfContent run();

private:
    void openGroup();
    bool closeGroup(); // false when the outermost group closed
    void controlSequence();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(char c);
    void literal(unsigned char c);
    void addByte(unsigned char byte);
    void flushBytes();
    void put(char16_t c);
    void emitText(const QString &text);
    void endParagraph();
    void flushRun();
    void commitFont();
    void commitColor();
    void skipBinary(qint64 count);
    RtfCharFormat currentFormat() const;
    int currentCodePage() const;
    const CodePage &codePage(int number);

    const char *m_pos;
    const char *m_end;
    std::vector<GroupState> m_stack;
    GroupState m_state;
    int m_overflowDepth = 0;
    bool m_ignorableNext = false;
    int m_pendingSkip = 0;

    int m_documentCodePage = kDefaultCodePage;
    int m_defaultFont = -1;

    QByteArray m_bytes;        // \'hh and raw bytes waiting to be decoded
    int m_bytesCodePage = 0;
    bool m_expectTrailByte = false;

    std::map<int, FontEntry> m_fonts;
    int m_fontNumber = -1;     // entry being read in the font table
    FontEntry m_fontEntry;
    bool m_fontEntryOpen = false;

    std::vector<int> m_colors; // -1: automatic
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorStated = false;

    QString m_run;
    RtfCharFormat m_runFormat;
    bool m_formatDirty = true;
    RtfContent m_content;
    std::map<int, std::unique_ptr<CodePage>> m_codePages;
};

RtfContent Parser::run()
{
    m_content.wasRtf = true;
    bool closed = false;
    while (m_pos < m_end && !closed) {
        const char c = *m_pos;
        if (c == '{') {
            ++m_pos;
            openGroup();
        } else if (c == '}') {
            ++m_pos;
            closed = !closeGroup();
        } else if (c == '\\') {
            controlSequence();
        } else {
            ++m_pos;
            if (c != '\r' && c != '\n')
                literal(static_cast<unsigned char>(c));
        }
    }
    flushBytes();
    if (m_state.destination == Destination::FontTable)
        commitFont();
    flushRun();
    if (!closed)
        m_content.lastAlignment = m_state.alignment;
    return std::move(m_content);
}

void Parser::openGroup()
{
    flushBytes();
    m_pendingSkip = 0;
    m_ignorableNext = false;
    if (m_stack.size() >= size_t(kMaxDepth)) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_state);
}

bool Parser::closeGroup()
{
    flushBytes();
    m_pendingSkip = 0;
    m_ignorableNext = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return true;
    }
    if (m_stack.empty())
        return false;
    if (m_state.destination == Destination::FontTable)
        commitFont();
    if (m_stack.size() == 1)
        m_content.lastAlignment = m_state.alignment; // the document group ends here
    m_state = m_stack.back();
    m_stack.pop_back();
    m_formatDirty = true;
    return !m_stack.empty();
}

void Parser::controlSequence()
{
    ++m_pos; // the backslash
    if (m_pos >= m_end)
        return;
    const char c = *m_pos;
    if (!isLetter(c)) {
        ++m_pos;
        controlSymbol(c);
        return;
    }
    const char *start = m_pos;
    while (m_pos < m_end && isLetter(*m_pos))
        ++m_pos;
    const std::string_view word(start, size_t(std::min<ptrdiff_t>(m_pos - start,
                                                                  kMaxWordLength + 1)));
    bool negative = false;
    if (m_pos + 1 < m_end && *m_pos == '-' && isDigit(m_pos[1])) {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    qint64 value = 0;
    int digits = 0;
    while (m_pos < m_end && isDigit(*m_pos)) {
        hasParam = true;
        if (digits++ < kMaxParamDigits)
            value = std::min<qint64>(value * 10 + (*m_pos - '0'), kParamLimit);
        ++m_pos;
    }
    if (m_pos < m_end && *m_pos == ' ')
        ++m_pos;
    const int param = int(negative ? -value : value);
    if (word.size() > size_t(kMaxWordLength))
        return; // not a control word anyone writes; its parameter is consumed with it
    controlWord(word, hasParam, param);
}

void Parser::controlSymbol(char c)
{
    if (c == '\'') {
        int value = -1;
        if (m_pos + 1 < m_end) {
            const int high = hexValue(m_pos[0]);
            const int low = hexValue(m_pos[1]);
            if (high >= 0 && low >= 0) {
                value = high * 16 + low;
                m_pos += 2;
            }
        } else if (m_pos < m_end && hexValue(*m_pos) >= 0) {
            ++m_pos; // half an escape cut off by the end of the stream
        }
        if (value < 0 || m_state.destination == Destination::Skip)
            return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        if (m_state.destination != Destination::ColorTable)
            addByte(static_cast<unsigned char>(value));
        return;
    }
    if (c == '*') {
        m_ignorableNext = true;
        return;
    }
    flushBytes();
    if (m_state.destination == Destination::Skip)
        return;
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        put(char16_t(c));
        break;
    case '~':
        put(0x00A0);
        break;
    case '-':
        put(0x00AD);
        break;
    case '_':
        put(0x2011);
        break;
    case '\r':
    case '\n':
        endParagraph();
        break;
    default:
        break; // \: \| and unknown symbols carry no text
    }
}

void Parser::controlWord(std::string_view word, bool hasParam, int param)
{
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    if (word == "bin") {
        if (m_pendingSkip > 0)
            --m_pendingSkip;
        skipBinary(hasParam ? param : 0);
        return;
    }
    if (m_state.destination == Destination::Skip)
        return;
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    flushBytes();

    if (ignorable && !isKnownDestination(word)) {
        m_state.destination = Destination::Skip;
        return;
    }
    if (isSkippedDestination(word)) {
        m_state.destination = Destination::Skip;
        return;
    }
    if (word == "u") {
        char16_t unit = char16_t(param < 0 ? param + 65536 : param);
        if (param < -32768 || param > 65535)
            unit = 0xFFFD;
        put(unit);
        m_pendingSkip = m_state.skipCount;
        return;
    }
    if (word == "uc") {
        m_state.skipCount = std::clamp(param, 0, kMaxSkipCount);
        return;
    }
    if (word == "fonttbl") {
        m_state.destination = Destination::FontTable;
        m_fontEntryOpen = false;
        return;
    }
    if (word == "colortbl") {
        m_state.destination = Destination::ColorTable;
        m_colors.clear();
        m_colorStated = false;
        m_red = m_green = m_blue = 0;
        return;
    }

    if (m_state.destination == Destination::FontTable) {
        if (word == "f") {
            commitFont();
            m_fontNumber = param;
            m_fontEntry = {};
            m_fontEntryOpen = true;
        } else if (word == "fcharset") {
            m_fontEntry.charset = param;
        }
        return;
    }
    if (m_state.destination == Destination::ColorTable) {
        const int component = std::clamp(param, 0, 255);
        if (word == "red")
            m_red = component, m_colorStated = true;
        else if (word == "green")
            m_green = component, m_colorStated = true;
        else if (word == "blue")
            m_blue = component, m_colorStated = true;
        return;
    }

    // Document text and its marks.
    if (const char16_t special = specialCharacter(word)) {
        put(special);
        return;
    }
    const bool on = !hasParam || param != 0;
    if (word == "par" || word == "sect" || word == "page" || word == "row") {
        endParagraph();
    } else if (word == "b") {
        m_state.bold = on;
    } else if (word == "i") {
        m_state.italic = on;
    } else if (word == "strike" || word == "striked") {
        m_state.strike = on;
    } else if (word == "ulnone") {
        m_state.underline = false;
    } else if (word.substr(0, 2) == "ul" && word != "ulc") {
        m_state.underline = on;
    } else if (word == "fs") {
        m_state.halfPoints = std::clamp(param, 0, kMaxHalfPoints);
    } else if (word == "f") {
        m_state.font = param;
    } else if (word == "cf") {
        m_state.foreground = param;
    } else if (word == "highlight" || word == "cb" || word == "chcbpat") {
        m_state.background = param;
    } else if (word == "plain") {
        const GroupState keep = m_state;
        m_state = GroupState{};
        m_state.destination = keep.destination;
        m_state.skipCount = keep.skipCount;
        m_state.alignment = keep.alignment;
        m_state.font = m_defaultFont;
    } else if (word == "pard") {
        m_state.alignment = RtfAlignment::Default;
    } else if (word == "ql") {
        m_state.alignment = RtfAlignment::Left;
    } else if (word == "qr") {
        m_state.alignment = RtfAlignment::Right;
    } else if (word == "qc") {
        m_state.alignment = RtfAlignment::Center;
    } else if (word == "qj") {
        m_state.alignment = RtfAlignment::Justify;
    } else if (word == "ansicpg") {
        if (param > 0 && param < 65536)
            m_documentCodePage = param;
    } else if (word == "mac") {
        m_documentCodePage = 10000;
    } else if (word == "pc") {
        m_documentCodePage = 437;
    } else if (word == "pca") {
        m_documentCodePage = 850;
    } else if (word == "deff") {
        m_defaultFont = param;
        m_state.font = param;
    } else {
        return; // unknown words are ignored, as RTF requires
    }
    m_formatDirty = true;
}

void Parser::literal(unsigned char c)
{
    switch (m_state.destination) {
    case Destination::Skip:
        return;
    case Destination::ColorTable:
        if (c == ';')
            commitColor();
        return;
    case Destination::FontTable:
        if (c == ';') {
            flushBytes();
            commitFont();
            return;
        }
        break;
    case Destination::Body:
        break;
    }
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    if (c >= 0x80 || (m_expectTrailByte && !m_bytes.isEmpty())) {
        addByte(c);
        return;
    }
    flushBytes();
    put(char16_t(c));
}

void Parser::addByte(unsigned char byte)
{
    const int number = currentCodePage();
    if (!m_bytes.isEmpty() && number != m_bytesCodePage)
        flushBytes();
    m_bytesCodePage = number;
    m_bytes.append(char(byte));
    if (m_expectTrailByte)
        m_expectTrailByte = false;
    else
        m_expectTrailByte = codePage(number).isLeadByte(byte);
}

void Parser::flushBytes()
{
    m_expectTrailByte = false;
    if (m_bytes.isEmpty())
        return;
    const QString text = codePage(m_bytesCodePage).decode(m_bytes);
    m_bytes.clear();
    emitText(text);
}

void Parser::put(char16_t c)
{
    emitText(QString(QChar(c)));
}

void Parser::emitText(const QString &text)
{
    if (m_state.destination == Destination::FontTable) {
        if (m_fontEntryOpen && m_fontEntry.name.size() < kMaxFontNameLength)
            m_fontEntry.name += text.left(kMaxFontNameLength - m_fontEntry.name.size());
        return;
    }
    if (m_state.destination != Destination::Body)
        return;
    if (m_formatDirty) {
        const RtfCharFormat format = currentFormat();
        if (!(format == m_runFormat)) {
            flushRun();
            m_runFormat = format;
        }
        m_formatDirty = false;
    }
    m_run += text;
}

void Parser::endParagraph()
{
    if (m_state.destination != Destination::Body)
        return;
    flushRun();
    RtfItem item;
    item.kind = RtfItem::Kind::ParagraphEnd;
    item.alignment = m_state.alignment;
    m_content.items.push_back(std::move(item));
}

void Parser::flushRun()
{
    if (m_run.isEmpty())
        return;
    RtfItem item;
    item.text = sanitized(m_run);
    item.format = m_runFormat;
    m_run.clear();
    if (!item.text.isEmpty())
        m_content.items.push_back(std::move(item));
}

void Parser::commitFont()
{
    if (!m_fontEntryOpen)
        return;
    m_fontEntryOpen = false;
    FontEntry entry = m_fontEntry;
    entry.name = sanitized(entry.name).trimmed().remove(QChar(0x2028));
    m_fonts[m_fontNumber] = entry;
    m_formatDirty = true;
}

void Parser::commitColor()
{
    m_colors.push_back(m_colorStated ? (m_red << 16) | (m_green << 8) | m_blue : -1);
    m_red = m_green = m_blue = 0;
    m_colorStated = false;
    m_formatDirty = true;
}

void Parser::skipBinary(qint64 count)
{
    const qint64 left = m_end - m_pos;
    m_pos += std::clamp<qint64>(count, 0, left);
}

RtfCharFormat Parser::currentFormat() const
{
    RtfCharFormat format;
    if (const auto font = m_fonts.find(m_state.font); font != m_fonts.end())
        format.family = font->second.name;
    format.halfPoints = m_state.halfPoints;
    format.bold = m_state.bold;
    format.italic = m_state.italic;
    format.underline = m_state.underline;
    format.strike = m_state.strike;
    const auto color = [this](int index) {
        return index > 0 && size_t(index) < m_colors.size() ? m_colors[size_t(index)] : -1;
    };
    format.foreground = color(m_state.foreground);
    format.background = color(m_state.background);
    return format;
}

int Parser::currentCodePage() const
{
    int charset = -1;
    if (m_state.destination == Destination::FontTable) {
        charset = m_fontEntry.charset;
    } else if (const auto font = m_fonts.find(m_state.font); font != m_fonts.end()) {
        charset = font->second.charset;
    }
    const int number = CodePage::fromCharset(charset);
    return number ? number : m_documentCodePage;
}

const CodePage &Parser::codePage(int number)
{
    auto &slot = m_codePages[number];
    if (!slot)
        slot = std::make_unique<CodePage>(number);
    return *slot;
}

RtfContent parsePlainText(const QByteArray &data)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = CodePage(kDefaultCodePage).decode(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    RtfContent content;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            content.items.push_back({RtfItem::Kind::ParagraphEnd, {}, {}, {}});
        const QString line = sanitized(lines.at(i));
        if (!line.isEmpty())
            content.items.push_back({RtfItem::Kind::Text, line, {}, {}});
    }
    return content;
}

bool looksLikeRtf(const QByteArray &data)
{
    qsizetype i = 0;
    while (i < data.size() && (data.at(i) == ' ' || data.at(i) == '\t' || data.at(i) == '\r'
                               || data.at(i) == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

} // namespace

QString RtfContent::plainText() const
{
    QString text;
    for (const RtfItem &item : items)
        text += item.kind == RtfItem::Kind::Text ? item.text : QStringLiteral("\n");
    return text;
}

RtfContent ParseRtf(const QByteArray &data)
{
    if (!looksLikeRtf(data))
        return parsePlainText(data);
    return Parser(data).run();
}

} // namespace vocamo
