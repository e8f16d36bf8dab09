#include "support/GeneratedStore.h"

#include "platform/SqliteDatabase.h"
#include "server/ServerContent.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace {

QString randomWord(QRandomGenerator &random)
{
    QString word;
    const int length = 4 + int(random.bounded(7));
    for (int i = 0; i < length; ++i)
        word += QChar(u'a' + random.bounded(26));
    return word;
}

void bindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

QString SchemaFile()
{
    QStringList roots;
    if (qEnvironmentVariableIsSet("VOCAMO_SOURCE_DIR"))
        roots << qEnvironmentVariable("VOCAMO_SOURCE_DIR");
    for (QDir dir(QCoreApplication::applicationDirPath());;) {
        roots << dir.path();
        if (!dir.cdUp())
            break;
    }
    for (const QString &root : roots) {
        const QString path = root + QStringLiteral("/data/schema.sql");
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool BuildGeneratedStore(const QString &path, int wordCount, int dueCount, quint32 seed)
{
    QFile schema(SchemaFile());
    if (!schema.open(QIODevice::ReadOnly)) {
        std::printf("data/schema.sql not found (set VOCAMO_SOURCE_DIR)\n");
        return false;
    }
    SqliteDatabase db;
    if (!db.create(path) || !db.begin() || !db.execScript(QString::fromUtf8(schema.readAll()))
        || !db.exec(QStringLiteral("insert into Feature values (2, 0, 'bench')"))
        || !db.exec(QStringLiteral("insert into USERS (USER_ID, USER_NAME) values (1, 'bench')"))) {
        std::printf("schema failed: %s\n", qPrintable(db.lastError()));
        return false;
    }
    sqlite3_stmt *word = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "insert into TotalWords(WORD_ID, WORD_NAME, WORD_SYMBOL, WORD_NEWSYMBOL, "
                       "WORD_TRANS, WORD_EXPLAIN, WORD_SYNONYMY, WORD_ANTONYM, WORD_ANALOPY, "
                       "WORD_AIDS, WORD_GREANTONYM, WORD_AFFIX, WORD_USAGE, WORD_EXAMPLE, "
                       "WORD_CLASS, Example_Exist) values (?1, ?2, ?3, ?3, ?4, ?5, ?6, ?6, ?7, "
                       "?7, ?7, ?7, ?8, ?9, ?10, ?11)",
                       -1, &word, nullptr);
    QRandomGenerator random(seed);
    for (int id = 1; id <= wordCount; ++id) {
        const QString name = randomWord(random);
        sqlite3_bind_int(word, 1, id);
        bindText(word, 2, name);
        bindText(word, 3, QStringLiteral("/%1/").arg(name));
        bindText(word, 4, QStringLiteral("n. 词义%1；释义\r\nv. 第二个意思").arg(id));
        bindText(word, 5, QStringLiteral("A longer explanation of the word %1.").arg(name));
        bindText(word, 6, QStringLiteral("0A000000000000003F2A9C4E1B7D6E5F0A1B2C3D4E5F6071"));
        bindText(word, 7, randomWord(random) + QStringLiteral(", ") + randomWord(random));
        sqlite3_bind_int(word, 8, int(random.bounded(5)));
        bindText(word, 9, QStringLiteral("This is an example sentence with %1 in it.").arg(name));
        bindText(word, 10, QStringLiteral("这是一个含有这个词的例句。"));
        sqlite3_bind_int(word, 11, id % 3 == 0);
        if (sqlite3_step(word) != SQLITE_DONE)
            return false;
        sqlite3_reset(word);
    }
    sqlite3_finalize(word);
    sqlite3_stmt *due = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "insert into Vocamo(Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, "
                       "Vocamo_Ability, Vocamo_Count, Vocamo_Round, Vocamo_Time, Vocamo_Content) "
                       "values (0, 12, ?1, ?2, ?3, 1, ?4, ?5)",
                       -1, &due, nullptr);
    for (int i = 0; i < dueCount; ++i) {
        sqlite3_bind_int(due, 1, 1 + int(random.bounded(wordCount)));
        sqlite3_bind_int(due, 2, int(random.bounded(1000)));
        sqlite3_bind_int(due, 3, int(random.bounded(20)));
        sqlite3_bind_double(due, 4, 45000.0 + random.bounded(1000.0));
        if (i % 4 == 0)
            sqlite3_bind_text(due, 5, "自己的词义", -1, SQLITE_STATIC);
        else
            sqlite3_bind_null(due, 5);
        if (sqlite3_step(due) != SQLITE_DONE)
            return false;
        sqlite3_reset(due);
    }
    sqlite3_finalize(due);
    return db.commit();
}

bool BuildStudyContent(const QString &dir, int storeWords, QString &contentPath)
{
    const QString schema = SchemaFile();
    if (schema.isEmpty())
        return false;
    const QString builder = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/vocamo-build-store");
    contentPath = dir + QStringLiteral("/VocamoServer.content");
    QProcess build;
    build.start(builder, {QStringLiteral("--schema"), schema, QStringLiteral("--data"),
                          QFileInfo(schema).absolutePath(), QStringLiteral("--out"),
                          dir + QStringLiteral("/Vocamo.mdb"), QStringLiteral("--words"),
                          QString::number(storeWords), QStringLiteral("--server-content"), contentPath});
    if (!build.waitForFinished(120000) || build.exitStatus() != QProcess::NormalExit || build.exitCode() != 0) {
        std::printf("%s failed: %s\n", qPrintable(builder), build.readAllStandardError().constData());
        return false;
    }
    TServerContent content;
    QString error;
    if (!LoadServerContent(contentPath, content, &error) || content.books.isEmpty())
        return false;
    QList<int> &first = content.books.first().words;
    QList<int> ids = content.words.keys();
    std::sort(ids.begin(), ids.end());
    for (const int id : ids) {
        if (!first.contains(id))
            first.append(id);
    }
    return WriteServerContent(contentPath, content, &error);
}
