#include "AccountStore.h"

#include <QDir>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {

const char *const kSchema =
    "create table if not exists accounts(user_id integer primary key, login text not null unique,"
    " zone text not null, phone text not null, salt blob not null, iterations integer not null,"
    " hash blob not null, secret text not null);"
    "create table if not exists settings(user_id integer not null, key text not null, value integer not null,"
    " primary key(user_id, key));"
    "create table if not exists account_books(user_id integer not null, category integer not null,"
    " book_id integer not null, book_index integer not null default 0, primary key(user_id, category, book_id));"
    "create table if not exists memo(user_id integer not null, category integer not null, book_id integer not null,"
    " word_id integer not null, ability integer not null, count integer not null, round integer not null,"
    " time real not null, primary key(user_id, category, book_id, word_id));"
    "create table if not exists notes(note_id integer primary key, user_id integer not null, title text,"
    " body text, created real);"
    "create table if not exists item_states(user_id integer not null, kind integer not null,"
    " item_id integer not null, value integer not null, day integer not null,"
    " primary key(user_id, kind, item_id));"
    "create table if not exists fields(user_id integer not null, code integer not null, name text not null,"
    " value integer not null, primary key(user_id, code, name));"
    "create table if not exists answers(answer_id integer primary key, user_id integer not null, body text);"
    "create table if not exists compositions(composition_id integer primary key, user_id integer not null,"
    " article_id integer not null, hash text not null, content blob, write_date real);";

constexpr int kIterations = 60000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

QByteArray RandomBytes(int count)
{
    QByteArray bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(bytes.data()), count) != 1)
        return {};
    return bytes;
}

QByteArray Pbkdf2(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray secret = password.toUtf8();
    QByteArray out(kHashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()), iterations,
                          EVP_sha256(), kHashBytes, reinterpret_cast<unsigned char *>(out.data())) != 1)
        return {};
    return out;
}

} // namespace

bool TAccountStore::open(const QString &dataDir, QString *error)
{
    std::lock_guard lock(m_mutex);
    if (!QDir().mkpath(dataDir)) {
        if (error)
            *error = QStringLiteral("cannot create the data folder %1").arg(dataDir);
        return false;
    }
    const QString path = QDir(dataDir).filePath(QStringLiteral("VocamoServer.db"));
    m_db.clearError();
    if (!m_db.open(path, true) || !m_db.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;")
        || !m_db.exec(kSchema)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, m_db.error());
        m_db.close();
        return false;
    }
    return true;
}

bool TAccountStore::isOpen() const
{
    return m_db.isOpen();
}

bool TAccountStore::ok()
{
    return m_db.isOpen() && m_db.error().isEmpty();
}

int TAccountStore::addAccount(const QString &zone, const QString &phone, const QString &password,
                              const QList<QPair<int, int>> &firstBooks)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    const QByteArray salt = RandomBytes(kSaltBytes);
    const QByteArray hash = Pbkdf2(password, salt, kIterations);
    const QByteArray secret = RandomBytes(16).toHex();
    if (salt.isEmpty() || hash.isEmpty() || secret.isEmpty() || !m_db.exec("BEGIN IMMEDIATE"))
        return 0;
    auto insert = m_db.prepare("insert into accounts(login, zone, phone, salt, iterations, hash, secret) "
                               "values(?, ?, ?, ?, ?, ?, ?)");
    insert.bind(zone + phone).bind(zone).bind(phone).bind(salt).bind(kIterations).bind(hash)
        .bind(QString::fromLatin1(secret));
    if (!insert.run()) {
        m_db.exec("ROLLBACK");
        return 0;
    }
    const int id = int(m_db.lastInsertId());
    for (const auto &[category, bookId] : firstBooks) {
        auto book = m_db.prepare("insert or ignore into account_books(user_id, category, book_id, book_index) "
                                 "values(?, ?, ?, 0)");
        book.bind(id).bind(category).bind(bookId).run();
    }
    if (!ok() || !m_db.exec("COMMIT")) {
        m_db.exec("ROLLBACK");
        return 0;
    }
    return id;
}

std::optional<TAccountStore::Account> TAccountStore::accountFrom(SqliteHandle::Statement &query)
{
    if (!query.step())
        return std::nullopt;
    return Account{int(query.integer(0)), query.text(1), query.text(2), query.text(3)};
}

std::optional<TAccountStore::Account> TAccountStore::findByLogin(const QString &login)
{
    std::lock_guard lock(m_mutex);
    auto query = m_db.prepare("select user_id, login, phone, secret from accounts where login = ?");
    query.bind(login);
    return accountFrom(query);
}

std::optional<TAccountStore::Account> TAccountStore::findById(int id)
{
    std::lock_guard lock(m_mutex);
    auto query = m_db.prepare("select user_id, login, phone, secret from accounts where user_id = ?");
    query.bind(id);
    return accountFrom(query);
}

std::optional<TAccountStore::Account> TAccountStore::findByName(const QString &name)
{
    std::lock_guard lock(m_mutex);
    if (auto account = findByLogin(name))
        return account;
    auto query = m_db.prepare("select user_id, login, phone, secret from accounts where phone = ?");
    query.bind(name);
    auto account = accountFrom(query);
    if (account && query.step())
        return std::nullopt;   // the phone number alone is ambiguous
    return account;
}

bool TAccountStore::checkPassword(int id, const QString &password)
{
    QByteArray salt, hash;
    int iterations = 0;
    {
        std::lock_guard lock(m_mutex);
        auto query = m_db.prepare("select salt, iterations, hash from accounts where user_id = ?");
        query.bind(id);
        if (!query.step())
            return false;
        salt = query.blob(0);
        iterations = int(query.integer(1));
        hash = query.blob(2);
    }
    // The slow hash runs outside the lock so other requests keep flowing.
    const QByteArray given = Pbkdf2(password, salt, iterations);
    return given.size() == hash.size() && !hash.isEmpty()
        && CRYPTO_memcmp(given.constData(), hash.constData(), size_t(hash.size())) == 0;
}

QHash<QString, int> TAccountStore::settings(int userId)
{
    std::lock_guard lock(m_mutex);
    QHash<QString, int> values;
    auto query = m_db.prepare("select key, value from settings where user_id = ?");
    query.bind(userId);
    while (query.step())
        values.insert(query.text(0), int(query.integer(1)));
    return values;
}

bool TAccountStore::setSettings(int userId, const QList<QPair<QString, int>> &values)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    if (!m_db.exec("BEGIN IMMEDIATE"))
        return false;
    for (const auto &[key, value] : values) {
        auto upsert = m_db.prepare("insert or replace into settings(user_id, key, value) values(?, ?, ?)");
        upsert.bind(userId).bind(key).bind(value).run();
    }
    if (!ok() || !m_db.exec("COMMIT")) {
        m_db.exec("ROLLBACK");
        return false;
    }
    return true;
}

QList<TAccountStore::Book> TAccountStore::books(int userId, const QList<int> &categories)
{
    std::lock_guard lock(m_mutex);
    QList<Book> result;
    auto query = m_db.prepare("select category, book_id, book_index from account_books where user_id = ? "
                              "order by category, rowid");
    query.bind(userId);
    while (query.step()) {
        const Book book{int(query.integer(0)), int(query.integer(1)), int(query.integer(2))};
        if (categories.contains(book.category))
            result.append(book);
    }
    return result;
}

bool TAccountStore::addBook(int userId, int category, int bookId)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto insert = m_db.prepare("insert or ignore into account_books(user_id, category, book_id, book_index) "
                               "values(?, ?, ?, 0)");
    insert.bind(userId).bind(category).bind(bookId);
    return insert.run();
}

bool TAccountStore::removeBook(int userId, int category, int bookId)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto remove = m_db.prepare("delete from account_books where user_id = ? and category = ? and book_id = ?");
    remove.bind(userId).bind(category).bind(bookId);
    return remove.run() && m_db.changes() > 0;
}

bool TAccountStore::setBookIndex(int userId, int category, int bookId, int index)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto update = m_db.prepare("update account_books set book_index = ? where user_id = ? and category = ? "
                               "and book_id = ?");
    update.bind(index).bind(userId).bind(category).bind(bookId);
    return update.run() && m_db.changes() > 0;
}

bool TAccountStore::storeMarks(int userId, const QList<Mark> &marks, double now)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    if (!m_db.exec("BEGIN IMMEDIATE"))
        return false;
    auto upsert = m_db.prepare("insert or replace into memo(user_id, category, book_id, word_id, ability, count, "
                               "round, time) values(?, ?, ?, ?, ?, ?, ?, ?)");
    for (const Mark &mark : marks) {
        upsert.bind(userId).bind(mark.category).bind(mark.bookId).bind(mark.wordId).bind(mark.ability)
            .bind(mark.count).bind(mark.round).bind(now);
        if (!upsert.run())
            break;
    }
    if (!ok() || !m_db.exec("COMMIT")) {
        m_db.exec("ROLLBACK");
        return false;
    }
    return true;
}

QList<TAccountStore::MemoRow> TAccountStore::memo(int userId, int category)
{
    std::lock_guard lock(m_mutex);
    QList<MemoRow> rows;
    auto query = m_db.prepare("select book_id, word_id, ability, count, round, time from memo "
                              "where user_id = ? and category = ?");
    query.bind(userId).bind(category);
    while (query.step()) {
        rows.append(MemoRow{int(query.integer(0)), int(query.integer(1)), int(query.integer(2)),
                            int(query.integer(3)), int(query.integer(4)), query.real(5)});
    }
    return rows;
}

std::optional<TAccountStore::MemoRow> TAccountStore::memoRow(int userId, int category, int bookId, int wordId)
{
    std::lock_guard lock(m_mutex);
    auto query = m_db.prepare("select book_id, word_id, ability, count, round, time from memo "
                              "where user_id = ? and category = ? and book_id = ? and word_id = ?");
    query.bind(userId).bind(category).bind(bookId).bind(wordId);
    if (!query.step())
        return std::nullopt;
    return MemoRow{int(query.integer(0)), int(query.integer(1)), int(query.integer(2)),
                   int(query.integer(3)), int(query.integer(4)), query.real(5)};
}

bool TAccountStore::addNote(int userId, const QString &title, const QString &text)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto insert = m_db.prepare("insert into notes(user_id, title, body) values(?, ?, ?)");
    insert.bind(userId).bind(title).bind(text);
    return insert.run();
}

bool TAccountStore::setItemState(int userId, int kind, int itemId, int value, int day)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto upsert = m_db.prepare("insert or replace into item_states(user_id, kind, item_id, value, day) "
                               "values(?, ?, ?, ?, ?)");
    upsert.bind(userId).bind(kind).bind(itemId).bind(value).bind(day);
    return upsert.run();
}

bool TAccountStore::setField(int userId, int code, const QString &name, qint64 value)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto upsert = m_db.prepare("insert or replace into fields(user_id, code, name, value) values(?, ?, ?, ?)");
    upsert.bind(userId).bind(code).bind(name).bind(value);
    return upsert.run();
}

bool TAccountStore::addAnswers(int userId, const QByteArray &json)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto insert = m_db.prepare("insert into answers(user_id, body) values(?, ?)");
    insert.bind(userId).bind(QString::fromUtf8(json));
    return insert.run();
}

bool TAccountStore::saveComposition(int userId, int articleId, const QString &hash, const QByteArray &content,
                                    double now)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto insert = m_db.prepare("insert into compositions(user_id, article_id, hash, content, write_date) "
                               "values(?, ?, ?, ?, ?)");
    insert.bind(userId).bind(articleId).bind(hash).bind(content).bind(now);
    return insert.run();
}

bool TAccountStore::deleteComposition(int userId, const QString &hash)
{
    std::lock_guard lock(m_mutex);
    m_db.clearError();
    auto remove = m_db.prepare("delete from compositions where user_id = ? and hash = ?");
    remove.bind(userId).bind(hash);
    return remove.run();
}

QList<TAccountStore::Composition> TAccountStore::compositions(int userId, int articleId)
{
    std::lock_guard lock(m_mutex);
    QList<Composition> result;
    auto query = m_db.prepare("select composition_id, article_id, user_id, hash, content, write_date "
                              "from compositions where user_id = ? and article_id = ? order by composition_id");
    query.bind(userId).bind(articleId);
    while (query.step()) {
        result.append(Composition{int(query.integer(0)), int(query.integer(1)), int(query.integer(2)),
                                  query.text(3), query.blob(4), query.real(5)});
    }
    return result;
}
