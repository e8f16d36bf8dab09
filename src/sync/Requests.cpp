#include "sync/Requests.h"

#include "platform/DateTime.h"
#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "store/Statements.h"
#include "sync/RequestThread.h"
#include "sync/ServerLink.h"
#include "sync/Transport.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QObject>
#include <QPointer>

#include <climits>

namespace {

TSyncClient *g_client = nullptr;
std::function<void(bool)> g_busyHook;

constexpr char CreatePendingTable[] =
    "CREATE TABLE IF NOT EXISTS PendingRequest ("
    " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Operation TEXT NOT NULL,"
    " Body TEXT NOT NULL,"
    " Created REAL DEFAULT 0)";
constexpr char SelectPending[] = "select ID, Operation, Body from PendingRequest order by ID";
constexpr char InsertPending[] =
    "insert into PendingRequest (Operation, Body, Created) values ('%1', '%2', %3)";
constexpr char DeletePending[] = "delete from PendingRequest where ID = %1";
constexpr char CountPending[] = "select count(*) as PendingCount from PendingRequest";

// The hourglass for the length of one synchronous request.
class BusyCursor
{
public:
    BusyCursor()
    {
        if (g_busyHook)
            g_busyHook(true);
    }
    ~BusyCursor()
    {
        if (g_busyHook)
            g_busyHook(false);
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

QString requestUrl(const QString &base, const QString &operation)
{
    return base + QStringLiteral("/linkkk/") + operation;
}

// An answer counts as given when the server replied with a status below 500: a request it
// refused (4xx or a non-zero code) will not fare better when sent again.
bool answered(const THttpAnswer &answer)
{
    return answer.Reached && answer.Status < 500;
}

} // namespace

QJsonObject BuildRequest(int operateType, int categoryId, int userId, int bookId, int wordId,
                         int ability, int count, int round, const QString &text,
                         const QString &text2)
{
    QJsonObject request;
    request.insert(QLatin1String("OperateType"), qint64(operateType));
    request.insert(QLatin1String("CategoryID"), qint64(categoryId));
    request.insert(QLatin1String("UserID"), qint64(userId));
    request.insert(QLatin1String("BookID"), qint64(bookId));
    request.insert(QLatin1String("WordID"), qint64(wordId));
    request.insert(QLatin1String("VocamoAbility"), qint64(ability));
    request.insert(QLatin1String("VocamoCount"), qint64(count));
    request.insert(QLatin1String("VocamoRound"), qint64(round));
    request.insert(QLatin1String("GetNewData"), qint64(0));
    request.insert(QLatin1String("BookIndex"), qint64(0));
    request.insert(QLatin1String("WordCategoryID"), qint64(-1));
    request.insert(QLatin1String("strBookID"), text);
    request.insert(QLatin1String("strDesc"), text2);
    return request;
}

QJsonObject BatchEnvelope(int operateType, const QJsonArray &params)
{
    QJsonObject envelope;
    envelope.insert(QLatin1String("OperateType"), qint64(operateType));
    envelope.insert(QLatin1String("params"), params);
    return envelope;
}

int AnswerCode(const TAnswer &answer)
{
    if (!answer)
        return -1;
    const QJsonValue code = answer->value(QLatin1String("code"));
    if (code.isDouble()) {
        const double value = code.toDouble();
        if (value == double(qint64(value)) && value >= INT_MIN && value <= INT_MAX)
            return int(value);
        return -1;
    }
    if (code.isString()) {
        bool ok = false;
        const int value = code.toString().toInt(&ok);
        return ok ? value : -1;
    }
    return -1;
}

double TimeValueToDayNumber(qint64 value)
{
    return 25569.0 + double(value) * 10000.0 / 86400000.0;
}

void SetBusyCursorHook(std::function<void(bool)> hook)
{
    g_busyHook = std::move(hook);
}

TSyncClient::TSyncClient(TDataCenter &centre, TServerSettings settings)
    : m_centre(centre)
    , m_link(std::make_unique<TServerLink>(std::move(settings)))
    , m_context(std::make_unique<QObject>())
{
    m_centre.ServerIsLocal = m_link->IsLocal();
    QPointer<QObject> context = m_context.get();
    m_thread = std::make_unique<TMyThread>(
        m_centre.RequestLock, [this](const TPendingRequest &request) { return sendStored(request); },
        [this, context] {
            // Rows are removed on the main thread, which owns the database connection.
            QMetaObject::invokeMethod(context.data(), [this] { removeAnswered(); },
                                      Qt::QueuedConnection);
        });
    g_client = this;
    m_centre.SetWordMarkSender(this);
    m_tableReady = ensureTable();
    loadStoredRequests();
}

TSyncClient::~TSyncClient()
{
    m_thread.reset();
    removeAnswered();
    if (m_centre.WordMarkSender() == this)
        m_centre.SetWordMarkSender(nullptr);
    if (g_client == this)
        g_client = nullptr;
}

bool TSyncClient::ensureTable()
{
    return m_centre.Channel && m_centre.Channel->Execute(QLatin1String(CreatePendingTable));
}

void TSyncClient::loadStoredRequests()
{
    if (!m_tableReady)
        return;
    SqliteDataset *rows = m_centre.Channel->Query(QLatin1String(SelectPending));
    if (!rows)
        return;
    std::vector<TPendingRequest> stored;
    for (rows->first(); !rows->eof(); rows->next()) {
        stored.push_back({rows->fieldByName("ID").asLargeInt(),
                          rows->fieldByName("Operation").asText(),
                          rows->fieldByName("Body").asText().toUtf8()});
    }
    if (stored.empty())
        return;
    // Requests left from an earlier run go out first, in their order.
    startLink();
    for (TPendingRequest &request : stored)
        m_thread->Enqueue(std::move(request));
}

qint64 TSyncClient::store(const QString &operation, const QByteArray &body)
{
    if (!m_tableReady)
        m_tableReady = ensureTable();
    if (!m_tableReady)
        return 0;
    const QString sql = QString::fromLatin1(InsertPending)
                            .arg(SqlQuoted(operation), SqlQuoted(QString::fromUtf8(body)))
                            .arg(nowDayNumber(), 0, 'f', 8);
    if (!m_centre.Channel->ExecuteInTransaction(sql))
        return 0;
    return m_centre.Channel->database().lastInsertRowId();
}

void TSyncClient::removeAnswered()
{
    const std::vector<qint64> ids = m_thread ? m_thread->TakeAnswered() : std::vector<qint64>{};
    if (ids.empty() || !m_centre.Channel)
        return;
    QStringList statements;
    for (qint64 id : ids)
        statements << QString::fromLatin1(DeletePending).arg(id);
    m_centre.Channel->ExecuteListInTransaction(statements);
}

bool TSyncClient::startLink()
{
    if (!m_linkStarted)
        m_linkStarted = m_link->Start();
    return m_linkStarted;
}

bool TSyncClient::sendStored(const TPendingRequest &request)
{
    const QString base = m_link->BaseUrl();
    if (base.isEmpty())
        return false;
    return answered(HttpPostJson(requestUrl(base, request.Operation), request.Body, m_link->CaFile()));
}

TAnswer TSyncClient::PostRequest(const QString &operation, const QJsonObject &request)
{
    removeAnswered();
    if (!m_centre.IsOnline() || !startLink())
        return std::nullopt;
    const QByteArray body = QJsonDocument(request).toJson(QJsonDocument::Compact);
    THttpAnswer reply;
    {
        BusyCursor hourglass;
        reply = HttpPostJson(requestUrl(m_link->BaseUrl(), operation), body, m_link->CaFile());
    }
    if (!reply.Reached)
        return std::nullopt;
    // The server is reachable again: whatever waits in the queue can go now.
    m_thread->Retry();
    if (reply.Status >= 400)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(reply.Body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

void TSyncClient::PostInBackground(const QString &operation, const QJsonObject &request)
{
    removeAnswered();
    startLink();
    const QByteArray body = QJsonDocument(request).toJson(QJsonDocument::Compact);
    const qint64 id = store(operation, body);
    m_thread->Enqueue({id, operation, body});
}

void TSyncClient::Flush()
{
    removeAnswered();
    startLink();
    m_thread->Retry();
}

bool TSyncClient::WaitForQueue(int timeoutMs)
{
    m_thread->WaitIdle(timeoutMs);
    removeAnswered();
    return m_thread->Queued() == 0;
}

int TSyncClient::PendingCount()
{
    removeAnswered();
    if (!m_tableReady)
        return m_thread->Queued();
    SqliteDataset *rows = m_centre.Channel->Query(QLatin1String(CountPending));
    return rows && !rows->eof() ? rows->field(0).asInteger() : m_thread->Queued();
}

void TSyncClient::SendWordMark(int categoryId, int bookId, int studyCount, int ability, int wordId)
{
    QJsonObject request = BuildRequest(2, 0, m_centre.CurrentUserId(), bookId, wordId, ability,
                                       studyCount, 0);
    request.insert(QLatin1String("WordCategoryID"), qint64(categoryId));
    PostInBackground(QLatin1String(QueryOperation), request);
    if (m_centre.DueCount > 0)
        --m_centre.DueCount;
}

TSyncClient *SyncClient()
{
    return g_client;
}

TAnswer PostRequest(const QString &operation, const QJsonObject &request)
{
    return g_client ? g_client->PostRequest(operation, request) : std::nullopt;
}

void PostInBackground(const QString &operation, const QJsonObject &request)
{
    if (g_client)
        g_client->PostInBackground(operation, request);
}

bool SignIn(const QString &account, const QString &password)
{
    if (!g_client)
        return false;
    const QJsonObject request =
        BuildRequest(22, 0, 0, 0, 0, 0, 0, 0, account + QStringLiteral("##") + password);
    const TAnswer answer = g_client->PostRequest(QLatin1String(QueryOperation), request);
    int errCode = -1;
    QJsonObject data;
    if (answer) {
        data = answer->value(QLatin1String("data")).toObject();
        const QJsonValue value = data.value(QLatin1String("errCode"));
        if (value.isDouble())
            errCode = value.toInt(-1);
        else if (value.isString()) {
            bool ok = false;
            const int parsed = value.toString().toInt(&ok);
            if (ok)
                errCode = parsed;
        }
    }
    TDataCenter &centre = g_client->Centre();
    if (errCode == 4) {
        centre.Notify(QStringLiteral("用户不存在或密码不对！"));
        return false;
    }
    if (errCode != 0)
        return false;
    const QJsonValue info = data.value(QLatin1String("UserInfo"));
    if (!info.isObject())
        return false;
    centre.UserInfo = info.toObject();
    centre.Config.ApplyAccount(centre.UserInfo);
    return true;
}
