#include "StoreWriter.h"

#include "ContentSources.h"
#include "NoteRtf.h"
#include "store/ContentKeys.h"
#include "store/Routine.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <filesystem>
#include <memory>

namespace {

struct DatabaseCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

class Writer {
public:
    explicit Writer(sqlite3 *db) : m_db(db) {}

    bool exec(const QByteArray &sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        m_error = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        return false;
    }

    // One insert statement, run once per row: values bound in column order.
    class Insert {
    public:
        Insert(Writer &writer, const char *sql) : m_writer(writer)
        {
            sqlite3_stmt *raw = nullptr;
            if (sqlite3_prepare_v2(writer.m_db, sql, -1, &raw, nullptr) != SQLITE_OK)
                writer.fail();
            m_statement.reset(raw);
        }
        Insert &operator<<(int value)
        {
            sqlite3_bind_int(m_statement.get(), ++m_column, value);
            return *this;
        }
        Insert &operator<<(const QString &value)
        {
            const QByteArray utf8 = value.toUtf8();
            sqlite3_bind_text(m_statement.get(), ++m_column, utf8.constData(),
                              static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
            return *this;
        }
        Insert &operator<<(const QByteArray &blob)
        {
            sqlite3_bind_blob(m_statement.get(), ++m_column, blob.constData(),
                              static_cast<int>(blob.size()), SQLITE_TRANSIENT);
            return *this;
        }
        bool run()
        {
            m_column = 0;
            if (!m_statement)
                return false;
            const int rc = sqlite3_step(m_statement.get());
            sqlite3_reset(m_statement.get());
            sqlite3_clear_bindings(m_statement.get());
            if (rc == SQLITE_DONE)
                return true;
            m_writer.fail();
            return false;
        }

    private:
        Writer &m_writer;
        Statement m_statement;
        int m_column = 0;
    };

    void fail()
    {
        if (m_error.isEmpty())
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    QString error() const { return m_error; }

private:
    sqlite3 *m_db;
    QString m_error;
};

QString Md5Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper());
}

bool WriteFixedRows(Writer &w)
{
    Writer::Insert feature(w, "insert into Feature(LIFE_MAJOR_VERSION, LIFE_MINOR_VERSION, LIFE_CLOUD_DIR) values(?, ?, ?)");
    feature << 2 << 0 << QStringLiteral("vocamo");
    if (!feature.run())
        return false;
    Writer::Insert user(w, "insert into USERS(USER_ID, USER_NAME, USER_PASSWORD, Update_Dictionary, User_Type, "
                           "User_RealName, User_Number, Active_Sequence) values(?, ?, ?, ?, ?, ?, ?, ?)");
    user << 1 << QStringLiteral("learner") << QString() << 1 << 0 << QStringLiteral("学习者") << QString() << 1;
    return user.run();
}

bool WriteBooks(Writer &w, const Content &content)
{
    Writer::Insert insert(w, "insert into USERBOOKS(USER_ID, BOOK_ID, BOOK_NAME, SEQUENCE, Active_Sequence, "
                             "Deletable, Category, Hashcode, RelationBook_ID) values(1, ?, ?, ?, ?, 0, 1, ?, 0)");
    int sequence = 0;
    for (const BookEntry &book : content.books) {
        ++sequence;
        QStringList names;
        for (const int word : book.words)
            names << content.words.at(word).name;
        // The first book has the largest Active_Sequence and so is the current one.
        insert << book.id << book.name << sequence << (sequence == 1 ? 1 : 0)
               << Md5Hex(names.join(QLatin1Char('\n')).toUtf8());
        if (!insert.run())
            return false;
    }
    return true;
}

bool WriteWords(Writer &w, const Content &content)
{
    QList<bool> hasExamples(content.words.size(), false);
    for (const ExampleEntry &example : content.examples)
        hasExamples[example.word] = true;

    Writer::Insert insert(w, "insert into TotalWords(WORD_ID, WORD_NAME, WORD_SYMBOL, WORD_NEWSYMBOL, WORD_TRANS, "
                             "WORD_EXPLAIN, WORD_SYNONYMY, WORD_ANTONYM, WORD_ANALOPY, WORD_AIDS, WORD_GREANTONYM, "
                             "WORD_AFFIX, WORD_USAGE, WORD_EXAMPLE, WORD_CLASS, Example_Exist) "
                             "values(?, ?, ?, '', ?, '', ?, ?, '', '', '', '', ?, ?, ?, ?)");
    const QString synonymKey = ContentKeys::Text(ContentKeys::Synonym);
    const QString antonymKey = ContentKeys::Text(ContentKeys::Antonym);
    for (int i = 0; i < content.words.size(); ++i) {
        const WordEntry &word = content.words.at(i);
        const QString synonyms = word.synonyms.isEmpty()
            ? QString() : EncipherHexText(word.synonyms.join(QLatin1Char(',')), synonymKey, 0);
        const QString antonyms = word.antonyms.isEmpty()
            ? QString() : EncipherHexText(word.antonyms.join(QLatin1Char(',')), antonymKey, 0);
        insert << i + 1 << word.name << word.symbol << word.meaning << synonyms << antonyms << word.usage
               << word.example << word.translation << (hasExamples.at(i) ? 1 : 0);
        if (!insert.run())
            return false;
    }
    return true;
}

bool WriteExamples(Writer &w, const Content &content)
{
    Writer::Insert insert(w, "insert into Example(WORD_ID, Example_Index, EngContent, ChnTranslation) values(?, ?, ?, ?)");
    const QByteArray key = ContentKeys::Bytes(ContentKeys::Example);
    QHash<int, int> nextIndex;
    for (const ExampleEntry &example : content.examples) {
        const int index = ++nextIndex[example.word];
        QByteArray blob = example.english.toUtf8();
        EncipherAndPack(blob, key);
        insert << example.word + 1 << index << blob << example.chinese;
        if (!insert.run())
            return false;
    }
    return true;
}

bool WriteNotes(Writer &w, const Content &content)
{
    Writer::Insert insert(w, "insert into Dictionary(WORD_ID, WORD_NOTE) values(?, ?)");
    const QByteArray key = ContentKeys::Bytes(ContentKeys::DictionaryNote);
    for (const NoteEntry &note : content.notes) {
        const WordEntry &word = content.words.at(note.word);
        QByteArray blob = NoteRtf(word.name, word.symbol, note.chinese, note.english);
        EncipherAndPack(blob, key);
        insert << note.word + 1 << blob;
        if (!insert.run())
            return false;
    }
    return true;
}

bool WriteIrregulars(Writer &w, const Content &content)
{
    Writer::Insert insert(w, "insert into Irregular(WordName, PastStyle, FinishStyle) values(?, ?, ?)");
    for (const IrregularEntry &entry : content.irregulars) {
        insert << entry.base << entry.past << entry.participle;
        if (!insert.run())
            return false;
    }
    return true;
}

bool WriteTips(Writer &w, const Content &content)
{
    Writer::Insert tip(w, "insert into Tips(LayerID, LayerKey, Title, Caption, HashCode, Sequence) values(?, ?, ?, ?, ?, ?)");
    Writer::Insert press(w, "insert into PressCount(UserID, LayerID, LayerKey, Visible, ClickCount, Sequence1) "
                            "values(1, ?, ?, ?, 0, ?)");
    for (const TipEntry &entry : content.tips) {
        const QString hash = Md5Hex(QStringLiteral("%1\t%2\t%3\t%4")
                                        .arg(entry.layer).arg(entry.key).arg(entry.title, entry.caption)
                                        .toUtf8());
        tip << entry.layer << entry.key << entry.title << entry.caption << hash << entry.sequence;
        press << entry.layer << entry.key << (entry.visible ? 1 : 0) << entry.sequence;
        if (!tip.run() || !press.run())
            return false;
    }
    return true;
}

// The default screen layout of the sample user, stored as the program stores a saved one:
// SEQUENCE = element index x 20 + property, CHOICE = element name + property name.
bool WriteLayout(Writer &w, const Content &content)
{
    static const char *const propertyNames[] = {"左", "上", "宽", "高", "颜色", "字体大小", "字体颜色"};
    Writer::Insert insert(w, "insert into Interface(NUMBEREX, USER_ID, Style, SEQUENCE, CHOICE, EXPLAIN) "
                             "values(?, 1, 0, ?, ?, ?)");
    QStringList elements;
    for (const LayoutEntry &entry : content.layout) {
        if (!elements.contains(entry.element))
            elements << entry.element;
        const int index = int(elements.indexOf(entry.element));
        insert << int(entry.value) << index * 20 + entry.property
               << entry.element + QString::fromUtf8(propertyNames[entry.property - 1]) << entry.element;
        if (!insert.run())
            return false;
    }
    return true;
}

bool WriteContent(Writer &w, const QByteArray &schema, const Content &content)
{
    // The file is private until renamed into place, so durability is left to the end.
    return w.exec("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF;") && w.exec(schema)
        && w.exec("BEGIN") && WriteFixedRows(w) && WriteBooks(w, content) && WriteWords(w, content)
        && WriteExamples(w, content) && WriteNotes(w, content) && WriteIrregulars(w, content)
        && WriteTips(w, content) && WriteLayout(w, content) && w.exec("COMMIT");
}

} // namespace

bool WriteStore(const QString &schemaPath, const Content &content, const QString &outPath, QString &error)
{
    QFile schemaFile(schemaPath);
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot open: %2").arg(schemaPath, schemaFile.errorString());
        return false;
    }
    const QByteArray schema = schemaFile.readAll();

    const QFileInfo target(outPath);
    if (!QDir().mkpath(target.absolutePath())) {
        error = QStringLiteral("cannot create the folder of %1").arg(outPath);
        return false;
    }
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                             + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        error = QStringLiteral("cannot create a temporary file beside %1: %2").arg(outPath, temporary.errorString());
        return false;
    }
    temporary.close();
    // A temporary file is private (0600); the store is an ordinary shared file.
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                             | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const QString temporaryPath = temporary.fileName();

    {
        sqlite3 *raw = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(temporaryPath).constData(), &raw,
                                       SQLITE_OPEN_READWRITE, nullptr);
        Database db(raw);
        if (rc != SQLITE_OK) {
            error = QStringLiteral("cannot open %1: %2").arg(temporaryPath, QString::fromUtf8(sqlite3_errmsg(raw)));
            return false;
        }
        Writer writer(db.get());
        if (!WriteContent(writer, schema, content)) {
            error = QStringLiteral("writing the store failed: %1").arg(writer.error());
            return false;
        }
        if (sqlite3_close(db.release()) != SQLITE_OK) {
            error = QStringLiteral("closing the store failed");
            return false;
        }
    }

    std::error_code code;
    std::filesystem::rename(QFile::encodeName(temporaryPath).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), code);
    if (code) {
        error = QStringLiteral("cannot move the store into place at %1: %2")
                    .arg(outPath, QString::fromStdString(code.message()));
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}
