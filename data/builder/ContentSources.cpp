#include "ContentSources.h"

#include <QFile>
#include <QSet>

#include <limits>

namespace {

struct Row {
    int line = 0;
    QStringList fields;
};

// A tab-separated UTF-8 file: blank lines and lines starting with '#' are skipped,
// each field is trimmed.
bool ReadTable(const QString &path, QList<Row> &rows, QStringList &errors)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors << QStringLiteral("%1: cannot open: %2").arg(path, file.errorString());
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        Row row;
        row.line = i + 1;
        for (const QString &field : line.split(QLatin1Char('\t')))
            row.fields << field.trimmed();
        rows << row;
    }
    return true;
}

class Reporter {
public:
    Reporter(QString path, QStringList &errors) : m_path(std::move(path)), m_errors(errors) {}
    void operator()(int line, const QString &message) const
    {
        m_errors << QStringLiteral("%1:%2: %3").arg(m_path).arg(line).arg(message);
    }

private:
    QString m_path;
    QStringList &m_errors;
};

bool ParseInt(const QString &text, int low, int high, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

QStringList SplitList(const QString &text)
{
    QStringList items;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString trimmed = item.trimmed();
        if (!trimmed.isEmpty())
            items << trimmed;
    }
    return items;
}

bool HasQuote(const QString &text)
{
    return text.contains(QLatin1Char('\'')) || text.contains(QLatin1Char('"'));
}

// Reads dir/fileName and hands each row to handle(row, report), where report files a
// problem under that path and the row's line. A file that cannot be read is reported once
// and handles nothing.
template <typename Handle>
void ForEachRow(const QString &dir, const QString &fileName, QStringList &errors, Handle handle)
{
    const QString path = dir + QLatin1Char('/') + fileName;
    QList<Row> rows;
    if (!ReadTable(path, rows, errors))
        return;
    const Reporter report(path, errors);
    for (const Row &row : rows)
        handle(row, report);
}

void ReadWords(const QString &dir, Content &content, QStringList &errors)
{
    QHash<QString, int> firstLine;
    ForEachRow(dir, QStringLiteral("words.tsv"), errors, [&](const Row &row, const Reporter &report) {
        const QStringList &f = row.fields;
        if (f.size() < 6 || f.size() > 8) {
            report(row.line, QStringLiteral("expected 6 to 8 tab-separated columns, found %1").arg(f.size()));
            return;
        }
        WordEntry word;
        word.name = f[0];
        word.symbol = f[1];
        word.meaning = f[2];
        word.meaning.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
        word.example = f[4];
        word.translation = f[5];
        if (f.size() > 6)
            word.synonyms = SplitList(f[6]);
        if (f.size() > 7)
            word.antonyms = SplitList(f[7]);
        if (word.name.isEmpty() || HasQuote(word.name)) {
            report(row.line, QStringLiteral("the word must be non-empty and hold no quote"));
            return;
        }
        if (word.meaning.isEmpty()) {
            report(row.line, QStringLiteral("word '%1' has no meaning").arg(word.name));
            return;
        }
        if (!ParseInt(f[3], 1, 5, word.usage)) {
            report(row.line, QStringLiteral("word '%1': usage level '%2' is not 1 to 5").arg(word.name, f[3]));
            return;
        }
        const QString key = word.name.toLower();
        if (firstLine.contains(key)) {
            report(row.line, QStringLiteral("duplicate word '%1' (first at line %2)")
                                 .arg(word.name).arg(firstLine.value(key)));
            return;
        }
        firstLine.insert(key, row.line);
        content.wordIndex.insert(key, static_cast<int>(content.words.size()));
        content.words << word;
    });
}

void ReadExamples(const QString &dir, Content &content, QStringList &errors)
{
    ForEachRow(dir, QStringLiteral("examples.tsv"), errors, [&](const Row &row, const Reporter &report) {
        if (row.fields.size() != 3 || row.fields[1].isEmpty()) {
            report(row.line, QStringLiteral("expected word, English sentence and translation"));
            return;
        }
        const int word = content.indexOf(row.fields[0]);
        if (word < 0) {
            report(row.line, QStringLiteral("unknown word '%1'").arg(row.fields[0]));
            return;
        }
        content.examples << ExampleEntry{word, row.fields[1], row.fields[2]};
    });
}

void ReadNotes(const QString &dir, Content &content, QStringList &errors)
{
    QSet<int> seen;
    ForEachRow(dir, QStringLiteral("notes.tsv"), errors, [&](const Row &row, const Reporter &report) {
        if (row.fields.size() != 3 || row.fields[1].isEmpty()) {
            report(row.line, QStringLiteral("expected word, Chinese note and English note"));
            return;
        }
        const int word = content.indexOf(row.fields[0]);
        if (word < 0) {
            report(row.line, QStringLiteral("unknown word '%1'").arg(row.fields[0]));
            return;
        }
        if (seen.contains(word)) {
            report(row.line, QStringLiteral("second note for '%1'").arg(row.fields[0]));
            return;
        }
        seen.insert(word);
        content.notes << NoteEntry{word, row.fields[1], row.fields[2]};
    });
}

// "first..last" takes every word from first to last in words.tsv order.
bool ResolveBookItem(const Content &content, const QString &item, QList<int> &words, QString &problem)
{
    const qsizetype dots = item.indexOf(QStringLiteral(".."));
    if (dots < 0) {
        const int word = content.indexOf(item);
        if (word < 0) {
            problem = QStringLiteral("unknown word '%1'").arg(item);
            return false;
        }
        words << word;
        return true;
    }
    const QString firstName = item.left(dots).trimmed();
    const QString lastName = item.mid(dots + 2).trimmed();
    const int first = content.indexOf(firstName);
    const int last = content.indexOf(lastName);
    if (first < 0 || last < 0 || first > last) {
        problem = QStringLiteral("bad range '%1'").arg(item);
        return false;
    }
    for (int i = first; i <= last; ++i)
        words << i;
    return true;
}

void ReadBooks(const QString &dir, Content &content, QStringList &errors)
{
    QSet<int> ids;
    QSet<QString> names;
    ForEachRow(dir, QStringLiteral("books.tsv"), errors, [&](const Row &row, const Reporter &report) {
        if (row.fields.size() != 3) {
            report(row.line, QStringLiteral("expected book id, name and words"));
            return;
        }
        BookEntry book;
        if (!ParseInt(row.fields[0], 1, 1000000, book.id) || ids.contains(book.id)) {
            report(row.line, QStringLiteral("book id '%1' is not a new positive number").arg(row.fields[0]));
            return;
        }
        book.name = row.fields[1];
        if (book.name.isEmpty() || names.contains(book.name)) {
            report(row.line, QStringLiteral("book name '%1' is empty or used twice").arg(book.name));
            return;
        }
        bool ok = true;
        for (const QString &item : SplitList(row.fields[2])) {
            QString problem;
            if (!ResolveBookItem(content, item, book.words, problem)) {
                report(row.line, problem);
                ok = false;
            }
        }
        if (ok && book.words.isEmpty()) {
            report(row.line, QStringLiteral("book '%1' holds no words").arg(book.name));
            ok = false;
        }
        if (!ok)
            return;
        ids.insert(book.id);
        names.insert(book.name);
        content.books << book;
    });
}

void ReadTips(const QString &dir, Content &content, QStringList &errors)
{
    QSet<QPair<int, int>> seen;
    ForEachRow(dir, QStringLiteral("tips.tsv"), errors, [&](const Row &row, const Reporter &report) {
        const QStringList &f = row.fields;
        TipEntry tip;
        int visible = 0;
        if (f.size() != 6 || !ParseInt(f[0], 0, 1000, tip.layer) || !ParseInt(f[1], 1, 254, tip.key)
            || !ParseInt(f[4], 0, 100000, tip.sequence) || !ParseInt(f[5], 0, 1, visible)
            || f[2].isEmpty()) {
            report(row.line, QStringLiteral("expected layer, key code, title, caption, sequence, visible 0/1"));
            return;
        }
        if (seen.contains({tip.layer, tip.key})) {
            report(row.line, QStringLiteral("key %1 listed twice for layer %2").arg(tip.key).arg(tip.layer));
            return;
        }
        seen.insert({tip.layer, tip.key});
        tip.title = f[2];
        tip.caption = f[3];
        tip.visible = visible == 1;
        content.tips << tip;
    });
}

void ReadIrregulars(const QString &dir, Content &content, QStringList &errors)
{
    ForEachRow(dir, QStringLiteral("irregular.tsv"), errors, [&](const Row &row, const Reporter &report) {
        const QStringList &f = row.fields;
        if (f.size() != 3 || f[0].isEmpty() || f[1].isEmpty() || f[2].isEmpty()
            || HasQuote(f.join(QString()))) {
            report(row.line, QStringLiteral("expected base form, past tense and past participle"));
            return;
        }
        // "dreamt/dreamed": the n-th past pairs with the n-th participle (or the last one).
        const QStringList past = f[1].split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const QStringList participle = f[2].split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const auto rowsNeeded = std::max(past.size(), participle.size());
        for (qsizetype i = 0; i < rowsNeeded; ++i) {
            content.irregulars << IrregularEntry{f[0],
                                                 past.at(std::min(i, past.size() - 1)).trimmed(),
                                                 participle.at(std::min(i, participle.size() - 1)).trimmed()};
        }
    });
}

// The seven layout properties by their stored Chinese names.
int LayoutProperty(const QString &name)
{
    static const QStringList names{QStringLiteral("左"), QStringLiteral("上"), QStringLiteral("宽"),
                                   QStringLiteral("高"), QStringLiteral("颜色"),
                                   QStringLiteral("字体大小"), QStringLiteral("字体颜色")};
    return int(names.indexOf(name)) + 1;
}

void ReadLayout(const QString &dir, Content &content, QStringList &errors)
{
    ForEachRow(dir, QStringLiteral("layout.tsv"), errors, [&](const Row &row, const Reporter &report) {
        const QStringList &f = row.fields;
        bool ok = false;
        const qint64 value = f.size() == 3 ? f[2].toLongLong(&ok, 0) : 0;
        const int property = f.size() == 3 ? LayoutProperty(f[1]) : 0;
        if (!ok || property == 0 || f[0].isEmpty() || HasQuote(f[0]) || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
            report(row.line, QStringLiteral("expected element, one of 左 上 宽 高 颜色 字体大小 字体颜色, and a whole number"));
            return;
        }
        content.layout << LayoutEntry{f[0], property, value};
    });
}

QString SyntheticName(int n)
{
    QString suffix;
    for (int i = 0; i < 5; ++i) {
        suffix.prepend(QLatin1Char(static_cast<char>('a' + n % 26)));
        n /= 26;
    }
    return QStringLiteral("ab") + suffix;
}

} // namespace

bool ReadContent(const QString &dataDir, Content &content, QStringList &errors)
{
    const auto before = errors.size();
    ReadWords(dataDir, content, errors);
    ReadExamples(dataDir, content, errors);
    ReadNotes(dataDir, content, errors);
    ReadBooks(dataDir, content, errors);
    ReadTips(dataDir, content, errors);
    ReadIrregulars(dataDir, content, errors);
    ReadLayout(dataDir, content, errors);
    if (content.words.isEmpty())
        errors << QStringLiteral("%1/words.tsv: no words").arg(dataDir);
    return errors.size() == before;
}

void AddSyntheticWords(Content &content, int totalWords)
{
    constexpr int capacity = 26 * 26 * 26 * 26 * 26;
    for (int n = 0; content.words.size() < totalWords && n < capacity; ++n) {
        const QString name = SyntheticName(n);
        if (content.indexOf(name) >= 0)
            continue;
        WordEntry word;
        word.name = name;
        word.symbol = QStringLiteral("ˈæbeɪ");
        word.meaning = QStringLiteral("n. 合成词条 %1；测试用词\r\nv. 测试").arg(n + 1);
        word.usage = 1 + n % 5;
        word.example = QStringLiteral("This is the synthetic word %1.").arg(name);
        word.translation = QStringLiteral("这是合成词 %1。").arg(name);
        content.wordIndex.insert(name, static_cast<int>(content.words.size()));
        content.words << word;
    }
}
