#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TAdoChannel;

// A book the server offers to the account.
struct TKX5Book
{
    int BookId = 0;
    int CategoryId = 0;
    int BookIndex = 0;
    QString BookDesc;
    int BookCount = 0;
};

// One node of the reading-materials catalogue; owns its child nodes.
class TBookInfo
{
public:
    TBookInfo(TAdoChannel *channel, int kind) : Channel(channel), Kind(kind) {}

    // Appends child and returns it.
    TBookInfo *AddChild(std::unique_ptr<TBookInfo> child);
    int ChildCount() const { return static_cast<int>(Children.size()); }
    // The child at index, or nullptr outside the range.
    TBookInfo *Child(int index) const;

    TAdoChannel *Channel = nullptr;
    std::vector<std::unique_ptr<TBookInfo>> Children;
    int Kind = 0;
    bool InTree = false;
    QString ListId;
    QString ListPid;
    QString ListTitle;
    int ListSequence = 0;
};

// One rich-text fragment.
struct TText
{
    int Id = 0;
    QByteArray Content; // an RTF document
};

// An ordered, owning list of rich-text fragments with the article's description.
class TTexts
{
public:
    // Appends text and returns it.
    TText *Add(std::unique_ptr<TText> text);
    int Count() const { return static_cast<int>(m_items.size()); }
    // The fragment at index, or nullptr outside the range.
    TText *Get(int index) const;
    void Clear() { m_items.clear(); }

    int Id = 0;
    int Spare = 0;
    bool Loaded = false;
    QString HashCode;
    QString Title;
    int Hardness = 0;

private:
    std::vector<std::unique_ptr<TText>> m_items;
};

// An article or writing topic the server offers.
struct TArticle
{
    explicit TArticle(TAdoChannel *channel = nullptr) : Channel(channel) {}

    TAdoChannel *Channel = nullptr;
    int Hardness = 0;
    QString Title;
    int ArticleId = 0;
    int Sequence = 0;
    int LastDay = 0;     // a day number
    QString HashCode;
    double LastDate = 0; // a day number with the time of day
};
