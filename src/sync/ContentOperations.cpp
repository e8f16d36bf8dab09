#include "sync/ContentOperations.h"

#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "sync/JsonFields.h"
#include "sync/Requests.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int FirstDay = 40544; // 1 January 2011

TAnswer ask(int code, const char *key = nullptr, const QString &text = {})
{
    const TDataCenter *centre = DataCenter();
    QJsonObject envelope = BuildRequest(code, 0, centre ? centre->CurrentUserId() : 0, 0, 0, 0, 0, 0);
    if (key)
        envelope.insert(QLatin1String(key), text);
    return PostRequest(QLatin1String(QueryOperation), envelope);
}

QJsonValue data(const TAnswer &answer)
{
    return answer->value(QLatin1String("data"));
}

QJsonArray member(const TAnswer &answer, const char *key)
{
    return data(answer).toObject().value(QLatin1String(key)).toArray();
}

TAdoChannel *channel()
{
    TDataCenter *centre = DataCenter();
    return centre && centre->Channel ? centre->Channel.get() : nullptr;
}

// Runs fill inside one transaction of the store; rolled back when it fails.
template <typename Fill>
bool inTransaction(TAdoChannel &store, Fill fill)
{
    SqliteDatabase &database = store.database();
    if (!database.begin())
        return false;
    if (!fill() || !database.commit()) {
        database.rollback();
        return false;
    }
    return true;
}

void setInts(SqliteDataset &rows, const QJsonObject &item, std::initializer_list<const char *> keys)
{
    for (const char *key : keys)
        rows.fieldByName(key).setAsInteger(JsonInt64(item, key));
}

void setBlob(SqliteDataset &rows, const QJsonObject &item, const char *key)
{
    if (JsonHas(item, key))
        rows.fieldByName(key).saveBlob(JsonText(item, key).toUtf8());
}

bool postRow(SqliteDataset &rows)
{
    if (rows.post())
        return true;
    rows.cancel();
    return false;
}

TQuestionEntry questionFrom(const QJsonObject &item, bool acquainted)
{
    TQuestionEntry entry;
    entry.QuestionId = JsonInt(item, "QuestionID");
    entry.Title = JsonText(item, "QuestionTitle");
    entry.QuestionType = JsonInt(item, "QuestionType");
    entry.QuestionOrder = JsonInt(item, "QuestionOrder");
    entry.SuiteFlag = JsonInt(item, "QuestionSuiteFlag");
    entry.MaterialId = JsonInt(item, "MaterialID");
    entry.QNum1 = JsonInt(item, "QNum1");
    entry.Subject = JsonText(item, "QuestionSubject");
    if (acquainted) {
        const double total = JsonDouble(item, "TotalScore");
        entry.Hardness = JsonInt(item, "Hardness");
        entry.TotalScore = int(std::nearbyint(std::clamp(total, -2e9, 2e9)));
        entry.ScoreRatio = JsonDouble(item, "AnswerScore") / std::max(1.0, total);
        entry.LastDay = std::max(FirstDay, JsonInt(item, "LastDate"));
    }
    return entry;
}

std::vector<TQuestionEntry> questionsFrom(const QJsonArray &acquainted, const QJsonArray &strange)
{
    std::vector<TQuestionEntry> questions;
    for (const QJsonValue &item : acquainted)
        questions.push_back(questionFrom(item.toObject(), true));
    for (const QJsonValue &item : strange)
        questions.push_back(questionFrom(item.toObject(), false));
    return questions;
}

// The entries that hang from root through their parents, so that no entry is owned twice
// and a loop of parents cannot keep itself alive.
bool hangsFromRoot(const TBookInfo *entry, const std::unordered_map<const TBookInfo *, TBookInfo *> &parents,
                   const TBookInfo *root)
{
    for (size_t steps = 0; entry && steps <= parents.size(); ++steps) {
        if (entry == root)
            return true;
        const auto found = parents.find(entry);
        entry = found == parents.end() ? nullptr : found->second;
    }
    return false;
}

void fillTree(TCatalogueTree &tree, TBookInfo &node)
{
    for (const auto &child : node.Children) {
        child->InTree = true;
        tree.AddNode(&node, child.get(), child->ListTitle, 3, 4);
    }
    for (const auto &child : node.Children)
        fillTree(tree, *child);
}

} // namespace

bool LoadCatalogue(TCatalogueTree &tree, TBookInfo &root, int kind)
{
    const TDataCenter *centre = DataCenter();
    QJsonObject envelope = BuildRequest(29, kind, centre ? centre->CurrentUserId() : 0, 0, 0, 0, 0, 0,
                                        QStringLiteral("0000"));
    const TAnswer answer = PostRequest(QLatin1String(QueryOperation), envelope);
    if (AnswerCode(answer) != 0)
        return false;

    std::vector<std::unique_ptr<TBookInfo>> entries;
    for (const QJsonValue &value : data(answer).toArray()) {
        const QJsonObject item = value.toObject();
        auto entry = std::make_unique<TBookInfo>(root.Channel, 0);
        entry->ListId = JsonText(item, "List_ID");
        entry->ListPid = JsonText(item, "List_PID");
        entry->ListTitle = JsonText(item, "List_Title");
        entry->ListSequence = JsonInt(item, "List_Sequence");
        entries.push_back(std::move(entry));
    }

    // By id: the root first, then the entries in answer order; the first match wins.
    std::vector<TBookInfo *> byId{&root};
    for (const auto &entry : entries)
        byId.push_back(entry.get());
    const auto findParent = [&byId](const QString &id) -> TBookInfo * {
        for (TBookInfo *candidate : byId) {
            if (candidate->ListId.compare(id, Qt::CaseInsensitive) == 0)
                return candidate;
        }
        return nullptr;
    };
    std::unordered_map<const TBookInfo *, TBookInfo *> parents;
    for (const auto &entry : entries) {
        if (TBookInfo *parent = findParent(entry->ListPid); parent && parent != entry.get())
            parents.emplace(entry.get(), parent);
    }
    for (auto &entry : entries) {
        if (!hangsFromRoot(entry.get(), parents, &root))
            continue; // dropped with the vector
        TBookInfo *parent = parents.at(entry.get());
        parent->AddChild(std::move(entry));
    }
    fillTree(tree, root);
    return true;
}

bool DownloadExercises(const QString &chapterText, int userId, int paperId, TPaperBuilder *builder)
{
    TAdoChannel *store = channel();
    if (!store)
        return false;
    const TAnswer answer = ask(33, "strBookID", chapterText);
    const bool ok = AnswerCode(answer) == 0;
    return inTransaction(*store, [&] {
        if (!store->Execute(QStringLiteral("delete from Question"))
            || !store->Execute(QStringLiteral("delete from Choice"))
            || !store->Execute(QStringLiteral("delete from QuestionInfo")))
            return false;
        SqliteDataset *questions = store->OpenNamed(QStringLiteral("GetQuestion"), QStringLiteral("select * from Question "));
        SqliteDataset *choices = store->OpenNamed(QStringLiteral("GetChoice"), QStringLiteral("select * from Choice "));
        SqliteDataset *infos = store->OpenNamed(QStringLiteral("GetQuestionInfo"), QStringLiteral("select * from QuestionInfo "));
        if (!ok)
            return true; // the tables stay empty
        if (!questions || !choices || !infos)
            return false;
        for (const char *part : {"Material", "Question"}) {
            for (const QJsonValue &value : member(answer, part)) {
                const QJsonObject item = value.toObject();
                const int type = JsonInt(item, "QuestionType");
                const int suite = JsonInt(item, "QuestionSuiteFlag");
                if (builder && !(type == 4 && suite != 0))
                    builder->AddToPaper(userId, type, suite != 0, JsonInt(item, "QuestionID"), paperId);
                if (!questions->append())
                    return false;
                setInts(*questions, item, {"QuestionID", "MaterialID", "QNum1", "QuestionType", "Number",
                                           "QuestionSuiteFlag", "QuestionOrder", "KeyIndex", "SubType",
                                           "CharCount", "Versatile"});
                for (const char *blob : {"QuestionContent", "QuestionExplain", "QuestionKey"})
                    setBlob(*questions, item, blob);
                postRow(*questions);
            }
        }
        for (const QJsonValue &value : member(answer, "Choice")) {
            const QJsonObject item = value.toObject();
            if (!choices->append())
                return false;
            setInts(*choices, item, {"QuestionID", "ChoiceIndex"});
            setBlob(*choices, item, "ChoiceStream");
            choices->fieldByName("ChoiceContent").setAsText(JsonText(item, "ChoiceContent"));
            postRow(*choices);
        }
        for (const QJsonValue &value : member(answer, "QuestionInfo")) {
            const QJsonObject item = value.toObject();
            if (!infos->append())
                return false;
            setInts(*infos, item, {"UserID", "QuestionID", "Hardness"});
            postRow(*infos);
        }
        return true;
    }) && ok;
}

bool DownloadCompositions(int articleId)
{
    TAdoChannel *store = channel();
    if (!store)
        return false;
    const TDataCenter *centre = DataCenter();
    QJsonObject envelope = BuildRequest(39, 0, centre->CurrentUserId(), 0, articleId, 0, 0, 0);
    const TAnswer answer = PostRequest(QLatin1String(QueryOperation), envelope);
    const bool ok = AnswerCode(answer) == 0;
    return inTransaction(*store, [&] {
        if (!store->Execute(QStringLiteral("delete from Composition")))
            return false;
        SqliteDataset *rows = store->OpenNamed(QStringLiteral("GetComposition"), QStringLiteral("select * from Composition"));
        if (!ok)
            return true;
        if (!rows)
            return false;
        for (const QJsonValue &value : data(answer).toArray()) {
            const QJsonObject item = value.toObject();
            if (!rows->append())
                return false;
            setInts(*rows, item, {"ID", "ArticleID", "UserID", "Type", "Sequence"});
            rows->fieldByName("WriteDate").setAsDateTime(TimeValueToDayNumber(JsonInt64(item, "WriteDate")));
            rows->fieldByName("HashCode").setAsText(JsonText(item, "Hashcode"));
            if (JsonHas(item, "WriteContent"))
                rows->fieldByName("WriteContent").saveBlob(JsonText(item, "WriteContent").toUtf8());
            postRow(*rows);
        }
        return true;
    }) && ok;
}

std::vector<TQuestionEntry> ListChapterQuestions(const QString &chapterId)
{
    const TAnswer answer = ask(32, "strBookID", chapterId);
    if (AnswerCode(answer) != 0)
        return {};
    return questionsFrom(member(answer, "Acquainted"), member(answer, "Strange"));
}

std::vector<TQuestionEntry> FilterQuestions(const TQuestionFilter &filter, const QString &text)
{
    const TDataCenter *centre = DataCenter();
    QJsonObject envelope = BuildRequest(35, filter.CategoryId, centre ? centre->CurrentUserId() : 0,
                                        filter.BookId, filter.WordId, filter.Ability, filter.Count,
                                        filter.Round, filter.ChapterId + QStringLiteral("@@@") + text);
    const TAnswer answer = PostRequest(QLatin1String(QueryOperation), envelope);
    if (AnswerCode(answer) != 0)
        return {};
    return questionsFrom(data(answer).toArray(), {});
}

std::vector<TArticle> ListArticles(const QString &chapterId)
{
    const TAnswer answer = ask(30, "strBookID", chapterId);
    std::vector<TArticle> articles;
    if (AnswerCode(answer) != 0)
        return articles;
    for (const char *part : {"Acquainted", "Strange"}) {
        const bool acquainted = part[0] == 'A';
        for (const QJsonValue &value : member(answer, part)) {
            const QJsonObject item = value.toObject();
            TArticle article(channel());
            article.ArticleId = JsonInt(item, "Content_ID");
            article.Title = JsonText(item, "Content_Title");
            article.HashCode = JsonText(item, "Content_Hashcode");
            article.Sequence = JsonInt(item, "Content_Sequence");
            article.Hardness = acquainted ? JsonInt(item, "ContentInfo_Hardness") : 0;
            article.LastDay = acquainted ? std::max(FirstDay, JsonInt(item, "ContentInfo_LastDate")) : FirstDay;
            articles.push_back(article);
        }
    }
    return articles;
}

std::vector<TArticle> ListWritingTopics(const QString &chapterId)
{
    const TAnswer answer = ask(38, "strBookID", chapterId);
    std::vector<TArticle> topics;
    if (AnswerCode(answer) != 0)
        return topics;
    for (const char *part : {"Acquainted", "Strange"}) {
        const bool acquainted = part[0] == 'A';
        for (const QJsonValue &value : member(answer, part)) {
            const QJsonObject item = value.toObject();
            TArticle topic(channel());
            topic.ArticleId = JsonInt(item, "Writing_ID");
            topic.Title = JsonText(item, "Writing_Title");
            topic.Sequence = JsonInt(item, "Writing_Sequence");
            if (acquainted) {
                topic.Hardness = JsonInt(item, "Hardness");
                topic.LastDate = TimeValueToDayNumber(JsonInt64(item, "LastDate"));
            }
            topics.push_back(topic);
        }
    }
    return topics;
}
