#include "sync/RequestThread.h"

#include <chrono>
#include <utility>

TMyThread::TMyThread(std::mutex &requestLock, std::function<bool(const TPendingRequest &)> send,
                     std::function<void()> answered)
    : m_requestLock(requestLock)
    , m_send(std::move(send))
    , m_answeredHook(std::move(answered))
    , m_thread([this] { run(); })
{
}

TMyThread::~TMyThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void TMyThread::Enqueue(TPendingRequest request)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(request));
        m_stalled = false;
    }
    m_wake.notify_all();
}

void TMyThread::Retry()
{
    {
        std::lock_guard lock(m_mutex);
        m_stalled = false;
    }
    m_wake.notify_all();
}

std::vector<qint64> TMyThread::TakeAnswered()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_answered, {});
}

bool TMyThread::WaitIdle(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !m_busy && (m_queue.empty() || m_stalled); });
}

int TMyThread::Queued() const
{
    std::lock_guard lock(m_mutex);
    return int(m_queue.size());
}

bool TMyThread::Stalled() const
{
    std::lock_guard lock(m_mutex);
    return m_stalled;
}

void TMyThread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || (!m_queue.empty() && !m_stalled); });
        if (m_stop)
            break;
        const TPendingRequest request = m_queue.front();
        m_busy = true;
        lock.unlock();
        bool answered = false;
        {
            std::lock_guard requestLock(m_requestLock);
            answered = m_send(request);
        }
        lock.lock();
        m_busy = false;
        if (answered) {
            m_queue.pop_front();
            if (request.Id > 0)
                m_answered.push_back(request.Id);
        } else {
            m_stalled = true;
        }
        m_idle.notify_all();
        if (answered && m_answeredHook) {
            lock.unlock();
            m_answeredHook();
            lock.lock();
        }
    }
    m_busy = false;
    m_idle.notify_all();
}
