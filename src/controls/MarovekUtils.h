#pragma once

#include <QObject>
#include <QVector>

#include <memory>
#include <vector>

// A list of 32-bit integers. Reads out of range give 0 and writes out of range are
// ignored, so a bad index never brings the caller down.
class TIntList
{
public:
    TIntList() = default;
    // A list of `count` zeros.
    explicit TIntList(int count);

    // Appends `value`; returns its index.
    int Add(qint32 value);
    qint32 Get(int index) const;
    // Replaces the entry at `index`; false when `index` is out of range.
    bool Put(int index, qint32 value);
    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }

private:
    QVector<qint32> m_items;
};

// An owning last-in-first-out list. Item(0) is the bottom, Peek() the top. Whatever is
// left in the stack is freed with it.
template <typename T>
class TMarovekStack
{
public:
    int Count() const { return int(m_items.size()); }

    // The item at `index` counted from the bottom; nullptr when out of range.
    T *Item(int index) const
    {
        if (index < 0 || index >= Count())
            return nullptr;
        return m_items[size_t(index)].get();
    }

    // The top item, nullptr when the stack is empty.
    T *Peek() const { return m_items.empty() ? nullptr : m_items.back().get(); }

    // Removes the top item and hands it to the caller (empty when the stack is empty).
    std::unique_ptr<T> Pop()
    {
        if (m_items.empty())
            return nullptr;
        std::unique_ptr<T> top = std::move(m_items.back());
        m_items.pop_back();
        return top;
    }

    // Takes ownership of `item` and puts it on top; a null item is not pushed.
    void Push(std::unique_ptr<T> item)
    {
        if (item)
            m_items.push_back(std::move(item));
    }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

// A timer object. It runs while Interval > 0, Enabled is on and something is connected to
// OnTimer; changing any of the three restarts the count from zero.
class TMarovekTimer : public QObject
{
    Q_OBJECT
public:
    explicit TMarovekTimer(QObject *parent = nullptr);

    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool on);
    // True while the underlying timer runs.
    bool Active() const { return m_timerId != 0; }

signals:
    void OnTimer();

protected:
    void timerEvent(QTimerEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

private:
    void UpdateTimer();
    void RecheckHandler();
    bool HasHandler() const;

    int m_interval = 1000;
    bool m_enabled = true;
    bool m_handler = false;
    int m_timerId = 0;
};
