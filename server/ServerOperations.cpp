#include "ServerOperations.h"

#include "AccountStore.h"
#include "ServerContent.h"
#include "platform/DateTime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <cmath>

namespace {

// The settings of an account: the UserInfo members the program reads, with the values a
// new account starts with.
const QList<QPair<QString, int>> &SettingDefaults()
{
    static const QList<QPair<QString, int>> defaults = {
        {QStringLiteral("User_Examining"), 0},          {QStringLiteral("User_IsUpperCase"), 0},
        {QStringLiteral("User_UseDeskTop"), 1},         {QStringLiteral("User_ShowCenter"), 1},
        {QStringLiteral("User_ShowToolBar"), 1},        {QStringLiteral("User_ShowTipPanel"), 1},
        {QStringLiteral("User_Pronounce"), 1},          {QStringLiteral("User_AlwaysShowTrans"), 1},
        {QStringLiteral("User_ShowExampleTrans"), 1},   {QStringLiteral("User_GeneralFontSize"), 16},
        {QStringLiteral("User_FirstLineWidth"), 175},   {QStringLiteral("User_DeskTopColor"), 0},
        {QStringLiteral("User_InitialVocamoState"), 1}, {QStringLiteral("User_BookColor"), 10987348},
        {QStringLiteral("User_QuestionAnswerColor"), 33023}, {QStringLiteral("User_QuestionKeyColor"), 888888},
        {QStringLiteral("User_FormWidth"), 990},        {QStringLiteral("User_FormHeight"), 818},
        {QStringLiteral("User_Speed"), 12},             {QStringLiteral("User_Addition"), 56},
        {QStringLiteral("User_FirstValue"), 8},         {QStringLiteral("User_SecondValue"), 1},
        {QStringLiteral("User_VocamoContent"), 0},
    };
    return defaults;
}

bool IsSettingKey(const QString &key)
{
    const auto &defaults = SettingDefaults();
    return std::any_of(defaults.begin(), defaults.end(), [&](const auto &entry) { return entry.first == key; });
}

int SettingDefault(const QString &key)
{
    for (const auto &[name, value] : SettingDefaults()) {
        if (name == key)
            return value;
    }
    return 0;
}

// The account books behind a study track's due-word category: the list tracks (0) use the
// word books (1); spelling and dictation use their own (31, 32).
int BookCategory(int category)
{
    return category == 0 ? 1 : category;
}

QJsonObject Answer(int code, const QJsonValue &data = QJsonObject())
{
    return QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("data"), data}};
}

QJsonObject Failure(int code, const QString &message)
{
    return QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message},
                       {QStringLiteral("data"), QJsonObject()}};
}

const QString kParams = QStringLiteral("params");

} // namespace

// One parsed request envelope with typed access to its members.
struct TServerOperations::Request
{
    QJsonObject object;
    int operateType = 0;
    int userId = 0;

    bool hasInteger(const QString &name) const
    {
        const QJsonValue value = object.value(name);
        return value.isDouble() && std::isfinite(value.toDouble()) && value.toDouble() == std::trunc(value.toDouble())
            && std::fabs(value.toDouble()) < 9.2e18;
    }
    bool hasText(const QString &name) const { return object.value(name).isString(); }
    // Integers clamp to the 32-bit range the program sends.
    int integer(const QString &name) const
    {
        return int(std::clamp<qint64>(object.value(name).toInteger(), INT_MIN, INT_MAX));
    }
    QString text(const QString &name) const { return object.value(name).toString(); }
    QJsonArray params() const { return object.value(kParams).toArray(); }
};

namespace {

struct Requirement
{
    int code;
    QStringList integers;
    QStringList texts;
    bool batch = false;
};

const Requirement *RequirementOf(int code)
{
    static const QList<Requirement> table = {
        {22, {}, {QStringLiteral("strBookID")}},
        {2, {"BookID", "WordID", "VocamoAbility", "VocamoCount", "WordCategoryID"}, {}},
        {26, {}, {}, true},
        {28, {"CategoryID"}, {}},
        {24, {"CategoryID"}, {"strBookID"}},
        {27, {}, {"strBookID"}},
        {6, {"CategoryID"}, {}},
        {8, {"CategoryID"}, {"strBookID"}},
        {7, {"CategoryID"}, {"strBookID"}},
        {12, {"CategoryID", "BookID", "BookIndex"}, {}},
        {31, {"WordID", "VocamoAbility", "VocamoCount"}, {}},
        {36, {"WordID", "VocamoAbility", "VocamoCount"}, {}},
        {42, {"WordID", "VocamoAbility"}, {}},
        {40, {"WordID"}, {"strBookID", "strDesc"}},
        {41, {}, {"strBookID"}},
        {23, {}, {"strBookID", "strDesc"}},
        {29, {"CategoryID"}, {}},
        {33, {}, {"strBookID"}},
        {39, {"WordID"}, {}},
        {32, {}, {"strBookID"}},
        {35, {}, {"strBookID"}},
        {30, {}, {"strBookID"}},
        {38, {}, {"strBookID"}},
        {34, {}, {}, true},
        {37, {}, {}, true},
    };
    for (const Requirement &entry : table) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

// The first missing or mistyped member of `object`, empty when all are there.
QString MissingMember(const TServerOperations::Request &request, const Requirement &requirement, bool needsUser)
{
    if (needsUser && !request.hasInteger(QStringLiteral("UserID")))
        return QStringLiteral("UserID");
    for (const QString &name : requirement.integers) {
        if (!request.hasInteger(name))
            return name;
    }
    for (const QString &name : requirement.texts) {
        if (!request.hasText(name))
            return name;
    }
    return {};
}

} // namespace

TServerOperations::TServerOperations(TAccountStore &store, const TServerContent &content, bool openRegistration,
                                     int dueBatch)
    : m_store(store), m_content(content), m_openRegistration(openRegistration), m_dueBatch(std::max(1, dueBatch))
{
}

QByteArray TServerOperations::errorAnswer(int code, const QString &message)
{
    return QJsonDocument(Failure(code, message)).toJson(QJsonDocument::Compact);
}

qint64 TServerOperations::timeValue(double dayNumber)
{
    return qint64(std::llround((dayNumber - 25569.0) * 8640.0));
}

QList<QPair<int, int>> TServerOperations::firstBooks() const
{
    if (m_content.books.isEmpty())
        return {};
    const int book = m_content.books.first().id;
    return {{1, book}, {31, book}, {32, book}};
}

QByteArray TServerOperations::handle(const QString &operation, const QByteArray &body)
{
    if (body.size() > kMaxBody)
        return errorAnswer(ServerCode::TooLarge, QStringLiteral("the request is larger than 1 MiB"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return errorAnswer(ServerCode::Malformed, QStringLiteral("the request is not a JSON object"));

    Request request;
    request.object = document.object();
    if (!request.hasInteger(QStringLiteral("OperateType")))
        return errorAnswer(ServerCode::MissingMember, QStringLiteral("OperateType is missing"));
    request.operateType = request.integer(QStringLiteral("OperateType"));
    request.userId = request.integer(QStringLiteral("UserID"));

    QJsonObject answer;
    if (operation == QLatin1String("KX5QueryVocamo2"))
        answer = dispatchQuery(request);
    else if (operation == QLatin1String("KX5ConfigVocamo2"))
        answer = dispatchConfig(request);
    else
        answer = Failure(ServerCode::UnknownOperation, QStringLiteral("unknown operation %1").arg(operation));
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

QJsonObject TServerOperations::dispatchQuery(const Request &plain)
{
    const Requirement *requirement = RequirementOf(plain.operateType);
    if (!requirement)
        return Failure(ServerCode::UnknownOperation, QStringLiteral("unknown operation code %1").arg(plain.operateType));

    Request request = plain;
    if (requirement->batch) {
        // A batch carries the account in its items; all items must name the same one.
        if (!request.object.value(kParams).isArray())
            return Failure(ServerCode::MissingMember, QStringLiteral("params is missing"));
        const QJsonArray items = request.params();
        for (const QJsonValue &item : items) {
            Request inner{item.toObject(), 0, 0};
            if (!item.isObject() || !inner.hasInteger(QStringLiteral("UserID")))
                return Failure(ServerCode::MissingMember, QStringLiteral("a batch item has no UserID"));
            const int userId = inner.integer(QStringLiteral("UserID"));
            if (request.userId != 0 && userId != request.userId)
                return Failure(ServerCode::MissingMember, QStringLiteral("batch items name different accounts"));
            request.userId = userId;
        }
        if (items.isEmpty())
            return Answer(ServerCode::Ok);
    } else {
        const QString missing = MissingMember(request, *requirement, plain.operateType != 22);
        if (!missing.isEmpty())
            return Failure(ServerCode::MissingMember, QStringLiteral("%1 is missing or not of its type").arg(missing));
    }
    if (plain.operateType != 22 && !m_store.findById(request.userId))
        return Failure(ServerCode::UnknownUser, QStringLiteral("unknown account %1").arg(request.userId));

    switch (plain.operateType) {
    case 22: return signIn(request);
    case 2: return markWords(request, false);
    case 26: return markWords(request, true);
    case 28: return dueWords(request);
    case 24: return statistics(request);
    case 27: return accountBooks(request);
    case 6: return categoryBooks(request);
    case 8:
    case 7:
    case 12: return changeBook(request, plain.operateType);
    case 31:
    case 36:
    case 42: return itemState(request, plain.operateType);
    case 40: return saveComposition(request);
    case 41: return deleteComposition(request);
    case 39: return compositions(request);
    case 23: return addNote(request);
    case 37: return saveSettings(request);
    case 34: return answers(request);
    case 29:
    case 35: return Answer(ServerCode::Ok, QJsonArray());
    case 30:
    case 32:
    case 38:
        return Answer(ServerCode::Ok, QJsonObject{{QStringLiteral("Acquainted"), QJsonArray()},
                                                  {QStringLiteral("Strange"), QJsonArray()}});
    case 33:
        return Answer(ServerCode::Ok, QJsonObject{{QStringLiteral("Material"), QJsonArray()},
                                                  {QStringLiteral("Question"), QJsonArray()},
                                                  {QStringLiteral("Choice"), QJsonArray()},
                                                  {QStringLiteral("QuestionInfo"), QJsonArray()}});
    default: return Failure(ServerCode::UnknownOperation, QStringLiteral("unknown operation code"));
    }
}

QJsonObject TServerOperations::dispatchConfig(const Request &request)
{
    if (request.operateType != 1 && request.operateType != 8)
        return Failure(ServerCode::UnknownOperation, QStringLiteral("unknown field update %1").arg(request.operateType));
    for (const QString &name : {QStringLiteral("UserID"), QStringLiteral("FieldValue")}) {
        if (!request.hasInteger(name))
            return Failure(ServerCode::MissingMember, QStringLiteral("%1 is missing").arg(name));
    }
    if (!request.hasText(QStringLiteral("FieldName")))
        return Failure(ServerCode::MissingMember, QStringLiteral("FieldName is missing"));
    if (!m_store.findById(request.userId))
        return Failure(ServerCode::UnknownUser, QStringLiteral("unknown account %1").arg(request.userId));
    const QString name = request.text(QStringLiteral("FieldName"));
    const int value = request.integer(QStringLiteral("FieldValue"));
    const bool stored = request.operateType == 1 && IsSettingKey(name)
        ? m_store.setSettings(request.userId, {{name, value}})
        : m_store.setField(request.userId, request.operateType, name, value);
    return stored ? Answer(ServerCode::Ok) : Failure(ServerCode::StoreFailed, QStringLiteral("not stored"));
}

QJsonObject TServerOperations::userInfo(int userId)
{
    const auto account = m_store.findById(userId);
    QJsonObject info{{QStringLiteral("User_ID"), userId},
                     {QStringLiteral("User_Phone"), account ? account->login : QString()},
                     {QStringLiteral("User_PassWord"), account ? account->secret : QString()}};
    const QHash<QString, int> stored = m_store.settings(userId);
    for (const auto &[key, value] : SettingDefaults())
        info.insert(key, stored.value(key, value));
    return info;
}

int TServerOperations::speedOf(int userId)
{
    const QString key = QStringLiteral("User_Speed");
    return std::max(1, m_store.settings(userId).value(key, SettingDefault(key)));
}

QJsonObject TServerOperations::signIn(const Request &request)
{
    // "account##password": the account never holds "##", the password may.
    const QString text = request.text(QStringLiteral("strBookID"));
    const qsizetype split = text.indexOf(QLatin1String("##"));
    const auto refused = [] {
        return QJsonObject{{QStringLiteral("code"), ServerCode::SignInRefused},
                           {QStringLiteral("data"), QJsonObject{{QStringLiteral("errCode"), 4}}}};
    };
    if (split <= 0)
        return refused();
    const QString login = text.left(split);
    const QString password = text.mid(split + 2);

    int userId = 0;
    if (const auto account = m_store.findByLogin(login)) {
        if (!m_store.checkPassword(account->id, password))
            return refused();
        userId = account->id;
    } else {
        if (!m_openRegistration || password.isEmpty())
            return refused();
        userId = m_store.addAccount(QString(), login, password, firstBooks());
        if (userId == 0)
            return Failure(ServerCode::StoreFailed, QStringLiteral("the account could not be created"));
    }
    return Answer(ServerCode::Ok, QJsonObject{{QStringLiteral("errCode"), 0},
                                              {QStringLiteral("UserInfo"), userInfo(userId)}});
}

QJsonObject TServerOperations::markWords(const Request &request, bool batch)
{
    QList<QJsonObject> items;
    if (batch) {
        for (const QJsonValue &item : request.params())
            items.append(item.toObject());
    } else {
        items.append(request.object);
    }
    static const Requirement markMembers{2, {"BookID", "WordID", "VocamoAbility", "VocamoCount", "WordCategoryID"}, {}};
    QList<TAccountStore::Mark> marks;
    for (const QJsonObject &object : items) {
        const Request item{object, 0, 0};
        const QString missing = MissingMember(item, markMembers, false);
        if (!missing.isEmpty())
            return Failure(ServerCode::MissingMember, QStringLiteral("%1 is missing or not of its type").arg(missing));
        TAccountStore::Mark mark;
        mark.category = item.integer(QStringLiteral("WordCategoryID"));
        mark.bookId = item.integer(QStringLiteral("BookID"));
        mark.wordId = item.integer(QStringLiteral("WordID"));
        mark.ability = std::max(0, item.integer(QStringLiteral("VocamoAbility")));
        // The program sends the new count (its count + 1).
        mark.count = std::max(0, item.integer(QStringLiteral("VocamoCount")));
        mark.round = item.hasInteger(QStringLiteral("VocamoRound")) ? item.integer(QStringLiteral("VocamoRound")) : 0;
        marks.append(mark);
    }
    if (!m_store.storeMarks(request.userId, marks, nowDayNumber()))
        return Failure(ServerCode::StoreFailed, QStringLiteral("the marks were not stored"));
    return Answer(ServerCode::Ok);
}

namespace {

struct DueWord
{
    int bookId = 0, wordId = 0, ability = 0, count = 0, round = 0;
    double time = 0, due = 0;
};

} // namespace

QJsonObject TServerOperations::dueWords(const Request &request)
{
    const int category = request.integer(QStringLiteral("CategoryID"));
    const double now = nowDayNumber();
    const double period = speedOf(request.userId) / 24.0;

    QHash<QPair<int, int>, TAccountStore::MemoRow> memo;
    for (const auto &row : m_store.memo(request.userId, category))
        memo.insert({row.bookId, row.wordId}, row);

    QList<DueWord> overdue, fresh;
    for (const auto &chosen : m_store.books(request.userId, {BookCategory(category)})) {
        const TContentBook *book = m_content.book(chosen.bookId);
        if (!book)
            continue;
        for (const int wordId : book->words) {
            const auto found = memo.constFind({book->id, wordId});
            if (found == memo.cend()) {
                if (fresh.size() < m_dueBatch)
                    fresh.append(DueWord{book->id, wordId, 0, 0, 0, 0, 0});
                continue;
            }
            const double due = found->time + found->ability * period;
            if (due <= now)
                overdue.append(DueWord{book->id, wordId, found->ability, found->count, found->round, found->time, due});
        }
    }
    std::stable_sort(overdue.begin(), overdue.end(), [](const DueWord &a, const DueWord &b) { return a.due < b.due; });

    QJsonArray data;
    const auto add = [&](const DueWord &entry) {
        const TContentWord word = m_content.words.value(entry.wordId);
        const auto orNull = [](const QString &text) { return text.isEmpty() ? QStringLiteral("null") : text; };
        data.append(QJsonObject{
            {QStringLiteral("Word_Type"), 3},
            {QStringLiteral("Category_ID"), category},
            {QStringLiteral("Book_ID"), entry.bookId},
            {QStringLiteral("Word_ID"), entry.wordId},
            {QStringLiteral("Vocamo_Ability"), entry.ability},
            {QStringLiteral("Vocamo_Count"), entry.count},
            {QStringLiteral("Vocamo_Round"), entry.round},
            {QStringLiteral("Vocamo_Time"), entry.count == 0 && entry.time == 0 ? 0 : timeValue(entry.time)},
            {QStringLiteral("Word_Content"), word.meaning},
            {QStringLiteral("Word_Symbol"), orNull(word.symbol)},
            {QStringLiteral("Word_Example"), orNull(word.example)},
            {QStringLiteral("Word_Translate"), orNull(word.translation)},
        });
    };
    for (const DueWord &entry : std::as_const(overdue)) {
        if (data.size() >= m_dueBatch)
            break;
        add(entry);
    }
    for (const DueWord &entry : std::as_const(fresh)) {
        if (data.size() >= m_dueBatch)
            break;
        add(entry);
    }
    return Answer(ServerCode::Ok, data);
}

QJsonObject TServerOperations::statistics(const Request &request)
{
    const auto account = m_store.findById(request.userId);
    const QString text = request.text(QStringLiteral("strBookID"));
    const QString separator = QStringLiteral("&#@#&");
    const qsizetype split = text.lastIndexOf(separator);
    if (!account || split < 0 || text.mid(split + separator.size()) != account->secret)
        return Failure(ServerCode::SignInRefused, QStringLiteral("the account secret does not match"));

    const int category = request.integer(QStringLiteral("CategoryID"));
    const double now = nowDayNumber();
    const double today = std::floor(now);
    const double period = speedOf(request.userId) / 24.0;
    const QString additionKey = QStringLiteral("User_Addition");
    const int addition = std::max(1, m_store.settings(request.userId).value(additionKey, SettingDefault(additionKey)));

    int total = 0, markedToday = 0, newToday = 0, firm = 0;
    QHash<QPair<int, int>, double> dueAt;
    for (const auto &row : m_store.memo(request.userId, category)) {
        total += row.count > 0 ? 1 : 0;
        const bool isToday = std::floor(row.time) == today;
        markedToday += isToday ? 1 : 0;
        newToday += isToday && row.count == 1 ? 1 : 0;
        firm += row.ability >= addition ? 1 : 0;
        dueAt.insert({row.bookId, row.wordId}, row.time + row.ability * period);
    }
    int pending = 0;
    for (const auto &chosen : m_store.books(request.userId, {BookCategory(category)})) {
        if (const TContentBook *book = m_content.book(chosen.bookId)) {
            for (const int wordId : book->words) {
                const auto found = dueAt.constFind({book->id, wordId});
                pending += found == dueAt.cend() || *found <= now ? 1 : 0;
            }
        }
    }
    return Answer(ServerCode::Ok, QJsonObject{{QStringLiteral("StatArray"),
                                               QJsonArray{total, pending, markedToday, newToday, firm}}});
}

QJsonObject TServerOperations::accountBooks(const Request &request)
{
    QList<int> categories;
    for (const QString &part : request.text(QStringLiteral("strBookID")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int category = part.trimmed().toInt(&ok);
        if (ok)
            categories.append(category);
    }
    QJsonArray data;
    for (const auto &chosen : m_store.books(request.userId, categories)) {
        const TContentBook *book = m_content.book(chosen.bookId);
        data.append(QJsonObject{{QStringLiteral("Book_ID"), chosen.bookId},
                                {QStringLiteral("Book_Desc"), book ? book->name : QString()},
                                {QStringLiteral("Category_ID"), chosen.category},
                                {QStringLiteral("Book_Index"), chosen.bookIndex}});
    }
    return Answer(ServerCode::Ok, data);
}

QJsonObject TServerOperations::categoryBooks(const Request &request)
{
    const int category = request.integer(QStringLiteral("CategoryID"));
    QJsonArray data;
    // The content's word books serve the word list, spelling and dictation tracks.
    if (category == 0 || category == 1 || category == 31 || category == 32) {
        for (const TContentBook &book : m_content.books) {
            data.append(QJsonObject{{QStringLiteral("Book_ID"), book.id},
                                    {QStringLiteral("Book_Desc"), book.name},
                                    {QStringLiteral("Category_ID"), BookCategory(category)},
                                    {QStringLiteral("Book_Count"), int(book.words.size())}});
        }
    }
    return Answer(ServerCode::Ok, data);
}

QJsonObject TServerOperations::changeBook(const Request &request, int code)
{
    const int category = BookCategory(request.integer(QStringLiteral("CategoryID")));
    int bookId = 0;
    if (code == 12) {
        bookId = request.integer(QStringLiteral("BookID"));
    } else {
        // The book is named by its id, or failing that by its name.
        const QString text = request.text(QStringLiteral("strBookID")).trimmed();
        bool numeric = false;
        bookId = text.toInt(&numeric);
        if (!numeric) {
            for (const TContentBook &book : m_content.books) {
                if (book.name == text)
                    bookId = book.id;
            }
        }
    }
    if (!m_content.book(bookId))
        return Failure(ServerCode::NotFound, QStringLiteral("unknown book"));
    bool done = false;
    if (code == 8)
        done = m_store.addBook(request.userId, category, bookId);
    else if (code == 7)
        done = m_store.removeBook(request.userId, category, bookId);
    else
        done = m_store.setBookIndex(request.userId, category, bookId, request.integer(QStringLiteral("BookIndex")));
    return done ? Answer(ServerCode::Ok) : Failure(ServerCode::NotFound, QStringLiteral("the book is not chosen"));
}

QJsonObject TServerOperations::itemState(const Request &request, int kind)
{
    int value = request.integer(QStringLiteral("VocamoAbility"));
    if (kind != 31)
        value = std::clamp(value, 0, 2);   // hardness is at most 2
    const int day = request.hasInteger(QStringLiteral("VocamoCount")) ? request.integer(QStringLiteral("VocamoCount")) : 0;
    if (!m_store.setItemState(request.userId, kind, request.integer(QStringLiteral("WordID")), value, day))
        return Failure(ServerCode::StoreFailed, QStringLiteral("not stored"));
    return Answer(ServerCode::Ok);
}

QJsonObject TServerOperations::addNote(const Request &request)
{
    if (!m_store.addNote(request.userId, request.text(QStringLiteral("strBookID")), request.text(QStringLiteral("strDesc"))))
        return Failure(ServerCode::StoreFailed, QStringLiteral("not stored"));
    return Answer(ServerCode::Ok, QJsonObject{{QStringLiteral("Success"), 0}});
}

QJsonObject TServerOperations::saveComposition(const Request &request)
{
    const QByteArray hex = request.text(QStringLiteral("strBookID")).toLatin1();
    const bool isHex = hex.size() % 2 == 0
        && std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!isHex)
        return Failure(ServerCode::MissingMember, QStringLiteral("strBookID is not hexadecimal text"));
    if (!m_store.saveComposition(request.userId, request.integer(QStringLiteral("WordID")),
                                 request.text(QStringLiteral("strDesc")), QByteArray::fromHex(hex), nowDayNumber()))
        return Failure(ServerCode::StoreFailed, QStringLiteral("not stored"));
    return Answer(ServerCode::Ok);
}

QJsonObject TServerOperations::deleteComposition(const Request &request)
{
    if (!m_store.deleteComposition(request.userId, request.text(QStringLiteral("strBookID"))))
        return Failure(ServerCode::StoreFailed, QStringLiteral("not deleted"));
    return Answer(ServerCode::Ok);
}

QJsonObject TServerOperations::compositions(const Request &request)
{
    QJsonArray data;
    int sequence = 0;
    for (const auto &entry : m_store.compositions(request.userId, request.integer(QStringLiteral("WordID")))) {
        // The content is rich text, so normally plain ASCII; other bytes go back as hexadecimal text.
        const QString text = QString::fromUtf8(entry.content);
        const QString content = text.toUtf8() == entry.content ? text : QString::fromLatin1(entry.content.toHex());
        data.append(QJsonObject{{QStringLiteral("ID"), entry.id},
                                {QStringLiteral("ArticleID"), entry.articleId},
                                {QStringLiteral("UserID"), entry.userId},
                                {QStringLiteral("Type"), 0},
                                {QStringLiteral("Sequence"), ++sequence},
                                {QStringLiteral("WriteDate"), timeValue(entry.writeDate)},
                                {QStringLiteral("Hashcode"), entry.hash},
                                {QStringLiteral("WriteContent"), content}});
    }
    return Answer(ServerCode::Ok, data);
}

QJsonObject TServerOperations::saveSettings(const Request &request)
{
    QList<QPair<QString, int>> values;
    for (const QJsonValue &item : request.params()) {
        const Request entry{item.toObject(), 0, 0};
        if (!entry.hasText(QStringLiteral("strBookID")) || !entry.hasInteger(QStringLiteral("VocamoAbility")))
            return Failure(ServerCode::MissingMember, QStringLiteral("a setting needs strBookID and VocamoAbility"));
        const QString key = entry.text(QStringLiteral("strBookID"));
        if (!IsSettingKey(key))
            return Failure(ServerCode::NotFound, QStringLiteral("unknown setting %1").arg(key));
        values.append({key, entry.integer(QStringLiteral("VocamoAbility"))});
    }
    if (!m_store.setSettings(request.userId, values))
        return Failure(ServerCode::StoreFailed, QStringLiteral("not stored"));
    return Answer(ServerCode::Ok);
}

QJsonObject TServerOperations::answers(const Request &request)
{
    const QByteArray json = QJsonDocument(request.params()).toJson(QJsonDocument::Compact);
    if (!m_store.addAnswers(request.userId, json))
        return Failure(ServerCode::StoreFailed, QStringLiteral("not stored"));
    return Answer(ServerCode::Ok);
}
