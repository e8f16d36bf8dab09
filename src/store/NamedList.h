#pragma once

#include <QString>

#include <memory>
#include <utility>
#include <vector>

// An owning list of (name, object) pairs that keeps insertion order. Names are found
// without regard to letter case; a name may occur more than once (the first one wins
// when looking up). Objects keep their address for as long as they stay in the list.
template <typename T>
class TNamedList
{
public:
    using Entry = std::pair<QString, std::unique_ptr<T>>;

    TNamedList() = default;
    TNamedList(TNamedList &&) noexcept = default;
    TNamedList &operator=(TNamedList &&) noexcept = default;
    TNamedList(const TNamedList &) = delete;
    TNamedList &operator=(const TNamedList &) = delete;

    // Appends the object under name and returns it (nullptr stays nullptr).
    T *Add(const QString &name, std::unique_ptr<T> object)
    {
        T *raw = object.get();
        m_entries.emplace_back(name, std::move(object));
        return raw;
    }

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }

    // The object at index, or nullptr outside 0..Count()-1.
    T *At(int index) const
    {
        return index >= 0 && index < Count() ? m_entries[static_cast<size_t>(index)].second.get()
                                             : nullptr;
    }
    QString NameAt(int index) const
    {
        return index >= 0 && index < Count() ? m_entries[static_cast<size_t>(index)].first
                                             : QString();
    }

    // Index of the first entry with that name (case-insensitive), or -1.
    int IndexOf(const QString &name) const
    {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].first.compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        }
        return -1;
    }
    T *Find(const QString &name) const { return At(IndexOf(name)); }

    // Removes and frees the entry at index; an index outside the list is ignored.
    void RemoveAt(int index)
    {
        if (index >= 0 && index < Count())
            m_entries.erase(m_entries.begin() + index);
    }
    void Clear() { m_entries.clear(); }

    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    std::vector<Entry> m_entries;
};
