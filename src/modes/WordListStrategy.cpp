#include "modes/WordListStrategy.h"

#include "controls/Constant.h"
#include "controls/SimpleGrid.h"
#include "controls/Symbols.h"
#include "modes/QueueWorld.h"
#include "platform/SqliteDatabase.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "sync/Operations.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

bool Is(int command, int key, int alias)
{
    return command == key || command == alias;
}

TUser *SignedInUser()
{
    return DataCenter() ? DataCenter()->CurrentUser : nullptr;
}

const TConfig &Settings()
{
    static const TConfig defaults;
    return DataCenter() ? DataCenter()->Config : defaults;
}

QString Trim(const QString &text)
{
    return TCustomSymbol::TrimBlanks(text);
}

// Removes blanks (up to U+0020) at the start only.
QString TrimLeft(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() <= 0x20)
        ++i;
    return text.mid(i);
}

// The wait cursor for the life of the guard.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

// One transaction for everything a key writes (the word states, the queued requests): the
// statements inside nest as savepoints, so the key costs one commit, not one per statement.
class TKeyTransaction
{
public:
    TKeyTransaction()
    {
        if (DataCenter() && DataCenter()->Channel && DataCenter()->Channel->database().isOpen()
            && DataCenter()->Channel->database().begin())
            m_database = &DataCenter()->Channel->database();
    }
    ~TKeyTransaction()
    {
        if (m_database && !m_database->commit())
            m_database->rollback();
    }
    TKeyTransaction(const TKeyTransaction &) = delete;
    TKeyTransaction &operator=(const TKeyTransaction &) = delete;

private:
    SqliteDatabase *m_database = nullptr;
};

// The mark keys of the English-to-Chinese list: the digit keys and the keypad digits.
int DigitOf(int command)
{
    static const int aliases[] = {-1585492410, 1624503337, -264605483, 1294770248, 493157362,
                                  1726926454,  1118429722, 1996335572, -1817132752, 1568356961};
    for (int digit = 0; digit <= 9; ++digit) {
        if (command == 10048 + digit || command == 10096 + digit || command == aliases[digit])
            return digit;
    }
    return -1;
}

} // namespace

// --- TTwoLineStrategy -----------------------------------------------------------------

TTwoLineStrategy::TTwoLineStrategy(TFoundation *foundation, TQueueWorld *world, int layerId)
    : TQueueStrategy(foundation, world, layerId),
      m_pronounceTimer(std::make_unique<QTimer>()),
      m_gridContext(std::make_unique<QObject>())
{
    QueryName = QStringLiteral("Search%1").arg(world ? world->LayerCount() : 0);
    m_pronounceTimer->setInterval(PronounceDelay);
    m_pronounceTimer->setSingleShot(false);
}

TTwoLineStrategy::~TTwoLineStrategy()
{
    m_pronounceTimer->stop();
    disconnectGridEvents();
    CurrentScreen = nullptr;
    PronounceWord = nullptr;
    ScreenCache.clear();
    PageCache.clear();
    if (DataCenter() && DataCenter()->Channel)
        DataCenter()->Channel->FreeNamed(QueryName);
}

void TTwoLineStrategy::clearCaches()
{
    CurrentScreen = nullptr;
    PronounceWord = nullptr;
    PageWords = nullptr;
    Screens = nullptr;
    ScreenCache.clear();
    PageCache.clear();
}

void TTwoLineStrategy::Load()
{
    ++m_loadGeneration;
    clearCaches();
    PageIndex = 0;
    SubPageIndex = 0;
}

void TTwoLineStrategy::Arrange()
{
    TQueueStrategy::Arrange();
    if (!World || !Grid)
        return;
    World->UseTwoColumnGrid(FirstColumnWidth());
    Grid->SetShowSelection(true);
    Grid->SetUnderlineMark(true);
    Grid->SetFirstLineMark(true);
    Grid->SetMarkColumn(0);
    Grid->SetCellStyle(0);
    QTextEdit *edit = SecondEdit();
    edit->setFixedWidth(Grid->ColWidth(1) + 3);
    QFont font(QStringLiteral("Arial"));
    if (Settings().GeneralFontSize > 0)
        font.setPointSize(Settings().GeneralFontSize);
    edit->setFont(font);
}

void TTwoLineStrategy::connectGridEvents()
{
    if (!World || !World->Grid)
        return;
    disconnectGridEvents();
    QObject::connect(World->Grid, &TSimpleGrid::OnMouseDown, m_gridContext.get(),
                     [this](int button, int x, int y) { GridMouseDown(button, x, y); });
    QObject::connect(World->Grid, &TSimpleGrid::OnDblClick, m_gridContext.get(),
                     [this] { GridDblClick(); });
    QObject::connect(m_pronounceTimer.get(), &QTimer::timeout, m_gridContext.get(),
                     [this] { PronounceTick(); });
}

void TTwoLineStrategy::disconnectGridEvents()
{
    if (World && World->Grid)
        QObject::disconnect(World->Grid, nullptr, m_gridContext.get(), nullptr);
    QObject::disconnect(m_pronounceTimer.get(), nullptr, m_gridContext.get(), nullptr);
}

void TTwoLineStrategy::Attach()
{
    TQueueStrategy::Attach();
    connectGridEvents();
}

void TTwoLineStrategy::Detach()
{
    TQueueStrategy::Detach();
    disconnectGridEvents();
    if (CurrentScreen && Grid)
        CurrentScreen->RememberedRow = Grid->SelectedRow();
}

void TTwoLineStrategy::StopTimers()
{
    m_pronounceTimer->stop();
}

void TTwoLineStrategy::Show()
{
    RefreshOnReturn();
    TQueueStrategy::Show();
    SetStatus(QStringLiteral("显示状态"), ShowMeanings ? QStringLiteral("V") : QString());
}

TTipList TTwoLineStrategy::ToolEntries(int layerId)
{
    TUser *user = SignedInUser();
    return user ? user->LayerTips(layerId, false) : TTipList{};
}

void TTwoLineStrategy::Execute(int command)
{
    if (Is(command, 10008, 2001567991)) {
        TWaitCursor wait;
        TKeyTransaction transaction;
        FinishScreen();
    } else if (Is(command, 10013, 1264331848)) {
        TKeyTransaction transaction;
        if (CurrentScreen && CurrentScreen->Count() == 0)
            Advance();
        else if (Grid)
            FinishWord(Grid->SelectedRow());
    } else if (Is(command, 10032, 2136127519)) {
        ToggleCurrentMeaning();
    } else if (Is(command, 10038, -190448394)) {
        if (Grid)
            Grid->SelectPreviousRow();
    } else if (Is(command, 10040, -1739233532)) {
        if (Grid)
            Grid->SelectNextRow();
    } else if (Is(command, 10068, 335851168)) {
        ToggleExampleTrans();
    } else if (Is(command, 10070, -1915727529)) {
        HideAll();
    } else if (Is(command, 10083, -1488102372)) {
        if (CurrentScreen && CurrentScreen->AllDone())
            HideAll();
        else
            RevealAll();
    } else if (Is(command, 10086, -1372991493)) {
        ToggleShowMeanings();
    } else if (Is(command, 10088, 126384689)) {
        ToggleScreenTrans();
    } else {
        const bool paging = Is(command, 10035, -1079199449) || Is(command, 10036, 100788470)
                            || Is(command, 10037, 2006653847) || Is(command, 10039, -1573680826);
        if (paging && CurrentScreen && Grid)
            CurrentScreen->RememberedRow = Grid->SelectedRow();
        TQueueStrategy::Execute(command);
    }
}

// --- pages and screens ----------------------------------------------------------------

std::vector<std::unique_ptr<TWord>> TTwoLineStrategy::ReadPage(int size, int page, bool done)
{
    TUser *user = SignedInUser();
    return user ? user->ReadPage(QueryName, size, nullptr, done, page) : std::vector<std::unique_ptr<TWord>>{};
}

int TTwoLineStrategy::PageCount()
{
    TUser *user = SignedInUser();
    return user ? user->PageCount(QueryName, PageSize()) : 0;
}

int TTwoLineStrategy::SubPageCount()
{
    return Screens ? int(Screens->size()) : 0;
}

bool TTwoLineStrategy::PageHasContent(int page, int subPage)
{
    if (page < 0 || page >= PageCount() || subPage < 0)
        return false;
    const auto found = ScreenCache.find(page);
    if (found == ScreenCache.end())
        return true; // not split yet
    return subPage < int(found->second.size()) && found->second[size_t(subPage)]->Count() > 0;
}

void TTwoLineStrategy::LoadPage(int page)
{
    auto cached = PageCache.find(page);
    if (cached == PageCache.end()) {
        std::vector<std::unique_ptr<TWord>> words;
        if (page >= 0 && page < PageCount())
            words = ReadPage(PageSize(), page, ShowMeanings);
        cached = PageCache.emplace(page, std::move(words)).first;
    }
    PageWords = &cached->second;

    auto screens = ScreenCache.find(page);
    if (screens != ScreenCache.end()) {
        Screens = &screens->second;
        return;
    }
    std::vector<std::unique_ptr<TPageWords>> split;
    if (Grid) {
        Grid->SetMeasuring(true);
        const int gridHeight = Grid->height();
        Grid->SetRowCount(1);
        Grid->SetRowHeight(0, gridHeight - 10);
        Grid->Cell(0, 0)->Reset();
        Grid->Cell(0, 0)->SetBold(true);
        Grid->Cell(1, 0)->Reset();
        int sum = 0;
        for (const auto &word : *PageWords) {
            const int h = ItemHeight(word.get());
            word->GridTag = h;
            const int k = split.empty() ? 0 : split.back()->Count();
            // Each row takes its height plus one pixel; k counts those pixels.
            if (split.empty() || gridHeight - k < h + sum || h > gridHeight) {
                split.push_back(std::make_unique<TPageWords>());
                sum = 0;
            }
            split.back()->Add(word.get());
            sum += h;
        }
        Grid->SetMeasuring(false);
    }
    if (split.empty())
        split.push_back(std::make_unique<TPageWords>());
    Screens = &ScreenCache.emplace(page, std::move(split)).first->second;
}

int TTwoLineStrategy::ItemHeight(TWord *item)
{
    if (!Grid || !item)
        return 0;
    Grid->SetCellText(0, 0, item->Name);
    const int h0 = Grid->MeasureCell(0, 0) + 4;
    TCell *meaning = Grid->Cell(1, 0);
    meaning->SetIndented(item->Highlight);
    meaning->SetIndent(item->Highlight ? item->CellWidth : 0);
    Grid->SetCellText(1, 0, MeaningText(*item, true));
    const int h1 = Grid->MeasureCell(1, 0) + 4;
    int height = std::max(h0, h1);
    if (item->Highlight)
        height = std::max(height, item->CellHeight);
    return height;
}

QString TTwoLineStrategy::MeaningText(const TWord &word, bool withTranslation)
{
    QString text;
    if (!Trim(word.Symbol).isEmpty())
        text = word.Symbol + QStringLiteral("$$");
    text += Trim(word.Meaning);
    if (!Trim(word.Example).isEmpty()) {
        text += QStringLiteral("\r\n【例】") + word.Example;
        if (withTranslation)
            text += QStringLiteral("\r\n") + Trim(word.ExampleTrans);
    }
    return Trim(text);
}

int TTwoLineStrategy::FirstColumnWidth()
{
    return Settings().FirstLineWidth;
}

// --- painting -------------------------------------------------------------------------

void TTwoLineStrategy::BeforePaintPage(int page, int subPage)
{
    CurrentScreen = nullptr;
    if (!Grid)
        return;
    Grid->SetShowSelection(false);
    const auto found = ScreenCache.find(page);
    if (found == ScreenCache.end() || found->second.empty()) {
        Grid->SetRowCount(0);
        return;
    }
    subPage = std::min(subPage, int(found->second.size()) - 1);
    SubPageIndex = subPage;
    CurrentScreen = found->second[size_t(subPage)].get();
    const int count = CurrentScreen->Count();
    Grid->SetShowSelection(count > 0);
    for (int row = 0; row < Grid->RowCount(); ++row)
        Grid->SetRowHeight(row, 1);
    Grid->SetRowCount(count);
    for (int row = 0; row < count; ++row)
        Grid->SetRowHeight(row, 1);
    const int remembered = CurrentScreen->RememberedRow;
    Grid->SetSelectedRow(remembered >= 0 && remembered < count ? remembered : 0);
    const TConfig &config = Settings();
    for (int row = 0; row < count; ++row) {
        TWord *word = CurrentScreen->Get(row);
        Grid->Cell(0, row)->Reset();
        Grid->Cell(1, row)->Reset();
        Grid->Cell(0, row)->SetBold(true);
        Grid->Cell(1, row)->SetSelectable(false);
        if (!word->Shown) {
            word->RelationCount = word->RelationCountFor();
            word->Shown = true;
        }
        const quint32 colour = word->RelationCount < 1 ? config.FontColor : config.SecondFontColor;
        Grid->Cell(0, row)->SetFontColor(colour);
        word->Spare = int(colour);
        Grid->SetRowHeight(row, word->GridTag);
    }
}

void TTwoLineStrategy::PaintPage(int, int)
{
    if (!CurrentScreen || !Grid)
        return;
    if (!CurrentScreen->Painted) {
        CurrentScreen->Painted = true;
        for (int i = 0; i < CurrentScreen->Count(); ++i) {
            TWord *word = CurrentScreen->Get(i);
            word->Done = ShowMeanings;
            word->ShowTrans = Settings().ShowExampleTrans;
        }
    }
    for (int row = 0; row < CurrentScreen->Count(); ++row)
        PaintRow(CurrentScreen->Get(row), row);
    Grid->SetVisible(true);
    RowSelected(Grid->SelectedRow());
}

void TTwoLineStrategy::PaintRow(TWord *word, int row)
{
    if (!word || !Grid)
        return;
    Grid->SetCellText(0, row, word->Name);
    Grid->SetCellText(1, row, word->Done ? Trim(MeaningText(*word, word->ShowTrans)) : QString());
}

TWord *TTwoLineStrategy::CurrentWord()
{
    return CurrentScreen && Grid ? CurrentScreen->Get(Grid->SelectedRow()) : nullptr;
}

int TTwoLineStrategy::RowOf(const TWord *word) const
{
    if (!CurrentScreen || !word)
        return -1;
    for (int i = 0; i < CurrentScreen->Count(); ++i) {
        if (CurrentScreen->Get(i) == word)
            return i;
    }
    return -1;
}

void TTwoLineStrategy::GridCellClicked(int, int row)
{
    RowSelected(row);
}

void TTwoLineStrategy::RowSelected(int row)
{
    if (!CurrentScreen || row < 0 || row >= CurrentScreen->Count() || !World)
        return;
    TWord *word = CurrentScreen->Get(row);
    SetStatus(QStringLiteral("单词关联"), word->Markers());
    if (Settings().ShowTipPanel) {
        const TCommandSet disabled = DisabledCommands(word);
        const auto enabled = [&disabled](int key) { return key < 0 || key > 255 || !disabled.test(size_t(key)); };
        for (TDecorateButton *button : World->ToolButtons) {
            if (button->Tag() != TQueueWorld::MoreButtonTag)
                button->setEnabled(enabled(button->Tag()));
        }
        if (World->OverflowMenu) {
            for (QAction *item : World->OverflowMenu->actions()) {
                const int key = item->data().toInt();
                if (key != MoreEntryKey)
                    item->setEnabled(enabled(key));
            }
        }
    }
    PronounceWord = word;
    m_pronounceTimer->start();
}

void TTwoLineStrategy::PronounceTick()
{
    m_pronounceTimer->stop();
    if (!SuppressPronounce && World && PronounceWord && CurrentWord() == PronounceWord)
        World->PlayWord(PronounceWord);
    SuppressPronounce = false;
}

// --- showing and hiding ---------------------------------------------------------------

void TTwoLineStrategy::HideAll()
{
    if (ctrlHeld() || !CurrentScreen)
        return;
    for (int row = 0; row < CurrentScreen->Count(); ++row) {
        CurrentScreen->Get(row)->Done = false;
        PaintRow(CurrentScreen->Get(row), row);
    }
}

void TTwoLineStrategy::RevealAll()
{
    if (ctrlHeld() || !CurrentScreen)
        return;
    for (int row = 0; row < CurrentScreen->Count(); ++row) {
        TWord *word = CurrentScreen->Get(row);
        if (!word->Done) {
            word->Done = true;
            PaintRow(word, row);
        }
    }
}

void TTwoLineStrategy::ToggleShowMeanings()
{
    ShowMeanings = !ShowMeanings;
    SetStatus(QStringLiteral("显示状态"), ShowMeanings ? QStringLiteral("V") : QString());
    if (ShowMeanings)
        RevealAll();
    else
        HideAll();
    ShowMeaningsChanged();
}

void TTwoLineStrategy::ToggleExampleTrans()
{
    TWord *word = CurrentWord();
    if (!word)
        return;
    word->ShowTrans = !word->ShowTrans;
    PaintRow(word, Grid->SelectedRow());
}

void TTwoLineStrategy::ToggleScreenTrans()
{
    if (!CurrentScreen || !Grid)
        return;
    CurrentScreen->RememberedRow = Grid->SelectedRow();
    bool all = true;
    for (int i = 0; i < CurrentScreen->Count(); ++i)
        all = all && CurrentScreen->Get(i)->ShowTrans;
    for (int i = 0; i < CurrentScreen->Count(); ++i)
        CurrentScreen->Get(i)->ShowTrans = !all;
    Repaint();
}

void TTwoLineStrategy::ToggleCurrentMeaning()
{
    TWord *word = CurrentWord();
    if (!word)
        return;
    word->Done = !word->Done;
    PaintRow(word, Grid->SelectedRow());
}

// --- finishing words ------------------------------------------------------------------

void TTwoLineStrategy::dropWord(TWord *word)
{
    if (PronounceWord == word)
        PronounceWord = nullptr;
    const int row = RowOf(word);
    if (row >= 0)
        CurrentScreen->Delete(row);
    if (PageWords) {
        auto owned = std::find_if(PageWords->begin(), PageWords->end(),
                                  [word](const std::unique_ptr<TWord> &w) { return w.get() == word; });
        if (owned != PageWords->end())
            PageWords->erase(owned);
    }
}

bool TTwoLineStrategy::RemoveWord(int row)
{
    if (!CurrentScreen || row < 0 || row >= CurrentScreen->Count())
        return true;
    dropWord(CurrentScreen->Get(row));
    return true;
}

void TTwoLineStrategy::FinishWord(int row)
{
    if (!CurrentScreen || !Grid || row < 0 || row >= CurrentScreen->Count())
        return;
    if (!RemoveWord(row))
        return; // the whole list was reloaded and is already on show
    if (CurrentScreen->Count() > 0) {
        Grid->DeleteRow(row);
        CurrentScreen->RememberedRow = std::min(row, CurrentScreen->Count() - 1);
        Grid->SetSelectedRow(CurrentScreen->RememberedRow);
        Repaint();
    } else {
        Advance();
    }
}

void TTwoLineStrategy::FinishScreen()
{
    if (!CurrentScreen)
        return;
    if (CurrentScreen->Count() == 0) {
        Advance();
        return;
    }
    while (CurrentScreen->Count() > 0)
        dropWord(CurrentScreen->Get(0));
    Advance();
}

// --- grid events ----------------------------------------------------------------------

void TTwoLineStrategy::GridMouseDown(int button, int x, int y)
{
    if (!CurrentScreen || !Grid || !World)
        return;
    const TGridHit hit = Grid->HitTest(x, y);
    if (button == 0)
        World->CloseWordCard();
    if (hit.Row < 0 || hit.Row >= CurrentScreen->Count())
        return;
    TWord *word = CurrentScreen->Get(hit.Row);
    if (hit.Column == 1 && Settings().PronounceOnClick)
        SuppressPronounce = true;
    Grid->SelectCell(0, hit.Row);
    if (button == 1 && hit.Column == 0) {
        word->Done = !word->Done;
        PaintRow(word, hit.Row);
    }
    if (hit.Column != 1)
        return;
    TCell *cell = Grid->Cell(1, hit.Row);
    const QString under = WordAtPoint(Grid->ColWidth(1), Grid->RowHeight(hit.Row), &cell->Font(),
                                      cell->Text(), hit.Point, 0);
    if (button == 0 && Settings().PronounceOnClick)
        PlayText(under);
    else if (button == 1)
        World->ShowWordCard(QCursor::pos(), under);
}

void TTwoLineStrategy::GridDblClick()
{
    if (!CurrentScreen || !Grid)
        return;
    if (CurrentScreen->Count() == 0) {
        Advance();
        return;
    }
    const QPoint local = Grid->mapFromGlobal(QCursor::pos());
    const TGridHit hit = Grid->HitTest(local.x(), local.y());
    // A double click arrives after the button-down that selected the row.
    const int row = hit.Row >= 0 ? hit.Row : Grid->SelectedRow();
    FinishWord(row);
}

// --- refresh on return ----------------------------------------------------------------

bool TTwoLineStrategy::remeasureScreen(TPageWords &screen)
{
    if (!Grid)
        return false;
    bool changed = false;
    int total = 0;
    Grid->SetMeasuring(true);
    const int saved = Grid->RowCount();
    Grid->SetRowCount(std::max(1, saved));
    for (int i = 0; i < screen.Count(); ++i) {
        TWord *word = screen.Get(i);
        if (World->ChangedWords.contains(QString::number(word->WordId))) {
            word->ReloadTexts();
            changed = true;
        }
        word->GridTag = ItemHeight(word);
        total += word->GridTag + 1;
    }
    Grid->SetRowCount(saved);
    Grid->SetMeasuring(false);
    return changed && total > Grid->height();
}

void TTwoLineStrategy::RefreshOnReturn()
{
    if (!World || World->RefreshDepth < World->LayerCount())
        return;
    World->RefreshDepth -= 1;
    if (World->RefreshPending) {
        std::vector<int> dropped;
        for (auto &[page, screens] : ScreenCache) {
            for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
                if (remeasureScreen(**it)) {
                    dropped.push_back(page);
                    break;
                }
            }
        }
        for (int page : dropped) {
            ScreenCache.erase(page);
            if (PageIndex == page) {
                CurrentScreen = nullptr;
                Screens = nullptr;
            }
        }
        if (World->LayerCount() == 1) {
            World->ChangedWords.clear();
            World->RefreshDepth = 0;
            World->RefreshPending = false;
        }
    }
    if (!World->LookedUpWords.isEmpty()) {
        for (auto &[page, words] : PageCache) {
            for (const auto &word : words) {
                if (World->LookedUpWords.contains(QString::number(word->WordId)))
                    word->RelationCount = word->RelationCountFor();
            }
        }
        RefreshCurrentWord();
        if (World->LayerCount() == 1)
            World->LookedUpWords.clear();
    }
}

// --- TStandardStrategy ----------------------------------------------------------------

TStandardStrategy::TStandardStrategy(TFoundation *foundation, TQueueWorld *world, TUserBook *book,
                                     int layerId)
    : TTwoLineStrategy(foundation, world, layerId), Book(book)
{
}

quint32 TStandardStrategy::MarkColor(int mark)
{
    switch (mark) {
    case 1:
        return 0xF0CAA6;
    case 2:
        return 0x00FFFF;
    case 11:
        return 0x38900D;
    default:
        return mark >= 3 && mark <= 10 ? 0xFF00FE : 0;
    }
}

void TStandardStrategy::Load()
{
    TTwoLineStrategy::Load();
    DownloadDueWords();
    ShowMeanings = Settings().AlwaysShowTrans;
    if (TUser *user = SignedInUser()) {
        user->OpenPage(QueryName);
        user->DropLayerTips(LayerId);
    }
    ModeName = QStringLiteral("背词");
}

void TStandardStrategy::Attach()
{
    TTwoLineStrategy::Attach();
    if (World)
        World->EnableBookSetup(true);
}

void TStandardStrategy::Detach()
{
    TTwoLineStrategy::Detach();
    if (World)
        HidePictures();
}

void TStandardStrategy::Show()
{
    TTwoLineStrategy::Show();
    if (!World)
        return;
    SetStatus(QStringLiteral("书本状态"), QStringLiteral("背词") + QString::number(World->LayerCount()));
    ShowStudiedCount();
}

void TStandardStrategy::ShowStudiedCount()
{
    if (Book)
        SetStatus(QStringLiteral("今天背记词数"),
                  QStringLiteral("%1(%2)W").arg(Book->ShownCount).arg(Book->NewCount));
}

TTipList TStandardStrategy::ToolEntries(int layerId)
{
    TUser *user = SignedInUser();
    return user ? user->LayerTips(layerId, Book != nullptr) : TTipList{};
}

bool TStandardStrategy::CanClose()
{
    return Confirm(QStringLiteral("您是否退出单词练习？"));
}

int TStandardStrategy::PageSize()
{
    return Settings().RefillSize;
}

std::vector<std::unique_ptr<TWord>> TStandardStrategy::ReadPage(int size, int page, bool done)
{
    TUser *user = SignedInUser();
    return user ? user->ReadPage(QueryName, size, Book, done, page) : std::vector<std::unique_ptr<TWord>>{};
}

void TStandardStrategy::Execute(int command)
{
    const int digit = DigitOf(command);
    if (digit > 0)
        SetMark(digit);
    else if (digit == 0)
        SetMark(10);
    else if (command == 10107 || command == 10187 || command == -387208861)
        SetMark(11);
    else if (Is(command, 10072, -233778614))
        ToggleMarkedView();
    else if (Is(command, 10075, -1741259785)) {
        TKeyTransaction transaction;
        FinishUnmarked();
    }
    else if (Is(command, 10116, -1813039582))
        Reload();
    else
        TTwoLineStrategy::Execute(command);
}

int TStandardStrategy::ItemHeight(TWord *item)
{
    if (!item)
        return 0;
    const TConfig &config = Settings();
    item->Highlight = PicturesAllowed && config.ShowPicture && HasPicture(*item);
    item->CellWidth = config.CellWidth;
    item->CellHeight = config.CellHeight + 5;
    return TTwoLineStrategy::ItemHeight(item);
}

QString TStandardStrategy::MeaningText(const TWord &word, bool withTranslation)
{
    QString rest = word.Meaning + QStringLiteral("\r\n【例】") + Trim(word.Example);
    if (withTranslation)
        rest += QStringLiteral("\r\n") + Trim(word.ExampleTrans);
    return word.Symbol + QStringLiteral("$$") + TrimLeft(rest);
}

void TStandardStrategy::PaintPage(int page, int subPage)
{
    if (World)
        HidePictures();
    if (CurrentScreen && !CurrentScreen->Painted) {
        const TConfig &config = Settings();
        CurrentScreen->DefaultMark = quint8(config.InitialState);
        for (int i = 0; i < CurrentScreen->Count(); ++i)
            CurrentScreen->Get(i)->FrameColor = config.FrameColor;
        SetStatus(QStringLiteral("每页词数"), QString());
    }
    TTwoLineStrategy::PaintPage(page, subPage);
}

void TStandardStrategy::PaintRow(TWord *word, int row)
{
    if (!word || !Grid)
        return;
    const TConfig &config = Settings();
    TCell *meaning = Grid->Cell(1, row);
    meaning->SetIndented(word->Highlight);
    meaning->SetIndent(word->Highlight ? config.CellWidth : 0);
    const quint32 colour = MarkColor(word->Mark);
    Grid->Cell(0, row)->SetBackColor(colour ? colour : Grid->Background());
    if (word->Highlight && World) {
        QLabel *picture = PictureControl(row);
        if (word->Done) {
            const QRect cell = Grid->CellRectOnHost(1, row);
            picture->setGeometry(cell.left(), cell.top(), config.CellWidth, config.CellHeight);
            picture->setPixmap(QPixmap(PicturePath(*word)));
        }
        picture->setVisible(word->Done);
    }
    TTwoLineStrategy::PaintRow(word, row);
}

void TStandardStrategy::RowSelected(int row)
{
    TTwoLineStrategy::RowSelected(row);
    if (CurrentScreen && row >= 0 && row < CurrentScreen->Count())
        ShowStateLabels(CurrentScreen->Get(row));
}

void TStandardStrategy::ShowStateLabels(const TWord *word)
{
    SetStatus(QStringLiteral("记忆状态"), QString());
    SetStatus(QStringLiteral("记忆分值"), QString());
    if (!word || !DataCenter())
        return;
    const TDataCenter &centre = *DataCenter();
    const int d = CurrentScreen ? CurrentScreen->DefaultMark : Settings().InitialState;
    const int m = word->Mark != 0 ? word->Mark : d;
    SetStatus(QStringLiteral("记忆状态"), QStringLiteral("%1%2(%3%4)")
                                           .arg(TDataCenter::StateLabel(m))
                                           .arg(centre.StateValue(m))
                                           .arg(TDataCenter::StateLabel(d))
                                           .arg(centre.StateValue(d)));
    const int b = word->Mark != 0 ? word->Mark : (CurrentScreen ? CurrentScreen->DefaultMark : 11);
    SetStatus(QStringLiteral("记忆分值"),
              QStringLiteral("%1->%2").arg(word->Ability).arg(word->NextAbility(b)));
}

void TStandardStrategy::SetMark(int mark)
{
    if (ctrlHeld() || !CurrentScreen || !Grid || mark <= 0)
        return;
    if (mark > TUserBook::MaxState && mark != 11)
        return;
    const int row = Grid->SelectedRow();
    TWord *word = CurrentScreen->Get(row);
    if (!word)
        return;
    word->Mark = quint8(mark);
    Grid->Cell(0, row)->SetBackColor(MarkColor(mark));
    ShowStateLabels(word);
}

bool TStandardStrategy::CommitWord(TWord *word)
{
    if (!word)
        return true;
    if (Book) {
        Book->ShownCount += 1;
        if (word->StudyCount <= 0)
            Book->NewCount += 1;
    }
    ShowStudiedCount();
    word->Commit();
    if (DataCenter() && DataCenter()->DueCount <= 0) {
        Reload();
        return false;
    }
    return true;
}

bool TStandardStrategy::RemoveWord(int row)
{
    if (!CurrentScreen || row < 0 || row >= CurrentScreen->Count())
        return true;
    TWord *word = CurrentScreen->Get(row);
    if (word->Mark == 0)
        word->Mark = CurrentScreen->DefaultMark;
    // Committing the last due word reloads the list, which frees this word too.
    if (!CommitWord(word))
        return false;
    return TTwoLineStrategy::RemoveWord(row);
}

void TStandardStrategy::FinishScreen()
{
    if (!CurrentScreen)
        return;
    if (CurrentScreen->Count() == 0) {
        if (PageIndex < PageCount())
            Advance();
        return;
    }
    if (Book) {
        Book->ShownCount += CurrentScreen->Count();
        for (int i = 0; i < CurrentScreen->Count(); ++i) {
            if (CurrentScreen->Get(i)->StudyCount <= 0)
                Book->NewCount += 1;
        }
    }
    ShowStudiedCount();
    SendPageMarks(*CurrentScreen);
    while (CurrentScreen->Count() > 0)
        dropWord(CurrentScreen->Get(0));
    if (DataCenter() && DataCenter()->DueCount > 0)
        Advance();
    else
        Reload();
}

void TStandardStrategy::FinishUnmarked()
{
    if (!CurrentScreen)
        return;
    if (CurrentScreen->Count() > 0 || PageIndex >= PageCount()) {
        const int generation = loadGeneration();
        for (int row = CurrentScreen->Count() - 1; row >= 0; --row) {
            if (CurrentScreen->Get(row)->Mark == 0 && !RemoveWord(row))
                return;
        }
        if (generation != loadGeneration())
            return;
        if (CurrentScreen->Count() > 0) {
            CurrentScreen->RememberedRow = 0;
            Activate();
            return;
        }
    }
    Advance();
}

void TStandardStrategy::Reload()
{
    Load();
    Activate();
}

void TStandardStrategy::ToggleMarkedView()
{
    if (!CurrentScreen || CurrentScreen->Count() == 0)
        return;
    CurrentScreen->MarkedView = !CurrentScreen->MarkedView;
    for (int row = 0; row < CurrentScreen->Count(); ++row) {
        TWord *word = CurrentScreen->Get(row);
        word->Done = CurrentScreen->MarkedView ? word->Mark != 0 : word->Mark == 0;
        PaintRow(word, row);
    }
}

void TStandardStrategy::GridMouseDown(int button, int x, int y)
{
    if (!CurrentScreen || !Grid || !World)
        return;
    const TGridHit hit = Grid->HitTest(x, y);
    if (button == 0)
        World->CloseWordCard();
    if (hit.Row < 0 || hit.Row >= CurrentScreen->Count())
        return;
    const TConfig &config = Settings();
    TWord *word = CurrentScreen->Get(hit.Row);
    if (hit.Column == 1 && config.PronounceOnClick)
        SuppressPronounce = true;
    Grid->SelectCell(0, hit.Row);
    if (button == 1 && hit.Column == 0) {
        word->Done = !word->Done;
        PaintRow(word, hit.Row);
    }
    if (hit.Column != 1)
        return;
    TCell *cell = Grid->Cell(1, hit.Row);
    const int indent = word->Highlight && config.ShowPicture && cell->Indented() ? config.CellWidth : 0;
    const QString under = WordAtPoint(Grid->ColWidth(1), Grid->RowHeight(hit.Row), &cell->Font(),
                                      cell->Text(), hit.Point, indent);
    if (button == 0 && config.PronounceOnClick)
        PlayText(under);
    else if (button == 1)
        World->ShowWordCard(Grid->mapToGlobal(QPoint(x, y)), under);
}

// --- TReverseStrategy -----------------------------------------------------------------

TReverseStrategy::TReverseStrategy(TFoundation *foundation, TQueueWorld *world, TUserBook *book)
    : TStandardStrategy(foundation, world, book, 2)
{
}

QString TReverseStrategy::RevealText(const TWord &word, bool revealed)
{
    return Trim(word.Meaning) + QStringLiteral("$$") + word.Name
           + (revealed ? QStringLiteral("##%%%") : QStringLiteral("##{{{"));
}

void TReverseStrategy::Arrange()
{
    TStandardStrategy::Arrange();
    if (Grid)
        Grid->SetCellStyle(1);
}

int TReverseStrategy::ItemHeight(TWord *item)
{
    if (!Grid || !item)
        return 0;
    TCell *meaning = Grid->Cell(1, 0);
    meaning->SetIndented(false);
    meaning->SetIndent(0);
    Grid->SetCellText(1, 0, RevealText(*item, true));
    return Grid->MeasureCell(1, 0) + 4;
}

int TReverseStrategy::FirstColumnWidth()
{
    QFont font(QStringLiteral("Arial"));
    if (Settings().GeneralFontSize > 0)
        font.setPointSize(Settings().GeneralFontSize);
    font.setBold(true);
    return TFoundation::MeasureTextWidth(font, QStringLiteral("999"));
}

void TReverseStrategy::PaintRow(TWord *word, int row)
{
    TStandardStrategy::PaintRow(word, row);
    if (!word || !Grid)
        return;
    Grid->Cell(0, row)->SetBold(false);
    Grid->SetCellText(0, row, QString::number(word->PagePosition));
    Grid->SetCellText(1, row, RevealText(*word, word->Done));
}
