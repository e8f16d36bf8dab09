#pragma once

#include "store/WordMarkSender.h"
#include "sync/ServerSettings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class TDataCenter;
class TMyThread;
class TServerLink;
struct TPendingRequest;

// Operation names: the last segment of the request address.
inline constexpr char QueryOperation[] = "KX5QueryVocamo2";
inline constexpr char ConfigOperation[] = "KX5ConfigVocamo2";

using TAnswer = std::optional<QJsonObject>;

// A request envelope: every member present, the given values and the defaults
// (BookIndex 0, WordCategoryID -1, GetNewData 0).
QJsonObject BuildRequest(int operateType, int categoryId, int userId, int bookId, int wordId,
                         int ability, int count, int round, const QString &text = {},
                         const QString &text2 = {});
// {"OperateType": operateType, "params": params}.
QJsonObject BatchEnvelope(int operateType, const QJsonArray &params);
// The integer "code" of the answer; -1 without an answer or a readable code.
int AnswerCode(const TAnswer &answer);
// A server moment (units of 10 seconds since 1970-01-01 00:00) as a day number:
// 25569 + v * 10000 / 86400000, no time-zone adjustment.
double TimeValueToDayNumber(qint64 value);

// The hourglass around synchronous requests: called with true before and false after
// (also after a failure). The user interface installs it; nothing happens without one.
void SetBusyCursorHook(std::function<void(bool busy)> hook);

// The sync layer of the program: the server addresses, the synchronous and background
// requests and the durable queue of background requests. Background requests are first
// written to table "PendingRequest", then sent one at a time in order; a row is removed
// only once the server answered, so what could not be sent (offline, time-out, server
// down) goes out at the next request, at Flush() or at the next start. One instance,
// created after the data centre and destroyed before it; SyncClient() reaches it. It
// installs itself as the data centre's word-mark sender. Main thread only.
class TSyncClient : public TWordMarkSender
{
public:
    explicit TSyncClient(TDataCenter &centre, TServerSettings settings = TServerSettings::FromIni());
    ~TSyncClient() override;
    TSyncClient(const TSyncClient &) = delete;
    TSyncClient &operator=(const TSyncClient &) = delete;

    // Posts the request and waits (at most the time-out) for the answer object; none when
    // offline, unreachable, on an HTTP error or when the answer is not a JSON object.
    // Reaching the server also sets queued background requests going again.
    TAnswer PostRequest(const QString &operation, const QJsonObject &request);
    // Stores the request in the queue and returns at once; the request thread sends it.
    void PostInBackground(const QString &operation, const QJsonObject &request);
    // Sets the queue going again (after the server came back) and removes answered rows.
    void Flush();
    // Waits until every queued request was answered or the queue stalled; removes the
    // answered rows. True when the queue is empty.
    bool WaitForQueue(int timeoutMs = 30000);
    // Requests stored and not yet answered.
    int PendingCount();

    // Operation 2 in the background; lowers DueCount by one when above 0.
    void SendWordMark(int categoryId, int bookId, int studyCount, int ability, int wordId) override;

    TDataCenter &Centre() { return m_centre; }
    TServerLink &Link() { return *m_link; }

private:
    bool ensureTable();
    void loadStoredRequests();
    qint64 store(const QString &operation, const QByteArray &body);
    void removeAnswered();
    bool sendStored(const TPendingRequest &request);
    bool startLink();

    TDataCenter &m_centre;
    std::unique_ptr<TServerLink> m_link;
    std::unique_ptr<QObject> m_context; // receives the thread's "answered" notes
    bool m_tableReady = false;
    bool m_linkStarted = false;
    std::unique_ptr<TMyThread> m_thread; // last: stopped first
};

// The living sync client, or nullptr.
TSyncClient *SyncClient();

// The protocol operations on the living sync client (failures, or nothing, without one).
TAnswer PostRequest(const QString &operation, const QJsonObject &request);
void PostInBackground(const QString &operation, const QJsonObject &request);
// Operation 22 with account + "##" + password. errCode 0: UserInfo := "data" -> "UserInfo"
// and the account's settings are loaded into Config; true. errCode 4: the notifier shows
// "用户不存在或密码不对！"; false. Anything else (offline, no errCode): false, silently.
bool SignIn(const QString &account, const QString &password);
