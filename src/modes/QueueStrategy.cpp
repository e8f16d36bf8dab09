#include "modes/QueueStrategy.h"

#include "controls/Constant.h"
#include "controls/RichEdits.h"
#include "controls/SimpleGrid.h"
#include "controls/Symbols.h"
#include "dialogs/LocatePagefrm.h"
#include "modes/QueueWorld.h"
#include "platform/AppPaths.h"
#include "platform/SqliteDataset.h"
#include "platform/gui/Colors.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "store/Statements.h"
#include "store/Word.h"
#include "sync/Operations.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QTime>

#include <cmath>

namespace {

// Command codes of the page base: the key command and its alias.
bool Is(int command, int key, int alias)
{
    return command == key || command == alias;
}

TDataCenter &Centre()
{
    return *DataCenter();
}

TUser *SignedInUser()
{
    return DataCenter() ? DataCenter()->CurrentUser : nullptr;
}

int SignedInUserId()
{
    TUser *user = SignedInUser();
    return user ? user->UserId : 0;
}

TAdoChannel *Channel()
{
    return DataCenter() ? DataCenter()->Channel.get() : nullptr;
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

QIcon Swatch(quint32 bgr)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(vocamo::colorFromWin(bgr));
    return QIcon(pixmap);
}

// Never shown, so it needs no parent: it only lays text out.
std::unique_ptr<QTextEdit> HiddenEdit()
{
    auto edit = std::make_unique<QTextEdit>();
    edit->hide();
    edit->setFrameShape(QFrame::NoFrame);
    edit->setLineWrapMode(QTextEdit::WidgetWidth);
    edit->setWordWrapMode(QTextOption::WordWrap);
    edit->setAcceptRichText(false);
    return edit;
}

const QStringList &BottomRow()
{
    static const QStringList names = {
        QStringLiteral("提示书本状态"), QStringLiteral("提示显示状态"), QStringLiteral("提示单词关联"),
        QStringLiteral("提示记忆分值"), QStringLiteral("提示记忆状态"), QStringLiteral("提示每页词数"),
        QStringLiteral("提示今天背记词数"), QStringLiteral("提示背记时间"), QStringLiteral("提示当前时间"),
        QStringLiteral("提示总页数")};
    return names;
}

} // namespace

TQueueStrategy::TQueueStrategy(TFoundation *foundation, TQueueWorld *world, int layerId)
    : TStrategy(foundation), World(world), LayerId(layerId)
{
    MoreEntry.Key = MoreEntryKey;
    MoreEntry.Title = QStringLiteral("更多...");
    MoreEntry.Caption = QStringLiteral("显示更多的功能菜单");
    m_probeEdit = HiddenEdit();
    m_secondEdit = HiddenEdit();
}

TQueueStrategy::~TQueueStrategy()
{
    if (m_attached)
        Detach();
    disconnectGrid();
    if (World)
        HidePictures();
}

// --- activation -------------------------------------------------------------------

void TQueueStrategy::Attach()
{
    if (!World)
        return;
    m_attached = true;
    World->EnableBookSetup(false);
    World->AddTimerListener(this, [this] { HintTick(); });
    connectGrid();
    World->HintHandler = [this](const QString &hint) { ShowHint(hint); };
}

void TQueueStrategy::Detach()
{
    if (!World)
        return;
    m_attached = false;
    World->HintHandler = nullptr;
    World->RemoveTimerListener(this);
}

void TQueueStrategy::connectGrid()
{
    if (!World || !World->Grid)
        return;
    disconnectGrid();
    QObject::connect(World->Grid, &TSimpleGrid::OnSelectCell, m_probeEdit.get(),
                     [this](int column, int row) { GridCellClicked(column, row); });
}

void TQueueStrategy::disconnectGrid()
{
    if (World && World->Grid && m_probeEdit)
        QObject::disconnect(World->Grid, &TSimpleGrid::OnSelectCell, m_probeEdit.get(), nullptr);
}

void TQueueStrategy::Execute(int command)
{
    if (Is(command, 10035, -1079199449))
        LastPage();
    else if (Is(command, 10036, 100788470))
        FirstPage();
    else if (Is(command, 10037, 2006653847))
        PreviousPage();
    else if (Is(command, 10039, -1573680826))
        NextPage();
    else if (Is(command, 10065, 1740462515))
        OpenExamples();
    else if (Is(command, 10074, 1190019248))
        ReportCurrentRelation();
    else if (Is(command, 10076, -697147506))
        LocatePage();
    else if (Is(command, 10081, 1910660512))
        OpenWordInfo();
    else if (Is(command, 10186, 187360367))
        CheckRelations();
    else
        TStrategy::Execute(command);
}

void TQueueStrategy::Show()
{
    if (!World)
        return;
    const TConfig &config = Centre().Config;
    World->Timer->SetInterval(TQueueWorld::ShowInterval);
    World->Timer->SetEnabled(false);
    World->Timer->SetEnabled(true);

    World->ToolPanel->setVisible(config.ShowTipPanel);
    if (config.ShowTipPanel) {
        World->MoreButton->hide();
        for (TDecorateButton *button : World->ToolButtons)
            button->hide();
        World->ToolPanel->hide();
        World->ToolPanel->show();
        World->ToolPanel->update();
        LayoutToolButtons(ToolEntries(LayerId), DisabledCommands(CurrentWord()));
    }
    ClearStatus();
    SetStatus(QStringLiteral("当前时间"), QTime::currentTime().toString(QStringLiteral("hh:mm")));
    SetStatus(QStringLiteral("书本状态"), ModeName + QString::number(World->LayerCount()));
    TUser *user = SignedInUser();
    const QString title = user && user->CurrentBook ? user->CurrentBook->BookName : QString();
    SetBookTitle(QStringLiteral("[%1]").arg(title), -1);
    GoToPage(PageIndex, SubPageIndex);
}

void TQueueStrategy::Repaint()
{
    PaintPage(PageIndex, SubPageIndex);
}

// --- tool buttons -----------------------------------------------------------------

void TQueueStrategy::LayoutToolButtons(const TTipList &entries, const TCommandSet &disabled)
{
    QMenu *overflow = World->OverflowMenu.get();
    overflow->clear();
    const auto enabledFor = [&disabled](int key) { return key < 0 || key > 255 || !disabled.test(size_t(key)); };
    const int panelWidth = World->ToolPanel->width();
    int x = 0;
    size_t index = 0;
    bool overflowing = false;
    for (const TTip &entry : entries) {
        if (!overflowing && index < World->ToolButtons.size()) {
            TDecorateButton *button = World->ToolButtons[index];
            const int width = QFontMetrics(button->font()).horizontalAdvance(entry.Title) + 6;
            if (x + width + 18 < panelWidth) {
                button->SetCaption(entry.Title);
                button->setToolTip(entry.Caption);
                button->SetTag(entry.Key);
                button->setEnabled(enabledFor(entry.Key));
                button->setGeometry(x, 1, width, 22);
                button->show();
                x += width + 2;
                ++index;
                continue;
            }
        }
        if (!overflowing) {
            overflowing = true;
            World->MoreButton->move(x, 3);
        }
        World->AddOverflowItem(entry, enabledFor(entry.Key));
    }
    if (!overflowing)
        World->MoreButton->move(x, 3);
    World->MoreButton->show();
    World->AddOverflowItem(MoreEntry, true);
}

TTipList TQueueStrategy::ToolEntries(int layerId)
{
    TUser *user = SignedInUser();
    return user ? user->LayerTips(layerId, false) : TTipList{};
}

TCommandSet TQueueStrategy::DisabledCommands(const TWord *word)
{
    TCommandSet set;
    if (!word)
        return set;
    if (word->RelationCount < 1)
        set.set(82);
    if (word->DecipherSynonyms().isEmpty())
        set.set(90);
    if (word->DecipherAntonyms().isEmpty())
        set.set(66);
    if (!Centre().HasExplain(word->WordId))
        set.set(69);
    if (word->ExampleExist < 1)
        set.set(65);
    return set;
}

// --- paging -----------------------------------------------------------------------

bool TQueueStrategy::ScanForward(int page, int subPage, int &foundPage, int &foundSubPage)
{
    const int pages = PageCount();
    for (int a = page; a < pages; ++a) {
        for (int i = (a == page ? subPage : 0); i < SubPageCount(); ++i) {
            if (PageHasContent(a, i)) {
                foundPage = a;
                foundSubPage = i;
                return true;
            }
        }
    }
    return false;
}

bool TQueueStrategy::ScanBackward(int page, int subPage, int &foundPage, int &foundSubPage)
{
    for (int a = page; a >= 0; --a) {
        for (int i = (a == page ? subPage : MaxSubPages); i >= 0; --i) {
            if (PageHasContent(a, i)) {
                foundPage = a;
                foundSubPage = i;
                return true;
            }
        }
    }
    return false;
}

void TQueueStrategy::GoToPage(int page, int subPage)
{
    const int pages = PageCount();
    PageIndex = pages > 0 ? std::clamp(page, 0, pages - 1) : 0;
    LoadPage(PageIndex);
    const int subPages = SubPageCount();
    SubPageIndex = subPages > 0 ? std::clamp(subPage, 0, subPages - 1) : 0;

    int p = 0, s = 0;
    const bool back = ScanBackward(PageIndex, SubPageIndex - 1, p, s);
    const bool forward = ScanForward(PageIndex, SubPageIndex + 1, p, s);
    if (World)
        World->EnablePaging(back, forward);

    BeforePaintPage(PageIndex, SubPageIndex);
    PaintPage(PageIndex, SubPageIndex);
    showPageLabels();
}

void TQueueStrategy::showPageLabels()
{
    const int pages = PageCount();
    if (pages <= 0) {
        SetStatus(QStringLiteral("页数"), QString());
        SetStatus(QStringLiteral("总页数"), QString());
    } else if (SubPageCount() == 1) {
        SetStatus(QStringLiteral("页数"), QString::number(PageIndex + 1));
        SetStatus(QStringLiteral("总页数"), QString::number(pages));
    } else {
        SetStatus(QStringLiteral("页数"),
                  QStringLiteral("(%1/%2)").arg(SubPageIndex + 1).arg(SubPageCount())
                      + QString::number(PageIndex + 1));
        SetStatus(QStringLiteral("总页数"), QString::number(pages));
    }
}

void TQueueStrategy::NextPage()
{
    int p = 0, s = 0;
    if (ScanForward(PageIndex, SubPageIndex + 1, p, s))
        GoToPage(p, s);
}

void TQueueStrategy::PreviousPage()
{
    int p = 0, s = 0;
    if (ScanBackward(PageIndex, SubPageIndex - 1, p, s))
        GoToPage(p, s);
}

void TQueueStrategy::FirstPage()
{
    if (PageHasContent(0, 0)) {
        GoToPage(0, 0);
        return;
    }
    PageIndex = 0;
    SubPageIndex = 0;
    LoadPage(0);
    NextPage();
}

void TQueueStrategy::LastPage()
{
    const int last = PageCount() - 1;
    if (last < 0)
        return;
    if (PageHasContent(last, MaxSubPages)) {
        GoToPage(last, MaxSubPages);
        return;
    }
    PageIndex = last;
    SubPageIndex = MaxSubPages - 1;
    LoadPage(last);
    PreviousPage();
}

void TQueueStrategy::Advance()
{
    int p = 0, s = 0;
    if (ScanForward(PageIndex, SubPageIndex + 1, p, s)) {
        NextPage();
    } else if (ScanBackward(PageIndex, SubPageIndex - 1, p, s)) {
        PreviousPage();
    } else {
        Activate();
        Exhausted();
    }
}

void TQueueStrategy::RefreshCurrentWord()
{
    TWord *word = CurrentWord();
    if (!word || !World)
        return;
    const QString id = QString::number(word->WordId);
    if (!World->LookedUpWords.isEmpty() && World->LookedUpWords.contains(id))
        word->RelationCount = word->RelationCountFor();
    if (!World->ChangedWords.isEmpty() && World->ChangedWords.contains(id))
        word->ReloadTexts();
}

void TQueueStrategy::LocatePage()
{
    const int pages = PageCount();
    if (pages <= 0)
        return;
    TfrmLocatePage dialog(World ? World->HostWindow() : nullptr);
    dialog.SetRange(1, pages, PageIndex + 1);
    if (dialog.exec() == QDialog::Accepted && dialog.PageNumber() - 1 != PageIndex)
        GoToPage(dialog.PageNumber() - 1, 0);
}

bool TQueueStrategy::PageHasContent(int, int)
{
    return false;
}

void TQueueStrategy::LoadPage(int) {}
void TQueueStrategy::PaintPage(int, int) {}
void TQueueStrategy::BeforePaintPage(int, int) {}
void TQueueStrategy::GridCellClicked(int, int) {}

int TQueueStrategy::PageCount()
{
    return 0;
}

int TQueueStrategy::SubPageCount()
{
    return 0;
}

int TQueueStrategy::ItemHeight(TWord *)
{
    return 0;
}

bool TQueueStrategy::WantWindowSize(int &, int &)
{
    return false;
}

// --- relations and lookups --------------------------------------------------------

void TQueueStrategy::OpenExamples()
{
    if (World)
        World->OpenExamples();
}

void TQueueStrategy::OpenWordInfo()
{
    if (World)
        World->OpenWordInfo();
}

void TQueueStrategy::CheckRelations()
{
    TWord *word = CurrentWord();
    if (word && !word->Name.isEmpty() && !word->Example.isEmpty() && !word->ExampleTrans.isEmpty()
        && World)
        World->Flash(QStringLiteral("单词关联"));
}

void TQueueStrategy::AddPopupWordToNotes()
{
    TWord *word = PopupWord();
    if (World)
        World->CloseWordCard();
    ReportRelation(word);
}

TWord *TQueueStrategy::PopupWord()
{
    TWord *word = World ? World->PopupWord() : nullptr;
    if (word) {
        const QString id = QString::number(word->WordId);
        if (!World->LookedUpWords.contains(id))
            World->LookedUpWords.append(id);
    }
    return word;
}

void TQueueStrategy::ReportCurrentRelation()
{
    ReportRelation(CurrentWord());
}

void TQueueStrategy::ReportRelation(TWord *word)
{
    if (!word || word->WordId <= 0)
        return;
    SetAccountField(8, QStringLiteral("0"), word->WordId);
    if (World)
        World->Flash(QStringLiteral("单词关联"));
}

// --- status labels and layout -----------------------------------------------------

void TQueueStrategy::SetStatus(const QString &name, const QString &text, int width)
{
    if (!World)
        return;
    TInterfaceObject *element = World->LayoutElements.Find(QStringLiteral("提示") + name);
    TWordSymbol *label = World->StatusLabel(name);
    if (!element || !label)
        return;
    if (name.contains(u'页'))
        label->SetAlignment(TCustomSymbol::TAlignment::Right);
    label->raise();
    label->resize(width == -1 ? element->Width : width, label->height());
    label->SetCaption(text);
}

void TQueueStrategy::SetBookTitle(const QString &text, int width)
{
    BookTitle = text;
    BookTitleWidth = width;
    SetStatus(QStringLiteral("书本名称"), text, width);
}

void TQueueStrategy::ClearStatus()
{
    for (const char *name : {"记忆状态", "每页词数", "页数", "总页数", "今天背记词数", "记忆分值",
                             "显示状态", "单词关联", "背记时间"})
        SetStatus(QString::fromUtf8(name), QString());
}

void TQueueStrategy::ArrangeStatus()
{
    if (!World || !World->HostWindow())
        return;
    const QSize client = World->HostWindow()->size();
    const int w = client.width();
    const int h = client.height();
    QRect grid;
    if (Centre().Config.ShowTipPanel) {
        World->ToolPanel->setGeometry(45, 50, w - 74, 24);
        grid = QRect(45, 74, w - 74, h - 124);
    } else {
        grid = QRect(45, 50, w - 74, h - 100);
    }
    World->Grid->SetBounds(grid.left(), grid.top(), grid.width(), grid.height());
    const int gridBottom = grid.top() + grid.height();

    if (QWidget *line = World->Control(QStringLiteral("装饰线1")))
        line->setGeometry(35, 48, grid.width() + 20, line->height());
    if (QWidget *line = World->Control(QStringLiteral("装饰线2")))
        line->setGeometry(35, gridBottom + 5, grid.width() + 20, line->height());
    if (QWidget *label = World->Control(QStringLiteral("提示书本名称")))
        label->setGeometry(grid.left(), 28, label->width(), 19);
    if (QWidget *label = World->Control(QStringLiteral("提示页数")))
        label->setGeometry(grid.left() + grid.width() - label->width() + 10, 28, label->width(), 19);

    std::vector<QWidget *> row;
    int sum = 0;
    for (const QString &name : BottomRow()) {
        if (QWidget *label = World->Control(name)) {
            label->setGeometry(label->x(), gridBottom + 12, label->width(), 19);
            row.push_back(label);
            sum += label->width();
        }
    }
    if (grid.width() < sum)
        return;
    const int gap = int(std::nearbyint(double(grid.width() + 10 - sum) / 9.0));
    int x = grid.left();
    for (QWidget *label : row) {
        label->move(x, label->y());
        x += label->width() + gap;
    }
}

void TQueueStrategy::Arrange()
{
    if (!World)
        return;
    const TConfig &config = Centre().Config;
    ApplyLayout();
    Grid = World->Grid;
    Grid->SetVisible(false);
    Grid->SetBackground(Foundation ? Foundation->BackgroundColor() : 0xFFFFFF);
    Grid->SetShowBorders(false);
    Grid->SetCellStyle(3);
    Grid->SetFontName(QStringLiteral("Arial"));
    Grid->SetFontSize(config.GeneralFontSize);
    Grid->SetFontColor(config.FontColor);
    if (Grid->RowCount() < 1)
        Grid->SetRowCount(1);
    Grid->SetInvalidateMode(true);
    Grid->SetMarkPenWidth(1);
    connectGrid();
    if (World->AnswerPanel)
        World->AnswerPanel->hide();
    World->ToolPanel->setVisible(config.ShowTipPanel);
    ArrangeStatus();
    QFont probeFont(QStringLiteral("Arial"));
    if (config.GeneralFontSize > 0)
        probeFont.setPointSize(config.GeneralFontSize);
    m_probeEdit->setFont(probeFont);
    if (config.ShowCenter)
        World->CentreWindow();
}

namespace {

void ApplyElement(const TInterfaceObject &element, QWidget *control)
{
    control->setGeometry(element.Left, element.Top, element.Width, element.Height);
    if (auto *symbol = qobject_cast<TCustomSymbol *>(control)) {
        if (element.FontSize > 0) {
            QFont font = symbol->font();
            font.setPointSize(element.FontSize);
            symbol->setFont(font);
        }
        symbol->SetFontColor(quint32(element.FontColor));
        symbol->SetColor(quint32(element.Color));
    }
}

} // namespace

void TQueueStrategy::ApplyLayout()
{
    if (!World || !World->HostWindow())
        return;
    QWidget *host = World->HostWindow();
    const TConfig &config = Centre().Config;
    for (const auto &[name, element] : World->LayoutElements) {
        QWidget *control = World->Control(name);
        if (!control || control == host)
            continue;
        ApplyElement(*element, control);
    }
    for (const auto &[name, control] : World->Controls()) {
        if (control && control != host && !name.contains(QStringLiteral("单词列表")))
            control->setVisible(true);
    }
    if (config.FormWidth > 0 && config.FormHeight > 0)
        host->resize(config.FormWidth, config.FormHeight);
    if (Foundation)
        Foundation->SetBackgroundColor(config.BookColor);
    if (World->WordListPanel) {
        World->WordListPanel->hide();
        World->WordListPanel->resize(World->WordListPanel->width(), 0);
    }
    int width = host->width();
    int height = host->height();
    const bool asked = WantWindowSize(width, height);
    if (!asked && width == World->RememberedWidth && height == World->RememberedHeight)
        return;
    host->resize(width, height);
    World->RememberedWidth = width;
    World->RememberedHeight = height;
    World->ReshapeWindow();
}

// --- hints ------------------------------------------------------------------------

void TQueueStrategy::ShowHint(const QString &hint)
{
    if (!Centre().Config.ShowTipPanel)
        return;
    SetStatus(QStringLiteral("书本名称"), hint, 300);
    HintTicks = 0;
}

void TQueueStrategy::HintTick()
{
    if (++HintTicks > HintLifeTicks) {
        HintTicks = 0;
        SetStatus(QStringLiteral("书本名称"), BookTitle, BookTitleWidth);
    }
}

// --- words under the mouse, sounds, pictures -------------------------------------

QString TQueueStrategy::WordAtPoint(int cellWidth, int cellHeight, const QFont *font,
                                    const QString &cellText, const QPoint &point, int indent)
{
    QTextEdit *edit = m_probeEdit.get();
    if (font)
        edit->setFont(*font);
    const int width = cellWidth - indent + 8;
    edit->resize(width, cellHeight);
    QString text = cellText;
    text.remove(QStringLiteral("$$"));
    edit->setPlainText(text);
    QTextDocument *document = edit->document();
    document->setDefaultFont(edit->font());
    document->setTextWidth(width);
    const QPointF at(point.x() - indent + 4, point.y());
    int index = document->documentLayout()->hitTest(at, Qt::ExactHit);
    if (index < 0)
        return {};
    const QString whole = edit->toPlainText();
    if (index >= whole.size() || !IsAsciiLetter(whole.at(index)))
        return {};
    int first = index;
    while (first > 0 && IsAsciiLetter(whole.at(first - 1)))
        --first;
    int last = index;
    while (last + 1 < whole.size() && IsAsciiLetter(whole.at(last + 1)))
        ++last;
    return whole.mid(first, last - first + 1);
}

void TQueueStrategy::PlayText(const QString &text)
{
    if (!DataCenter() || !Centre().Config.Pronounce || !World)
        return;
    const QString trimmed = TCustomSymbol::TrimBlanks(text);
    const QStringList forms = Centre().PhraseForms(trimmed);
    QString chosen = trimmed;
    const QDir sounds(ExecutableFolder() + QStringLiteral("/Sound"));
    for (const QString &form : forms) {
        if (QFileInfo::exists(sounds.filePath(form + QStringLiteral(".zip")))) {
            chosen = form;
            break;
        }
    }
    TWord word(nullptr, Channel());
    word.Name = chosen;
    word.SourceName = chosen;
    World->PlayWord(&word);
}

QString TQueueStrategy::PicturePath(const TWord &word)
{
    return ExecutableFolder() + QStringLiteral("/Picture/") + word.Name + QStringLiteral(".jpg");
}

bool TQueueStrategy::HasPicture(const TWord &word)
{
    return QFileInfo::exists(PicturePath(word));
}

QLabel *TQueueStrategy::PictureControl(int number)
{
    const QString key = QString::number(number);
    for (const auto &[name, control] : World->PictureControls) {
        if (name == key && control)
            return control;
    }
    auto *label = new QLabel(World->HostWindow()); // owned by the host window
    label->setObjectName(QStringLiteral("WordPic") + key);
    label->setScaledContents(true);
    label->hide();
    World->PictureControls.emplace_back(key, label);
    return label;
}

void TQueueStrategy::HidePictures()
{
    for (const auto &entry : World->PictureControls) {
        if (entry.second) {
            entry.second->hide();
            entry.second->disconnect();
        }
    }
}

// --- colour pens ------------------------------------------------------------------

void TQueueStrategy::BuildPenMenu()
{
    if (!Foundation || !Channel())
        return;
    QMenu *context = Foundation->ContextMenu();
    QAction *chooser = Foundation->ContextItem(9);
    QMenu *submenu = chooser->menu();
    if (!submenu) {
        submenu = new QMenu(context); // owned by the context menu
        chooser->setMenu(submenu);
    }
    submenu->clear();
    Foundation->ContextItem(7)->setIcon(Swatch(Centre().Config.PenColor));
    for (QAction *action : context->actions()) {
        if (action->data().toInt() >= 20) {
            context->removeAction(action);
            action->deleteLater();
        }
    }
    QAction *separator = context->addSeparator();
    separator->setData(20);

    const QString sql = QString::asprintf(
        "select * from ColorPen where UserID = %d order by Sequence limit 12", SignedInUserId());
    SqliteDataset *pens = Channel()->Query(sql);
    if (pens)
        pens->first();
    for (int row = 0; pens && !pens->eof(); pens->next(), ++row) {
        const quint32 colour = quint32(pens->fieldByName("PenColor").asLargeInt());
        const QString title = pens->fieldByName("Title").asText();
        const auto addItem = [&](QMenu *menu) {
            QAction *item = menu->addAction(Swatch(colour), title);
            item->setData(int(colour));
            QObject::connect(item, &QAction::triggered, item, [this, colour] { ChoosePen(colour); });
            return item;
        };
        addItem(submenu);
        if (row < 5)
            addItem(context)->setData(20 + row + 1);
    }
    submenu->addSeparator();
    QObject::connect(submenu->addAction(QStringLiteral("定制荧光笔")), &QAction::triggered, submenu,
                     [this] { NewPen(); });
    QObject::connect(submenu->addAction(QStringLiteral("管理荧光笔")), &QAction::triggered, submenu,
                     [this] { ManagePens(); });
}

void TQueueStrategy::ChoosePen(quint32 colour)
{
    if (!Channel())
        return;
    const int user = SignedInUserId();
    Channel()->Execute(QString::asprintf("Update ColorPen set Sequence = Sequence + 1 where UserID = %d", user));
    Channel()->Execute(QString::asprintf(
        "Update ColorPen set Sequence = 1 where PenColor = %d and UserID = %d", int(colour), user));
    Centre().Config.PenColor = colour;
    PensChanged();
}

bool TQueueStrategy::AddPen(quint32 colour, const QString &title)
{
    if (!Channel() || TCustomSymbol::TrimBlanks(title).isEmpty())
        return false;
    const int user = SignedInUserId();
    TAdoChannel *channel = Channel();
    channel->Execute(QString::asprintf("Update ColorPen set Sequence = Sequence + 1 where UserID = %d", user));
    int id = 1;
    if (SqliteDataset *max = channel->Query(QStringLiteral("select Max(ID) as MaxID from ColorPen"))) {
        max->first();
        if (!max->eof())
            id = max->fieldByName("MaxID").asInteger() + 1;
    }
    const bool stored = channel->Execute(
        QStringLiteral("insert into ColorPen(UserID, ID, Title, PenColor, Sequence) Values(%1, %2, '%3', %4, 1)")
            .arg(user)
            .arg(id)
            .arg(SqlQuoted(title))
            .arg(int(colour)));
    // Only the user's own most recent pens are kept; other users' pens stay.
    channel->Execute(QString::asprintf(
        "delete from ColorPen where UserID = %d and ID not in (select ID from ColorPen where UserID = %d "
        "order by Sequence limit 100) ",
        user, user));
    return stored;
}

void TQueueStrategy::NewPen()
{
    const QColor chosen = QColorDialog::getColor(vocamo::colorFromWin(Centre().Config.PenColor),
                                                 World ? World->HostWindow() : nullptr);
    if (!chosen.isValid())
        return;
    const quint32 colour = vocamo::winFromColor(chosen);
    if (colour <= 20)
        return;
    Centre().Config.PenColor = colour;
    QString name = QStringLiteral("#") + QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
    if (InputText(QStringLiteral("输入名称"), QStringLiteral("请输入荧光笔名称："), name, 60,
                  World ? World->HostWindow() : nullptr))
        AddPen(colour, name);
    PensChanged();
}

void TQueueStrategy::ManagePens()
{
    // The pen management dialog comes with the management dialogs.
}
