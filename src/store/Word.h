#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <vector>

class SqliteDataset;
class TAdoChannel;
class TUserBook;

// One word with its texts and memorisation state.
class TWord
{
public:
    TWord(TUserBook *book, TAdoChannel *channel);

    // Where the loader's columns are in a result; found once per result, so loading a page
    // does not look every column up by name for every row. -1 for a missing column.
    struct Columns
    {
        explicit Columns(const SqliteDataset &dataset);
        int Time, Ability, Category, Round, Count, NewSymbol, Usage, BookId, Name, OwnSymbol,
            Symbol, RelationCount, OwnContent, Trans, OwnSentence, OwnTranslation, Example,
            ExampleClass, Explain, Aids, GreAntonym, Analogy, Synonyms, Antonyms, WordId,
            ExampleExist;
    };

    // A word from the current row of a due-page or word-list result, loaded for book
    // (nullptr for lookups) on channel.
    static std::unique_ptr<TWord> LoadWord(SqliteDataset &dataset, bool done, TUserBook *book,
                                           TAdoChannel *channel);
    static std::unique_ptr<TWord> LoadWord(SqliteDataset &dataset, const Columns &columns,
                                           bool done, TUserBook *book, TAdoChannel *channel);

    // The memorisation rule: the ability the word gets for mark at time now (a day
    // number). With no now given, the current local time.
    int NextAbility(int mark) const;
    int NextAbility(int mark, double now) const;

    // Marks the word: the new ability from Mark (InitialState when 0), the due row
    // deleted in its own transaction, the update handed to the data centre's
    // word-mark sender. Nothing for a word without a book. False when the delete failed.
    bool Commit();
    bool Commit(double now);

    // Writes the example and its translation into TotalWords; false when the word has
    // no channel or the row cannot be written.
    bool SaveExample(const QString &sentence, const QString &translation);
    // Meaning, Example and ExampleTrans again from TotalWords (the meaning flattened as
    // when loaded); false when the row is not there.
    bool ReloadTexts();
    // How many related-word rows (LinkWords when LinkMode, else RelationWord) this user
    // holds for the word; 0 when the count cannot be read.
    int RelationCountFor() const;

    void AddLine(const QString &line) { Lines.append(line); }
    int LineCount() const { return static_cast<int>(Lines.size()); }
    // The line at index, empty text outside 0..LineCount()-1.
    QString GetLine(int index) const { return Lines.value(index); }
    void ClearLines() { Lines.clear(); }

    // The deciphered synonym and antonym texts; empty for an empty or unreadable field.
    QString DecipherSynonyms() const;
    QString DecipherAntonyms() const;
    // "", "B" (antonyms), "Z" (synonyms) or "ZB".
    QString Markers() const;

    // A new word with the same channel, book, id, texts, ShowTrans, LinkMode,
    // RelationCount, SourceName and ExampleExist; the memorisation state is not copied.
    std::unique_ptr<TWord> Clone() const;

    TAdoChannel *Channel = nullptr;
    TUserBook *Book = nullptr;
    QString Name;
    QString Symbol;
    QString Affix;
    QString Meaning;
    QString NewSymbol;
    QString Explain;
    QString Synonyms;
    QString Antonyms;
    QString Analogy;
    QString GreAntonym;
    QString Extra1;
    QString Extra2;
    int WordId = 0;
    QStringList Lines;
    double StudyTime = 0;
    int StudyCount = 0;
    quint32 BackColor = 0xFFFFFF;
    QString Aids;
    bool Shown = true;
    int RelationCount = 0;
    int CategoryId = 0;
    int Ability = 0;
    quint8 Mark = 0;
    int LoadedAbility = 0;
    int ShowCount = 0;
    int GridTag = 0;
    int UserId = 0;
    bool Done = false;
    bool ShowTrans = true;
    bool Highlight = false;
    int CellHeight = 100;
    int CellWidth = 100;
    quint32 FrameColor = 0xC0C0C0;
    int PagePosition = 0;
    int Spare = 0;
    int FontSize = 12;
    int Usage = 0;
    int BookId = 0;
    bool LinkMode = false;
    int LastPick = 0;
    QString ExampleTrans;
    QString Example;
    QString SourceName;
    int ExampleExist = 0;
};

// The marker some headwords carry; removed for display.
inline constexpr char WordNameMarker[] = "kkkk";

// A page (screen) of words. The words are not owned: the mode that loaded them frees them.
class TPageWords
{
public:
    // Appends word and sets its PagePosition to the new count; nullptr is ignored.
    void Add(TWord *word);
    // Removes the word at index; an index outside the page is ignored.
    void Delete(int index);
    int Count() const { return static_cast<int>(m_words.size()); }
    // The word at index, or nullptr outside 0..Count()-1.
    TWord *Get(int index) const;
    // True for an empty page, otherwise when every word is Done.
    bool AllDone() const;
    // Ascending Ability, ties by Name without regard to letter case.
    void SortByAbility();

    quint8 DefaultMark = 0;
    int RememberedRow = 0;
    bool Painted = false;
    bool MarkedView = false;
    bool Flag1 = true;
    bool Flag2 = false;
    bool Flag3 = false;

private:
    std::vector<TWord *> m_words;
};

// One example sentence with its translation.
class TExample
{
public:
    TExample(const QString &sentence, int kind, const QString &translation);

    QString Sentence;
    int RowHeight = 0;
    int Kind = 0;
    int PagePosition = 0;
    QString Translation;
};

// An owning page of examples.
class TPageExamples
{
public:
    // Appends example (taking it) and sets its PagePosition to the new count.
    TExample *Add(std::unique_ptr<TExample> example);
    int Count() const { return static_cast<int>(m_examples.size()); }
    // The example at index, or nullptr outside the range.
    TExample *Get(int index) const;
    // True when every example's Kind is non-zero.
    bool AllDone() const;

private:
    std::vector<std::unique_ptr<TExample>> m_examples;
};
