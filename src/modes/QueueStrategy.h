#pragma once

#include "modes/Strategy.h"
#include "store/User.h"

#include <QFont>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <bitset>
#include <memory>

class QAction;
class QLabel;
class QTextEdit;
class TQueueWorld;
class TSimpleGrid;
class TWord;

// What kind of layer a mode is. The host refuses to stack a second layer of the kind on
// top (a dictionary layer over a dictionary layer...). A subclass keeps the kind of its
// base unless it is a kind of its own, so "is a TStandardStrategy or a subclass" reads as
// Kind() == WordList.
enum class TLayerKind {
    Other,
    WordList,   // TStandardStrategy and its subclasses (the two list modes)
    OneWord,    // TOneWordStrategy and its subclasses (spelling, dictation)
    Search,     // TSearchStrategy
    Example,    // TExampleStrategy
    Dictionary, // TDictionarysStrategy
    WordInfo,   // TWordInfoStrategy
    SpellDrill, // TSpellDrillStrategy
    Statistics, // TBookStatisticsStrategy
    Reading,    // TTextStrategy
    Writing,    // TWritingStrategy
    Exercise,   // TNewTestStrategy
    Subjective, // TSubjectStrategy
};

// Command ids a mode greys out for a word (0..255; larger ids are never disabled).
using TCommandSet = std::bitset<256>;

// The base of every mode the user sees: pages split into sub-pages (screens), the status
// labels around the word grid, the tool buttons of the layer with their overflow menu,
// hints, the word under the mouse, pictures, sounds and the colour pens.
//
// Commands (key code + 10000, or the alias):
//   10035 End   -1079199449  LastPage       10036 Home  100788470   FirstPage
//   10037 Left   2006653847  PreviousPage   10039 Right -1573680826 NextPage
//   10065 A      1740462515  OpenExamples   10074 J      1190019248 ReportCurrentRelation
//   10076 L      -697147506  LocatePage     10081 Q      1910660512 OpenWordInfo
//   10186 ;       187360367  CheckRelations
class TQueueStrategy : public TStrategy
{
public:
    static constexpr int MoreEntryKey = 0x7FFFFFFD;
    static constexpr int MaxSubPages = 200; // upper bound on sub-pages per page
    static constexpr int HintLifeTicks = 8; // a hint stays for this many ticks + 1

    // layerId selects the stored tool buttons and tips (0 for layers without one).
    // Subclasses pass their id here; no virtual call can reach them from this constructor.
    TQueueStrategy(TFoundation *foundation, TQueueWorld *world, int layerId = 0);
    ~TQueueStrategy() override;

    // TStrategy
    void Attach() override;
    void Execute(int command) override;
    void Detach() override;
    void Show() override;
    void Repaint() override;
    void Arrange() override;

    virtual TLayerKind Kind() const { return TLayerKind::Other; }
    // The book a word-book layer studies (none for other layers).
    virtual TUserBook *StudyBook() const { return nullptr; }

    // Virtual operations of the page base, in their order.
    virtual bool WantWindowSize(int &width, int &height);
    virtual void OpenExamples();
    virtual void OpenWordInfo();
    virtual void SetupBook() {}
    virtual void StopTimers() {}
    virtual TTipList ToolEntries(int layerId);
    virtual void GridCellClicked(int column, int row);
    virtual void PensChanged() {}
    virtual void BeforePaintPage(int page, int subPage);
    virtual void CheckRelations();
    virtual void AddPopupWordToNotes();
    virtual TWord *PopupWord();
    virtual TWord *CurrentWord() { return nullptr; }
    virtual TCommandSet DisabledCommands(const TWord *word);
    virtual int ItemHeight(TWord *item);
    virtual void ReportCurrentRelation();
    virtual bool PageHasContent(int page, int subPage);
    virtual void LoadPage(int page);
    virtual void PaintPage(int page, int subPage);
    virtual int PageCount();
    virtual int SubPageCount();
    virtual void ReportRelation(TWord *word);
    virtual bool CanClose() { return true; }
    virtual void Exhausted() {}
    virtual void PreviousPage();
    virtual void NextPage();
    virtual void FirstPage();
    virtual void LastPage();
    virtual void ApplyLayout();

    // Paging.
    void GoToPage(int page, int subPage);
    void Advance();
    // The first position with content from (page, subPage) onwards; false when none.
    bool ScanForward(int page, int subPage, int &foundPage, int &foundSubPage);
    // The first position with content from (page, subPage) backwards; false when none.
    bool ScanBackward(int page, int subPage, int &foundPage, int &foundSubPage);
    void RefreshCurrentWord();
    void LocatePage();

    // Status labels by their short name (without "提示"); width -1 = the stored width.
    void SetStatus(const QString &name, const QString &text, int width = -1);
    void SetBookTitle(const QString &text, int width);
    void ClearStatus();
    void ArrangeStatus();

    // Lays the entries out on the host's tool panel; what does not fit goes to the
    // overflow menu, followed by MoreEntry.
    void LayoutToolButtons(const TTipList &entries, const TCommandSet &disabled);

    // The maximal run of ASCII letters under point in a cell of the given size holding
    // cellText ("$$" markers removed); empty over anything else.
    QString WordAtPoint(int cellWidth, int cellHeight, const QFont *font, const QString &cellText,
                        const QPoint &point, int indent);
    void PlayText(const QString &text);
    static QString PicturePath(const TWord &word);
    static bool HasPicture(const TWord &word);
    QLabel *PictureControl(int number);
    void HidePictures();

    // Colour pens.
    void BuildPenMenu();
    void ChoosePen(quint32 colour);
    void NewPen();
    // Adds a pen for the signed-in user as rank 1 (the others move one rank down, only
    // the 100 most recent are kept) and selects it; false when nothing was stored.
    bool AddPen(quint32 colour, const QString &title);
    // The pen management dialog comes with the management dialogs; until then nothing.
    void ManagePens();

    // Hints: the application hint handler and the host-timer listener.
    void ShowHint(const QString &hint);
    void HintTick();

    TQueueWorld *World = nullptr; // not owned
    QString ModeName;
    TSimpleGrid *Grid = nullptr; // the host's; taken in Arrange
    int PageIndex = 0;
    int SubPageIndex = 0;
    QString BookTitle;
    int BookTitleWidth = -1;
    int LayerId = 0;
    TTip MoreEntry;
    int HintTicks = 0;
    QStringList Strings; // for subclasses

protected:
    QTextEdit *ProbeEdit() const { return m_probeEdit.get(); }
    QTextEdit *SecondEdit() const { return m_secondEdit.get(); }

private:
    void connectGrid();
    void disconnectGrid();
    void showPageLabels();

    std::unique_ptr<QTextEdit> m_probeEdit;
    std::unique_ptr<QTextEdit> m_secondEdit;
    bool m_attached = false;
};
