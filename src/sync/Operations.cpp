#include "sync/Operations.h"

#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "store/Routine.h"
#include "store/Statements.h"
#include "store/Word.h"
#include "sync/JsonFields.h"
#include "sync/Requests.h"

#include <QJsonObject>

#include <algorithm>

namespace {

QString query() { return QLatin1String(QueryOperation); }

int userId()
{
    const TDataCenter *centre = DataCenter();
    return centre ? centre->CurrentUserId() : 0;
}

// The request with only the operation code and the account filled in.
QJsonObject request(int code)
{
    return BuildRequest(code, 0, userId(), 0, 0, 0, 0, 0);
}

void set(QJsonObject &object, const char *key, qint64 value)
{
    object.insert(QLatin1String(key), value);
}

void set(QJsonObject &object, const char *key, const QString &value)
{
    object.insert(QLatin1String(key), value);
}

TAnswer ask(const QJsonObject &envelope)
{
    return PostRequest(query(), envelope);
}

bool succeeded(const TAnswer &answer) { return AnswerCode(answer) == 0; }

std::vector<TKX5Book> readBooks(const TAnswer &answer, bool withCount)
{
    std::vector<TKX5Book> books;
    if (!succeeded(answer))
        return books;
    for (const QJsonValue &item : answer->value(QLatin1String("data")).toArray()) {
        const QJsonObject book = item.toObject();
        TKX5Book entry;
        entry.BookId = JsonInt(book, "Book_ID");
        entry.BookDesc = JsonText(book, "Book_Desc");
        entry.CategoryId = JsonInt(book, "Category_ID");
        if (withCount)
            entry.BookCount = JsonInt(book, "Book_Count");
        else
            entry.BookIndex = JsonInt(book, "Book_Index");
        books.push_back(entry);
    }
    return books;
}

QString withoutQuotes(QString text)
{
    text.remove(QLatin1Char('\''));
    text.remove(QLatin1Char('"'));
    return text;
}

// A text member stored as given, or null when the server sent the text "null".
void storeText(const SqliteField &field, const QJsonObject &item, const char *key, bool null)
{
    if (null)
        field.setNull();
    else
        field.setAsText(JsonText(item, key));
}

} // namespace

void SendPageMarks(TPageWords &page)
{
    TDataCenter *centre = DataCenter();
    if (!centre || page.Count() == 0)
        return;
    centre->DueCount -= page.Count();
    QJsonArray params;
    QStringList deletes;
    for (int i = 0; i < page.Count(); ++i) {
        TWord *word = page.Get(i);
        if (word->Mark == 0)
            word->Mark = page.DefaultMark;
        deletes << QString::asprintf(Statements::DeleteDueWord, word->CategoryId, word->BookId,
                                     word->WordId);
        const int ability = word->NextAbility(word->Mark);
        QJsonObject item = BuildRequest(26, 0, centre->CurrentUserId(), word->BookId, word->WordId,
                                        ability, word->StudyCount + 1, 0);
        set(item, "WordCategoryID", word->CategoryId);
        params.append(item);
    }
    PostInBackground(query(), BatchEnvelope(26, params));
    if (centre->Channel)
        centre->Channel->ExecuteListInTransaction(deletes);
}

bool DownloadDueWords()
{
    TDataCenter *centre = DataCenter();
    if (!centre || !centre->Channel)
        return false;
    TAdoChannel &channel = *centre->Channel;
    channel.ExecuteInTransaction(QLatin1String(Statements::DeleteDueWords));
    centre->DueCount = 0;
    QJsonObject envelope = request(28);
    set(envelope, "CategoryID", centre->StudyCategory());
    const TAnswer answer = ask(envelope);
    if (!succeeded(answer))
        return false;
    SqliteDataset *rows = channel.Query(QLatin1String(Statements::DueWords));
    if (!rows)
        return false;
    const QJsonArray items = answer->value(QLatin1String("data")).toArray();
    SqliteDatabase &database = channel.database();
    if (!database.begin())
        return false;
    int stored = 0;
    for (const QJsonValue &value : items) {
        const QJsonObject item = value.toObject();
        if (JsonInt(item, "Word_Type") != 3)
            continue;
        ++centre->DueCount;
        if (!rows->append())
            continue;
        rows->fieldByName("Vocamo_CategoryID").setAsInteger(JsonInt(item, "Category_ID"));
        rows->fieldByName("Vocamo_BookID").setAsInteger(JsonInt(item, "Book_ID"));
        rows->fieldByName("Vocamo_WordID").setAsInteger(JsonInt(item, "Word_ID"));
        rows->fieldByName("Vocamo_Ability").setAsInteger(JsonInt(item, "Vocamo_Ability"));
        rows->fieldByName("Vocamo_Count").setAsInteger(JsonInt(item, "Vocamo_Count"));
        rows->fieldByName("Vocamo_Round").setAsInteger(JsonInt(item, "Vocamo_Round"));
        rows->fieldByName("Vocamo_Time")
            .setAsDateTime(TimeValueToDayNumber(JsonInt64(item, "Vocamo_Time")));
        rows->fieldByName("Vocamo_Content").setAsText(JsonText(item, "Word_Content"));
        storeText(rows->fieldByName("Vocamo_Symbol"), item, "Word_Symbol",
                  JsonText(item, "Word_Symbol") == QLatin1String("null"));
        const bool noExample = JsonText(item, "Word_Example") == QLatin1String("null");
        storeText(rows->fieldByName("Vocamo_Sentence"), item, "Word_Example", noExample);
        storeText(rows->fieldByName("Vocamo_Translation"), item, "Word_Translate", noExample);
        if (rows->post())
            ++stored;
        else
            rows->cancel();
    }
    if (!database.commit()) {
        database.rollback();
        return false;
    }
    return stored > 0;
}

bool QueryStatistics(std::array<int, 5> &figures)
{
    TDataCenter *centre = DataCenter();
    if (!centre)
        return false;
    QJsonObject envelope = request(24);
    set(envelope, "CategoryID", centre->StudyCategory());
    set(envelope, "strBookID", JsonText(centre->UserInfo, "User_Phone") + QStringLiteral("&#@#&")
                                   + JsonText(centre->UserInfo, "User_PassWord"));
    const TAnswer answer = ask(envelope);
    if (!succeeded(answer))
        return false;
    const QJsonArray stats =
        answer->value(QLatin1String("data")).toObject().value(QLatin1String("StatArray")).toArray();
    if (stats.size() < 5)
        return false;
    for (int i = 0; i < 5; ++i)
        figures[size_t(i)] = JsonValueInt(stats.at(i));
    return true;
}

std::vector<TKX5Book> ListAccountBooks()
{
    QJsonObject envelope = request(27);
    set(envelope, "strBookID", QStringLiteral("1,5,31,32"));
    return readBooks(ask(envelope), false);
}

std::vector<TKX5Book> ListCategoryBooks(int categoryId)
{
    QJsonObject envelope = request(6);
    set(envelope, "CategoryID", categoryId);
    return readBooks(ask(envelope), true);
}

static bool changeAccountBook(int code, int categoryId, const QString &text)
{
    QJsonObject envelope = request(code);
    set(envelope, "CategoryID", categoryId);
    set(envelope, "strBookID", text);
    return succeeded(ask(envelope));
}

bool AddAccountBook(int categoryId, const QString &text)
{
    return changeAccountBook(8, categoryId, text);
}

bool RemoveAccountBook(int categoryId, const QString &text)
{
    return changeAccountBook(7, categoryId, text);
}

void SetBookIndex(int categoryId, int bookId, int index)
{
    QJsonObject envelope = request(12);
    set(envelope, "CategoryID", categoryId);
    set(envelope, "BookID", bookId);
    set(envelope, "BookIndex", index);
    PostInBackground(query(), envelope);
}

static void sendDayValue(int code, int itemId, int value, int day)
{
    QJsonObject envelope = request(code);
    set(envelope, "WordID", itemId);
    set(envelope, "VocamoAbility", value);
    set(envelope, "VocamoCount", day);
    PostInBackground(query(), envelope);
}

void SendReadingState(int itemId, int value, int day)
{
    sendDayValue(31, itemId, value, day);
}

void SendQuestionHardness(int questionId, int hardness, int day)
{
    sendDayValue(36, questionId, std::min(hardness, 2), day);
}

void SaveComposition(int articleId, const QByteArray &content, const QString &hash)
{
    QJsonObject envelope = request(40);
    set(envelope, "WordID", articleId);
    set(envelope, "strBookID", StreamToHex(content));
    set(envelope, "strDesc", hash);
    PostInBackground(query(), envelope);
}

void DeleteComposition(const QString &hash)
{
    QJsonObject envelope = request(41);
    set(envelope, "strBookID", hash);
    PostInBackground(query(), envelope);
}

void SendCompositionHardness(int articleId, int hardness)
{
    QJsonObject envelope = request(42);
    set(envelope, "WordID", articleId);
    set(envelope, "VocamoAbility", std::min(hardness, 2));
    PostInBackground(query(), envelope);
}

bool AddNote(const QString &title, const QString &text)
{
    QJsonObject envelope = request(23);
    set(envelope, "strBookID", withoutQuotes(title));
    set(envelope, "strDesc", withoutQuotes(text).replace(QStringLiteral("\r\n"), QStringLiteral("<br>")));
    const TAnswer answer = ask(envelope);
    if (!answer)
        return false;
    const QJsonObject data = answer->value(QLatin1String("data")).toObject();
    return data.contains(QLatin1String("Success")) && JsonInt(data, "Success", -1) == 0;
}

void SendAnswers(const QJsonArray &answers)
{
    PostInBackground(query(), BatchEnvelope(34, answers));
}

std::vector<std::pair<QString, int>> SettingsEntries()
{
    const TDataCenter *centre = DataCenter();
    if (!centre)
        return {};
    const TConfig &c = centre->Config;
    const auto entry = [](const char *key, qint64 value) {
        return std::pair<QString, int>(QLatin1String(key), int(value));
    };
    return {
        entry("User_Examining", c.Examining),
        entry("User_IsUpperCase", c.IsUpperCase),
        entry("User_UseDeskTop", c.UseDeskTop),
        entry("User_ShowCenter", c.ShowCenter),
        entry("User_ShowToolBar", c.ShowToolBar),
        entry("User_ShowTipPanel", c.ShowTipPanel),
        entry("User_Pronounce", c.Pronounce),
        entry("User_AlwaysShowTrans", c.AlwaysShowTrans),
        entry("User_ShowExampleTrans", c.ShowExampleTrans),
        entry("User_GeneralFontSize", c.GeneralFontSize),
        entry("User_FirstLineWidth", c.FirstLineWidth),
        entry("User_DeskTopColor", c.DeskTopColor),
        entry("User_InitialVocamoState", c.InitialState),
        entry("User_BookColor", c.BookColor),
        entry("User_QuestionAnswerColor", c.QuestionAnswerColor),
        entry("User_QuestionKeyColor", c.QuestionKeyColor),
        entry("User_FormWidth", c.FormWidth),
        entry("User_FormHeight", c.FormHeight),
        entry("User_Speed", c.Speed),
        entry("User_Addition", c.Addition),
        entry("User_FirstValue", c.FirstValue),
        entry("User_SecondValue", c.SecondValue),
    };
}

void SaveSettings()
{
    TDataCenter *centre = DataCenter();
    if (!centre)
        return;
    QJsonArray params;
    for (const auto &[key, value] : SettingsEntries()) {
        QJsonObject item = BuildRequest(37, 0, centre->CurrentUserId(), 0, 0, value, 0, 0, key);
        params.append(item);
        // The memorisation rule reads User_Speed from the record each time it runs.
        centre->UserInfo.insert(key, qint64(value));
    }
    PostInBackground(query(), BatchEnvelope(37, params));
}

void SetAccountField(int code, const QString &fieldName, int value)
{
    QJsonObject envelope;
    set(envelope, "OperateType", code);
    set(envelope, "UserID", userId());
    set(envelope, "FieldValue", value);
    set(envelope, "FieldName", fieldName);
    PostInBackground(QLatin1String(ConfigOperation), envelope);
}

void LoadSettings()
{
    if (TDataCenter *centre = DataCenter())
        centre->Config.ApplyAccount(centre->UserInfo);
}
