#pragma once

#include "store/NamedList.h"

#include <QPointer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

class SqliteDataset;
class TAdoChannel;
class TUser;
class TWord;

// One operating tip: a key and what it does.
struct TTip
{
    int Key = 0; // virtual-key code
    QString Title;
    QString Caption;
    QString HashCode;
};

using TTipList = std::vector<TTip>;

// A book of a user (a row of USERBOOKS) with the run-time state the modes keep on it.
class TUserBook
{
public:
    TUserBook(TUser *user, TAdoChannel *channel) : User(user), Channel(channel) {}

    static constexpr int MaxState = 11; // the book's highest state code

    TUser *User = nullptr;
    TAdoChannel *Channel = nullptr;
    int BookId = 0;
    QString BookName;
    int Sequence = 0;
    int Deletable = 0;
    int ActiveSequence = 0;
    int Category = 0;
    int RelationBookId = 0;
    QString Hashcode;

    QStringList Names;
    int ShownCount = 0;
    int NewCount = 0;
    std::vector<TWord *> Pending;
    std::mutex Lock;
    int Spare = 0;
    int RelationId = 0;
    bool RelationFlag = false;
    std::vector<std::unique_ptr<TWord>> Owned;
};

// One screen element of a user's layout. The properties are numbered 1 left, 2 top,
// 3 width, 4 height, 5 colour, 6 font size, 7 font colour. Applying them to a control
// belongs to the user interface, which attaches the control here.
class TInterfaceObject
{
public:
    explicit TInterfaceObject(const QString &name = {}) : Name(name) {}

    static constexpr int PropertyCount = 7;
    // The Chinese name of property 1..7 ("左", "上", "宽", "高", "颜色", "字体大小",
    // "字体颜色"); empty outside.
    static QString PropertyName(int number);

    // Stores property 1..7; other numbers are ignored.
    void SetProperty(int number, int value);
    // Property 1..7; 0 outside.
    int Property(int number) const;

    QString Name;
    int Top = 0;
    int Height = 0;
    int Left = 0;
    int FontSize = 0;
    int FontColor = 0;
    int Width = 0;
    int Color = 0;
    QPointer<QObject> Control; // the control it is applied to, or none
};

using TLayout = TNamedList<TInterfaceObject>;

// A local user: its books, screen layout and operating tips.
class TUser
{
public:
    explicit TUser(TAdoChannel *channel) : Channel(channel) {}
    ~TUser();
    TUser(const TUser &) = delete;
    TUser &operator=(const TUser &) = delete;

    // Reads the user's books once (rows with Deletable 2 never; Category 1 into
    // WordBooks, 2 into OtherBooks, others into neither), then makes the first word book
    // with the largest ActiveSequence current.
    void LoadBooks();
    int BookCount() const { return WordBooks.Count(); }
    // The word book at index, nullptr outside the range.
    TUserBook *BookByIndex(int index) const { return WordBooks.At(index); }

    // The user's screen layout, element by element in the order first met.
    TLayout LoadLayout();
    // Replaces the stored layout: one row per element and property, all in one
    // transaction. False when the old rows cannot be deleted or an insert fails.
    bool SaveLayout(const std::vector<const TInterfaceObject *> &elements);
    bool SaveLayout(const TLayout &layout);

    // The due-word page in the named query; nullptr when it cannot be opened.
    SqliteDataset *OpenPage(const QString &queryName);
    // The words named in namesText (blank or comma separated; one "A" dropped, "_" read
    // as a blank, entries holding quotes skipped), with their inflected forms unless
    // namesOnly, plus firstName, in the named query.
    SqliteDataset *OpenWordList(const QString &queryName, const QString &firstName,
                                bool namesOnly, const QString &namesText);
    // The words matching the search text (headwords when byName, else meanings).
    SqliteDataset *OpenSearch(const QString &queryName, const QString &searchText, bool byName);
    // Page pageIndex (from 0) of pageSize words of the named query, loaded for book;
    // empty when the name is not open.
    std::vector<std::unique_ptr<TWord>> ReadPage(const QString &queryName, int pageSize,
                                                 TUserBook *book, bool done, int pageIndex);
    // The word of that name (no book), or nullptr.
    std::unique_ptr<TWord> FindWord(const QString &name);
    int PageCount(const QString &queryName, int pageSize);
    int RowCount(const QString &queryName);

    // The hardness of a word relation for this user; relationId must be a whole number
    // (anything else is ignored / gives 0). Set changes an existing row only.
    bool SetRelationHardness(const QString &relationId, int value);
    int GetRelationHardness(const QString &relationId);

    // Frees every cached tip list, or that of one layer.
    void ClearLayerTips();
    void DropLayerTips(int layerId);
    // The tips of a layer, built once and cached: Esc, the state keys (with a book on
    // layers 1, 2, 3 and 7), the user's visible tips, Ctrl+F. The list stays valid until
    // it is dropped or cleared.
    const TTipList &LayerTips(int layerId, bool withBook);
    // MoreTips := the layer's hidden tips, most used first.
    void LoadMoreTips(int layerId);

    TAdoChannel *Channel = nullptr;
    TNamedList<TTipList> LayerTipLists;
    TTipList MoreTips;
    bool Flag1 = true;
    TNamedList<TUserBook> WordBooks;
    TNamedList<TUserBook> OtherBooks;
    int UserId = 0;
    QString UserName;
    QString Password;
    bool UpdateDictionary = false;
    bool UserType = false;
    bool Flag2 = true;
    bool Flag3 = true;
    bool Flag4 = true;
    TUserBook *CurrentBook = nullptr;
    int MaxActiveSequence = 0;
    QString RealName;
    QString Number;
    int ActiveSequence = 0;
    bool BooksLoaded = false;

private:
    TTipList buildLayerTips(int layerId, bool withBook);
    void readTips(const char *format, int layerId, TTipList &tips);
};
