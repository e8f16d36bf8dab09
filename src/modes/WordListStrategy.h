#pragma once

#include "modes/QueueStrategy.h"
#include "store/Word.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

class QObject;
class QTimer;

// The two-column word list: a page of words is split into screens that fit the grid by
// the measured height of every word; the word in column 0, its meaning (revealed on
// demand) in column 1. The selected word is pronounced half a second after it was
// selected, unless the selection moved on.
//
// Commands (key code + 10000, or the alias), before those of the page base:
//   10008 Backspace  2001567991 FinishScreen      10013 Enter  1264331848 FinishWord / Advance
//   10032 Space      2136127519 reveal/hide word  10038 Up     -190448394 previous row
//   10040 Down      -1739233532 next row          10068 D       335851168 ToggleExampleTrans
//   10070 F         -1915727529 hide all          10083 S     -1488102372 reveal or hide all
//   10086 V         -1372991493 ToggleShowMeanings 10088 X      126384689 screen translations
//   End, Home, Left, Right: remember the selected row, then page.
class TTwoLineStrategy : public TQueueStrategy
{
public:
    static constexpr int PronounceDelay = 500;

    TTwoLineStrategy(TFoundation *foundation, TQueueWorld *world, int layerId);
    ~TTwoLineStrategy() override;

    // TStrategy
    void Attach() override;
    void Execute(int command) override;
    void Detach() override;
    void Show() override;
    void Load() override;
    void Arrange() override;

    // Page base.
    void StopTimers() override;
    TTipList ToolEntries(int layerId) override;
    void GridCellClicked(int column, int row) override;
    void BeforePaintPage(int page, int subPage) override;
    TWord *CurrentWord() override;
    int ItemHeight(TWord *item) override;
    bool PageHasContent(int page, int subPage) override;
    void LoadPage(int page) override;
    void PaintPage(int page, int subPage) override;
    int PageCount() override;
    int SubPageCount() override;

    // Added operations, in their order.
    virtual void ShowMeaningsChanged() {}
    virtual void ToggleShowMeanings();
    virtual void ToggleExampleTrans();
    virtual int PageSize() { return 50; }
    virtual QString MeaningText(const TWord &word, bool withTranslation);
    // Takes the word of the row out of the screen and the page and frees it. False when
    // committing it reloaded the whole list (every cached word is gone then).
    virtual bool RemoveWord(int row);
    virtual void FinishScreen();
    virtual std::vector<std::unique_ptr<TWord>> ReadPage(int size, int page, bool done);
    virtual void FinishWord(int row);
    virtual int FirstColumnWidth();
    virtual void PaintRow(TWord *word, int row);
    virtual void RowSelected(int row);
    // Grid events: button 0 left, 1 right; x, y in grid coordinates.
    virtual void GridMouseDown(int button, int x, int y);
    virtual void GridDblClick();

    // Every meaning hidden / revealed (nothing while Ctrl is held).
    void HideAll();
    void RevealAll();
    void ToggleScreenTrans();
    void ToggleCurrentMeaning();
    void PronounceTick();
    // The refresh after a lookup layer above this one was closed.
    void RefreshOnReturn();
    // The row of word in the current screen, -1 when it is not there.
    int RowOf(const TWord *word) const;
    QTimer *PronounceTimer() const { return m_pronounceTimer.get(); }

    bool ShowMeanings = false;
    QString QueryName;
    std::map<int, std::vector<std::unique_ptr<TWord>>> PageCache;
    std::map<int, std::vector<std::unique_ptr<TPageWords>>> ScreenCache;
    std::vector<std::unique_ptr<TWord>> *PageWords = nullptr;
    std::vector<std::unique_ptr<TPageWords>> *Screens = nullptr;
    TPageWords *CurrentScreen = nullptr;
    TWord *PronounceWord = nullptr;
    bool SuppressPronounce = false;

protected:
    bool ctrlHeld() const { return (Flags & CtrlFlag) != 0; }
    void clearCaches();
    // Counts Load calls, so an operation can tell that the caches were rebuilt under it.
    int loadGeneration() const { return m_loadGeneration; }
    // Frees word from the screen and its page.
    void dropWord(TWord *word);

private:
    void connectGridEvents();
    void disconnectGridEvents();
    bool remeasureScreen(TPageWords &screen);

    std::unique_ptr<QTimer> m_pronounceTimer;
    std::unique_ptr<QObject> m_gridContext; // receives the grid's click events
    int m_loadGeneration = 0;
};

// English to Chinese (layer 1): the due words of a book, with memory states set by the
// digit keys and committed one by one or a screen at a time.
//
// Commands, before those of the two-line list:
//   1..9 (10049..10057, keypad 10097..10105) SetMark(digit); 0 / keypad 0 SetMark(10);
//   keypad + (10107) and = (10187) SetMark(11); H (10072) ToggleMarkedView;
//   K (10075) FinishUnmarked; F5 (10116) Reload.
class TStandardStrategy : public TTwoLineStrategy
{
public:
    TStandardStrategy(TFoundation *foundation, TQueueWorld *world, TUserBook *book, int layerId = 1);

    TLayerKind Kind() const override { return TLayerKind::WordList; }
    TUserBook *StudyBook() const override { return Book; }

    void Attach() override;
    void Execute(int command) override;
    void Detach() override;
    void Show() override;
    void Load() override;
    TTipList ToolEntries(int layerId) override;
    int ItemHeight(TWord *item) override;
    void PaintPage(int page, int subPage) override;
    bool CanClose() override;

    int PageSize() override;
    QString MeaningText(const TWord &word, bool withTranslation) override;
    bool RemoveWord(int row) override;
    void FinishScreen() override;
    std::vector<std::unique_ptr<TWord>> ReadPage(int size, int page, bool done) override;
    void PaintRow(TWord *word, int row) override;
    void RowSelected(int row) override;
    void GridMouseDown(int button, int x, int y) override;

    virtual void SetMark(int mark);
    virtual void ToggleMarkedView();

    // Commits the word's state; false when that used up the due words and reloaded.
    bool CommitWord(TWord *word);
    void FinishUnmarked();
    void Reload();
    void ShowStateLabels(const TWord *word);
    void ShowStudiedCount();

    // The background colour of a mark in column 0; 0 for none.
    static quint32 MarkColor(int mark);

    TUserBook *Book = nullptr; // not owned
    bool PicturesAllowed = true;
};

// Chinese to English (layer 2): a running number and the meaning; the English word is
// revealed on demand.
class TReverseStrategy : public TStandardStrategy
{
public:
    TReverseStrategy(TFoundation *foundation, TQueueWorld *world, TUserBook *book);

    void Arrange() override;
    int ItemHeight(TWord *item) override;
    int FirstColumnWidth() override;
    void PaintRow(TWord *word, int row) override;

    // The meaning, then the word as the answer of cell style 1, shown or hidden.
    static QString RevealText(const TWord &word, bool revealed);
};
