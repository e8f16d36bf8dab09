#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// One background request as it waits in the queue: its row in PendingRequest (0 when it
// could not be stored), the operation name and the JSON body.
struct TPendingRequest
{
    qint64 Id = 0;
    QString Operation;
    QByteArray Body;
};

// The background request thread: sends queued requests one at a time, in order, each
// under the process-wide request lock. A request stays at the head of the queue until the
// server answered it; when the server cannot be reached the queue stalls until Retry()
// (or a new request) sets it going again, so nothing is skipped or reordered. The thread
// never touches the database: answered ids are collected for the owner to remove.
class TMyThread
{
public:
    // send: posts one request, true when the server answered it. answered: called on the
    // thread after each answered request (the owner schedules the removal of its row).
    TMyThread(std::mutex &requestLock, std::function<bool(const TPendingRequest &)> send,
              std::function<void()> answered = {});
    // Finishes the request in flight, then stops; what is still queued stays stored.
    ~TMyThread();
    TMyThread(const TMyThread &) = delete;
    TMyThread &operator=(const TMyThread &) = delete;

    // Appends a request and sets a stalled queue going again.
    void Enqueue(TPendingRequest request);
    // Sets a stalled queue going again.
    void Retry();
    // The ids of the requests answered since the last call.
    std::vector<qint64> TakeAnswered();
    // Waits until the queue is empty or stalled, at most timeoutMs; true when it got there.
    bool WaitIdle(int timeoutMs);
    int Queued() const;
    bool Stalled() const;

private:
    void run();

    std::mutex &m_requestLock;
    std::function<bool(const TPendingRequest &)> m_send;
    std::function<void()> m_answeredHook;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<TPendingRequest> m_queue;
    std::vector<qint64> m_answered;
    bool m_busy = false;
    bool m_stalled = false;
    bool m_stop = false;
    std::thread m_thread; // last: starts after every member above exists
};
