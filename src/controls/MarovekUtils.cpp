#include "MarovekUtils.h"

#include <QMetaMethod>
#include <QTimerEvent>
#include <QtDebug>

#include <exception>

TIntList::TIntList(int count)
    : m_items(qMax(0, count), 0)
{
}

int TIntList::Add(qint32 value)
{
    m_items.append(value);
    return Count() - 1;
}

qint32 TIntList::Get(int index) const
{
    return (index >= 0 && index < Count()) ? m_items[index] : 0;
}

bool TIntList::Put(int index, qint32 value)
{
    if (index < 0 || index >= Count())
        return false;
    m_items[index] = value;
    return true;
}

TMarovekTimer::TMarovekTimer(QObject *parent)
    : QObject(parent)
{
}

void TMarovekTimer::SetInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    UpdateTimer();
}

void TMarovekTimer::SetEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    UpdateTimer();
}

bool TMarovekTimer::HasHandler() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TMarovekTimer::OnTimer));
}

void TMarovekTimer::connectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&TMarovekTimer::OnTimer) && !m_handler) {
        m_handler = true;
        UpdateTimer();
    }
}

void TMarovekTimer::disconnectNotify(const QMetaMethod &signal)
{
    // An invalid method means "all signals" (disconnect() without arguments). Qt holds its
    // connection lock here, so the remaining connections are looked at on the next turn.
    if (signal.isValid() && signal != QMetaMethod::fromSignal(&TMarovekTimer::OnTimer))
        return;
    QMetaObject::invokeMethod(this, &TMarovekTimer::RecheckHandler, Qt::QueuedConnection);
}

void TMarovekTimer::RecheckHandler()
{
    const bool handler = HasHandler();
    if (handler != m_handler) {
        m_handler = handler;
        UpdateTimer();
    }
}

void TMarovekTimer::UpdateTimer()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    if (m_interval > 0 && m_enabled && m_handler)
        m_timerId = startTimer(m_interval);
}

void TMarovekTimer::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId) {
        QObject::timerEvent(event);
        return;
    }
    if (!HasHandler()) {
        RecheckHandler();
        return;
    }
    // An exception must not unwind through the event loop: report it and keep running.
    try {
        emit OnTimer();
    } catch (const std::exception &e) {
        qWarning("TMarovekTimer: handler failed: %s", e.what());
    } catch (...) {
        qWarning("TMarovekTimer: handler failed");
    }
}
