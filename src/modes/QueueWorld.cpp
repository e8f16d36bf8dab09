#include "modes/QueueWorld.h"

#include "controls/Constant.h"
#include "controls/MarovekComponent.h"
#include "controls/RichEdits.h"
#include "controls/SimpleGrid.h"
#include "controls/Symbols.h"
#include "dialogs/Recordfrm.h"
#include "modes/ModeFactory.h"
#include "platform/gui/Colors.h"
#include "store/DataCenter.h"
#include "store/Routine.h"
#include "store/Word.h"
#include "sync/Operations.h"

#include <QAction>
#include <QLabel>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QPolygon>
#include <QScreen>
#include <QStyle>
#include <QTime>
#include <QWidget>

#include <algorithm>

namespace {

bool Is(int command, int key, int alias)
{
    return command == key || command == alias;
}

TDataCenter &Centre()
{
    return *DataCenter();
}

TConfig &Config()
{
    return DataCenter()->Config;
}

QString Trimmed(const QString &text)
{
    return TCustomSymbol::TrimBlanks(text);
}

bool IsExamining(const TQueueWorld &world)
{
    return (world.TopIs(TLayerKind::Exercise) || world.TopIs(TLayerKind::Subjective))
        && Config().Examining;
}

// Turns the application's hover hints into calls of the host's hint handler: a widget
// with a tool tip that the mouse enters shows its hint, as the original program's
// application hint event did.
class THintFilter : public QObject
{
public:
    explicit THintFilter(TQueueWorld *world) : m_world(world) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Enter && m_world->HintHandler) {
            if (auto *widget = qobject_cast<QWidget *>(watched); widget && !widget->toolTip().isEmpty())
                m_world->HintHandler(widget->toolTip());
        }
        return false;
    }

private:
    TQueueWorld *m_world;
};

} // namespace

// --- TFoundation ------------------------------------------------------------------

TFoundation::TFoundation(QWidget *hostForm) : m_hostForm(hostForm) {}

TFoundation::~TFoundation() = default;

quint32 TFoundation::BackgroundColor() const
{
    if (!m_hostForm)
        return 0xFFFFFF;
    const QVariant tag = m_hostForm->property("tag");
    if (tag.isValid())
        return quint32(tag.toLongLong());
    return vocamo::winFromColor(m_hostForm->palette().color(QPalette::Window));
}

void TFoundation::SetBackgroundColor(quint32 bgr)
{
    if (!m_hostForm)
        return;
    // Symbol labels made for the layout take their background from this property.
    m_hostForm->setProperty("tag", qint64(bgr));
    QPalette palette = m_hostForm->palette();
    palette.setColor(QPalette::Window, vocamo::colorFromWin(bgr));
    m_hostForm->setPalette(palette);
    m_hostForm->setAutoFillBackground(true);
}

bool TFoundation::HostVisible() const
{
    return m_hostForm && m_hostForm->isVisible();
}

QMenu *TFoundation::ContextMenu()
{
    if (!m_contextMenu) {
        m_contextMenu = std::make_unique<QMenu>();
        const auto add = [this](const char *text, int tag) {
            QAction *action = m_contextMenu->addAction(QString::fromUtf8(text));
            action->setData(tag);
        };
        const auto separator = [this] { m_contextMenu->addSeparator()->setData(0); };
        add("查词", 2);
        separator();
        add("复制", 10);
        separator();
        add("粗体", 3);
        add("斜体", 4);
        add("下划线", 5);
        add("删除线", 6);
        separator();
        add("用荧光笔标注", 7);
        add("取消荧光标注", 8);
        add("选择荧光笔", 9);
    }
    return m_contextMenu.get();
}

QAction *TFoundation::ContextItem(int tag)
{
    if (tag < 2 || tag > 10)
        return nullptr;
    for (QAction *action : ContextMenu()->actions()) {
        if (!action->isSeparator() && action->data().toInt() == tag)
            return action;
    }
    return nullptr;
}

int TFoundation::MeasureTextWidth(const QFont &font, const QString &text)
{
    return QFontMetrics(font).horizontalAdvance(text);
}

int TFoundation::MeasureTextHeight(const QFont &font, const QString &text)
{
    return QFontMetrics(font).boundingRect(text).height();
}

// --- TQueueWorld: creation --------------------------------------------------------

const QStringList &TQueueWorld::StatusNames()
{
    static const QStringList names = {
        QStringLiteral("书本名称"), QStringLiteral("书本状态"), QStringLiteral("页数"),
        QStringLiteral("总页数"), QStringLiteral("记忆状态"), QStringLiteral("显示状态"),
        QStringLiteral("记忆分值"), QStringLiteral("每页词数"), QStringLiteral("今天背记词数"),
        QStringLiteral("背记时间"), QStringLiteral("当前时间"), QStringLiteral("单词关联")};
    return names;
}

TQueueWorld::TQueueWorld(TFoundation *foundation) : TStrategy(foundation)
{
    BookModeFactory = CreateBookMode;
    LayerFactory = CreateLayer;
    HasAudioOutput = [] { return false; };
    createControls();
    LoadLayoutElements();
    m_hintFilter = std::make_unique<THintFilter>(this);
    if (qApp)
        qApp->installEventFilter(m_hintFilter.get());
}

TQueueWorld::~TQueueWorld()
{
    if (qApp && m_hintFilter)
        qApp->removeEventFilter(m_hintFilter.get());
    HintHandler = nullptr;
    OverflowMenu.reset();
    BookMenuPopup.reset();
    if (Timer)
        Timer->SetEnabled(false);
    QObject::disconnect(m_tickConnection);
    FreeLayers();
    m_listeners.clear();
    WordCard.reset();
    for (auto &entry : PictureControls)
        delete entry.second.data();
    PictureControls.clear();
    // The controls are children of the host window, which outlives the host.
    QWidget *host = HostWindow();
    for (auto &[name, control] : m_controls) {
        if (control && control != host)
            delete control.data();
    }
    m_controls.clear();
    delete ToolPanel; // with MoreButton and the tool buttons
    delete AnswerPanel;
    delete TextView2;
    delete Timer;
    if (Grid) {
        Grid->SetRowCount(0);
        delete Grid;
    }
}

QWidget *TQueueWorld::HostWindow() const
{
    return Foundation ? Foundation->HostWindow() : nullptr;
}

void TQueueWorld::createControls()
{
    QWidget *host = HostWindow();
    Timer = new TMarovekTimer();
    Timer->SetInterval(ShowInterval);
    Timer->SetEnabled(false);

    Grid = new TSimpleGrid(host);
    Grid->SetRowCount(1);
    Grid->SetRowHeight(0, 1);
    Grid->SetVisible(false);
    Grid->raise();

    ToolPanel = new TTransparentPanel1(host);
    ToolPanel->resize(ToolPanel->width(), 24);
    ToolPanel->hide();
    MoreButton = new TDecorateButton(ToolPanel);
    MoreButton->setGeometry(0, 3, 10, 15);
    MoreButton->SetCaption(QStringLiteral("▾"));
    MoreButton->setToolTip(QStringLiteral("显示更多提示"));
    MoreButton->SetTag(MoreButtonTag);
    MoreButton->SetHostPanel(ToolPanel);
    MoreButton->SetHostWindow(host);
    MoreButton->hide();
    QObject::connect(MoreButton, &TCustomSymbol::OnClick, MoreButton, [this] {
        ToolClick(MoreButtonTag, MoreButton, QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
    });
    for (int i = 0; i < ToolButtonCount; ++i) {
        auto *button = new TDecorateButton(ToolPanel);
        button->SetAutoSize(false);
        button->SetAlignment(TCustomSymbol::TAlignment::Center);
        button->SetLayout(TCustomSymbol::TTextLayout::Center);
        button->SetTransparent(true);
        QFont font = button->font();
        font.setPointSize(9);
        button->setFont(font);
        button->setGeometry(17 * i, 1, 16, 22);
        button->SetCaption(QStringLiteral("(F1)帮助"));
        button->SetTag(112);
        button->SetHostPanel(ToolPanel);
        button->SetHostWindow(host);
        button->hide();
        QObject::connect(button, &TCustomSymbol::OnClick, button, [this, button] {
            ToolClick(button->Tag(), button, QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
        });
        ToolButtons.push_back(button);
    }
    OverflowMenu = std::make_unique<QMenu>();
    AnswerPanel = new TTransparentPanel(host);
    AnswerPanel->hide();

    RegisterControl(QStringLiteral("主界面"), host);
    TextView = new TRichEdit3(host);
    TextView2 = new TRichEdit3(host);
    for (TRichEdit3 *view : {TextView, TextView2}) {
        view->hide();
        view->setFrameShape(QFrame::NoFrame);
        view->resize(view->width(), 0);
    }
    RegisterControl(QStringLiteral("阅读"), TextView);

    TitleWord = MakeSymbolLabel(QStringLiteral("lblExampleWord"), host);
    QFont wordFont(QStringLiteral("Arial"));
    wordFont.setPointSize(20);
    TitleWord->setFont(wordFont);
    TitleWord->SetSymbolFontSize(14);
    TitleTrans = MakeSymbolLabel(QStringLiteral("lblExampleTrans"), host);
    QFont transFont(QStringLiteral("Arial"));
    transFont.setPointSize(14);
    TitleTrans->setFont(transFont);
    TitleLine = MakeSymbolLabel(QStringLiteral("lblExampleDecorate1"), host);
    TitleLine->SetColor(0xFFFF00);
    TitleLine->SetTransparent(false);
    for (TWordSymbol *label : {TitleWord, TitleTrans, TitleLine}) {
        label->SetLayout(TCustomSymbol::TTextLayout::Bottom);
        label->hide();
        RegisterControl(label->objectName(), label);
    }
    RegisterControl(QStringLiteral("装饰线1"), MakeSymbolLabel(QStringLiteral("lblDecorate1"), host));
    RegisterControl(QStringLiteral("装饰线2"), MakeSymbolLabel(QStringLiteral("lblDecorate2"), host));
    int number = 1;
    for (const QString &name : StatusNames())
        RegisterControl(QStringLiteral("提示") + name,
                        MakeSymbolLabel(QStringLiteral("lblPrompt%1").arg(number++), host));
}

void TQueueWorld::RegisterControl(const QString &name, QWidget *control)
{
    m_controls.emplace_back(name, control);
}

QWidget *TQueueWorld::Control(const QString &name) const
{
    for (const auto &[key, control] : m_controls) {
        if (key == name)
            return control;
    }
    return nullptr;
}

TWordSymbol *TQueueWorld::StatusLabel(const QString &shortName) const
{
    return qobject_cast<TWordSymbol *>(Control(QStringLiteral("提示") + shortName));
}

void TQueueWorld::LoadLayoutElements()
{
    TUser *user = DataCenter() ? DataCenter()->CurrentUser : nullptr;
    LayoutElements = user ? user->LoadLayout() : TLayout();
    // A user whose stored layout lacks the status labels (a fresh store) still gets them,
    // with widths that fit their usual texts.
    for (const QString &shortName : StatusNames()) {
        const QString name = QStringLiteral("提示") + shortName;
        if (LayoutElements.Find(name))
            continue;
        auto element = std::make_unique<TInterfaceObject>(name);
        element->Width = shortName == QStringLiteral("书本名称") ? 300 : 80;
        element->Height = 19;
        element->FontSize = 9;
        LayoutElements.Add(name, std::move(element));
    }
    for (const auto &[name, element] : LayoutElements)
        element->Control = Control(name);
}

// --- TStrategy overrides ----------------------------------------------------------

void TQueueWorld::Attach()
{
    QObject::disconnect(m_tickConnection);
    m_tickConnection = QObject::connect(Timer, &TMarovekTimer::OnTimer, Timer, [this] { Tick(); });
}

void TQueueWorld::Execute(int command)
{
    const int code = TranslateCommand(command);
    if (TQueueStrategy *top = TopLayer())
        top->Perform(code, Flags);
    const bool ctrl = Flags & CtrlFlag;
    if (Is(code, 10027, -714883567))
        PopLayer();
    else if (Is(code, 10066, 1245566464))
        SearchRelated(2);
    else if (Is(code, 10069, 1921648724)) {
        if (!ctrl)
            OpenDictionary();
    } else if (Is(code, 10070, -1915727529)) {
        if (ctrl)
            FindWord();
    } else if (Is(code, 10080, -391513236))
        OpenSpellDrill();
    else if (Is(code, 10085, -1601057597)) {
        if (!ctrl)
            OpenStatistics();
    } else if (Is(code, 10087, 1229013564))
        PlayWord(CurrentWord());
    else if (Is(code, 10090, -665205837))
        SearchRelated(1);
}

void TQueueWorld::Show()
{
    if (TQueueStrategy *top = TopLayer()) {
        top->Activate();
        return;
    }
    TUser *user = DataCenter() ? DataCenter()->CurrentUser : nullptr;
    if (user) {
        user->LoadBooks();
        if (TUserBook *book = user->BookByIndex(0))
            OpenBook(book);
    }
}

void TQueueWorld::Repaint()
{
    if (TQueueStrategy *top = TopLayer())
        top->Repaint();
}

void TQueueWorld::Load()
{
    FreeLayers();
}

void TQueueWorld::Arrange()
{
    TitleWord->hide();
    TitleTrans->hide();
    TitleLine->hide();
    if (TQueueStrategy *top = TopLayer())
        top->Arrange();
}

// --- layers -----------------------------------------------------------------------

void TQueueWorld::FreeLayers()
{
    while (Layers.Count() > 0)
        Layers.Pop().reset();
}

void TQueueWorld::Push(std::unique_ptr<TQueueStrategy> mode)
{
    if (!mode)
        return;
    if (TQueueStrategy *top = TopLayer())
        top->Detach();
    TQueueStrategy *added = mode.get();
    Layers.Push(std::move(mode));
    added->Load();
    added->Arrange();
    added->Activate();
}

void TQueueWorld::PopLayer()
{
    if (Layers.Count() < 2 || !TopLayer()->CanClose())
        return;
    Layers.Pop().reset();
    TopLayer()->Arrange();
    TopLayer()->Activate();
}

bool TQueueWorld::TopIs(TLayerKind kind) const
{
    TQueueStrategy *top = TopLayer();
    return top && top->Kind() == kind;
}

TWord *TQueueWorld::CurrentWord() const
{
    TQueueStrategy *top = TopLayer();
    return top ? top->CurrentWord() : nullptr;
}

TWord *TQueueWorld::PopupWord() const
{
    return WordCard ? WordCard->CurrentWord() : nullptr;
}

// --- books ------------------------------------------------------------------------

void TQueueWorld::OpenBook(TUserBook *book)
{
    FreeLayers();
    const int track = DataCenter()->StudyTrack;
    std::unique_ptr<TQueueStrategy> mode = BookModeFactory(*this, track, book);
    SetAccountField(1, QStringLiteral("User_VocamoContent"), TDataCenter::CategoryOfTrack(track));
    Push(std::move(mode));
}

void TQueueWorld::BookMenu()
{
    if (!BookMenuPopup)
        BookMenuPopup = std::make_unique<QMenu>();
    BookMenuPopup->clear();
    const char *captions[] = {"英文到中文", "中文到英文", "单词拼写", "单词听写"};
    for (int tag = 0; tag < 4; ++tag) {
        QAction *item = BookMenuPopup->addAction(QString::fromUtf8(captions[tag]));
        item->setObjectName(QStringLiteral("mmiBook%1").arg(tag));
        item->setData(tag);
        item->setCheckable(true);
        item->setChecked(tag == DataCenter()->StudyTrack);
        QObject::connect(item, &QAction::triggered, BookMenuPopup.get(), [this, tag] { ChooseStudyTrack(tag); });
    }
    QWidget *host = HostWindow();
    const QPoint origin = host ? host->mapToGlobal(QPoint(0, 30)) : QPoint(0, 30);
    BookMenuPopup->popup(QPoint(QCursor::pos().x(), origin.y()));
}

void TQueueWorld::ChooseStudyTrack(int track)
{
    DataCenter()->StudyTrack = track;
    TUser *user = DataCenter()->CurrentUser;
    if (user && user->BookCount() > 0)
        OpenBook(user->BookByIndex(0));
}

TUserBook *TQueueWorld::NotebookBook() const
{
    if (NoNotebook)
        return nullptr;
    for (int i = LayerCount() - 1; i >= 0; --i) {
        TQueueStrategy *layer = LayerAt(i);
        if (layer->Kind() == TLayerKind::WordList && layer->StudyBook())
            return layer->StudyBook();
    }
    for (int i = LayerCount() - 1; i >= 0; --i) {
        TQueueStrategy *layer = LayerAt(i);
        if (layer->Kind() == TLayerKind::OneWord && layer->StudyBook())
            return layer->StudyBook();
    }
    return nullptr;
}

// --- openers ----------------------------------------------------------------------

void TQueueWorld::pushRequest(TLayerRequest request)
{
    if (std::unique_ptr<TQueueStrategy> layer = LayerFactory(*this, std::move(request)))
        Push(std::move(layer));
}

namespace {

TLayerRequest RequestFor(TLayerKind kind, const TWord *word)
{
    TLayerRequest request;
    request.Kind = kind;
    if (word)
        request.Word = word->Clone();
    return request;
}

} // namespace

void TQueueWorld::OpenDictionary()
{
    TWord *word = CurrentWord();
    if ((Flags & CtrlFlag) || TopIs(TLayerKind::Dictionary) || !word || word->Name.isEmpty()
        || !Centre().HasExplain(word->WordId))
        return;
    pushRequest(RequestFor(TLayerKind::Dictionary, word));
}

void TQueueWorld::OpenLinkedDictionary()
{
    // The link word of a dictionary layer comes with the lookup layers; the layer factory
    // answers it once they exist.
    if (!TopIs(TLayerKind::Dictionary))
        return;
}

void TQueueWorld::OpenExamples()
{
    TWord *word = CurrentWord();
    if ((Flags & CtrlFlag) || TopIs(TLayerKind::Example) || !word || Trimmed(word->Name).isEmpty()
        || !Centre().HasExamples(word->WordId))
        return;
    pushRequest(RequestFor(TLayerKind::Example, word));
}

void TQueueWorld::OpenWordInfo()
{
    TWord *word = CurrentWord();
    if ((Flags & CtrlFlag) || TopIs(TLayerKind::WordInfo) || !word || Trimmed(word->Name).isEmpty())
        return;
    pushRequest(RequestFor(TLayerKind::WordInfo, word));
}

void TQueueWorld::OpenSpellDrill()
{
    TWord *word = CurrentWord();
    if (!word || TopIs(TLayerKind::SpellDrill))
        return;
    pushRequest(RequestFor(TLayerKind::SpellDrill, word));
}

void TQueueWorld::OpenStatistics()
{
    if ((Flags & CtrlFlag) || !(TopIs(TLayerKind::WordList) || TopIs(TLayerKind::OneWord)))
        return;
    pushRequest(RequestFor(TLayerKind::Statistics, nullptr));
}

void TQueueWorld::SearchRelated(int kind)
{
    TWord *word = CurrentWord();
    if (!word)
        return;
    const QString list = Trimmed(kind == 1 ? word->DecipherSynonyms() : word->DecipherAntonyms());
    if (list.isEmpty())
        return;
    TLayerRequest request;
    request.Kind = TLayerKind::Search;
    request.Book = NotebookBook();
    request.Relation = kind;
    request.WordText = Trimmed(word->Name);
    request.Query = list;
    request.StartSearch = true;
    pushRequest(std::move(request));
}

void TQueueWorld::FindWord()
{
    if (IsExamining(*this))
        return;
    // The find dialog comes with the small word dialogs; until then nothing opens.
}

void TQueueWorld::WordCardButton(int tag)
{
    TQueueStrategy *top = TopLayer();
    TWord *word = top ? top->PopupWord() : nullptr;
    switch (tag) {
    case 1:
        if (word && word->WordId > 0)
            pushRequest(RequestFor(TLayerKind::WordInfo, word));
        break;
    case 2:
        if (word && Centre().HasExamples(word->WordId))
            pushRequest(RequestFor(TLayerKind::Example, word));
        break;
    case 3:
        if (word && Centre().HasExplain(word->WordId))
            pushRequest(RequestFor(TLayerKind::Dictionary, word));
        break;
    case 6:
        if (word && Centre().HasExplain(word->WordId))
            pushRequest(RequestFor(TLayerKind::SpellDrill, word));
        break;
    case 4:
        PlayWord(word);
        return;
    case 5:
        if (top)
            top->AddPopupWordToNotes();
        return;
    default:
        return;
    }
    CloseWordCard();
}

// --- tool clicks and the tool bar -------------------------------------------------

QAction *TQueueWorld::AddOverflowItem(const TTip &entry, bool enabled)
{
    QAction *item = OverflowMenu->addAction(entry.Title);
    item->setToolTip(entry.Caption);
    item->setStatusTip(entry.Caption);
    item->setData(entry.Key);
    item->setEnabled(enabled);
    const int key = entry.Key;
    QObject::connect(item, &QAction::triggered, item, [this, key] {
        ToolClick(key, nullptr, QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
    });
    return item;
}

void TQueueWorld::popupOverflow()
{
    QWidget *host = HostWindow();
    QPoint at = ToolPanel->pos() + MoreButton->pos() + QPoint(0, MoreButton->height());
    if (host)
        at = host->mapToGlobal(at);
    OverflowMenu->popup(at);
}

void TQueueWorld::showMoreEntries()
{
    const QList<QAction *> items = OverflowMenu->actions();
    if (!items.isEmpty()) {
        QAction *last = items.last();
        OverflowMenu->removeAction(last);
        last->deleteLater();
    }
    TQueueStrategy *top = TopLayer();
    TUser *user = DataCenter() ? DataCenter()->CurrentUser : nullptr;
    if (top && user) {
        const TCommandSet disabled = top->DisabledCommands(CurrentWord());
        user->LoadMoreTips(top->LayerId);
        for (const TTip &entry : user->MoreTips)
            AddOverflowItem(entry, entry.Key < 0 || entry.Key > 255 || !disabled.test(size_t(entry.Key)));
    }
    popupOverflow();
}

void TQueueWorld::ToolClick(int entryKey, QWidget *source, bool ctrlDown)
{
    Q_UNUSED(source)
    if (entryKey == MoreButtonTag) {
        popupOverflow();
        return;
    }
    if (entryKey == TQueueStrategy::MoreEntryKey) {
        showMoreEntries();
        return;
    }
    if (ctrlDown)
        return;
    if (entryKey <= 600)
        Perform(entryKey, 0);
    else
        Perform(entryKey - 600, CtrlFlag);
}

void TQueueWorld::ToolbarCommand(int tag)
{
    TQueueStrategy *top = TopLayer();
    switch (tag) {
    case 1:
        BookMenu();
        break;
    case 2:
        if (BookMenuPopup)
            BookMenuPopup->clear();
        break;
    case 10:
        if (top)
            top->SetupBook();
        break;
    case 17:
        if (DataCenter())
            DataCenter()->CheckOnline();
        break;
    case 31:
        if (top)
            top->FirstPage();
        break;
    case 32:
        if (top)
            top->PreviousPage();
        break;
    case 33:
        if (top)
            top->NextPage();
        break;
    case 35:
        if (top)
            top->LastPage();
        break;
    case 13:
        NewContent();
        break;
    default:
        // 6, 7, 8, 11, 12, 16: their choosers and dialogs come with their own subsystems;
        // until then the buttons do nothing.
        break;
    }
}

void TQueueWorld::NewContent()
{
    TfrmRecord dialog(HostWindow());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (DelphiTrim(dialog.Title()).isEmpty() || DelphiTrim(dialog.Description()).isEmpty())
        return;
    if (AddNote(dialog.Title(), dialog.Description()))
        ShowInfo(QStringLiteral("添加成功！"), HostWindow());
}

void TQueueWorld::EnablePaging(bool canGoBack, bool canGoForward)
{
    if (Callbacks.EnablePaging)
        Callbacks.EnablePaging(canGoBack, canGoForward);
}

void TQueueWorld::EnableBookSetup(bool possible)
{
    BookSetupPossible = possible;
    if (Callbacks.EnableBookSetup)
        Callbacks.EnableBookSetup(possible);
}

// --- sound and word card ----------------------------------------------------------

void TQueueWorld::PlayWord(const TWord *word)
{
    if (!word || !DataCenter() || !Config().Pronounce)
        return;
    if (!HasAudioOutput || !HasAudioOutput())
        return;
    if (SoundPlayer)
        SoundPlayer(*word);
}

QPoint TQueueWorld::CardPosition(const QPoint &mouse, const QSize &card, const QSize &screen)
{
    int top = mouse.y() + 15;
    int left = mouse.x() + 5;
    if (mouse.y() + card.height() + 18 > screen.height())
        top = mouse.y() - card.height() - 20;
    if (mouse.x() + card.width() + 8 > screen.width())
        left = mouse.x() - card.width() - 8;
    return {left, top};
}

void TQueueWorld::ShowWordCard(const QPoint &globalPos, const QString &text)
{
    const QString trimmed = Trimmed(text);
    if (IsExamining(*this) || trimmed.isEmpty())
        return;
    for (QChar c : trimmed) {
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        if (!letter && c != u' ')
            return;
    }
    if (!WordCard)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList forms = Centre().PhraseForms(trimmed);
    TNamedList<TWord> words = Centre().LookupWords(forms, trimmed);
    QApplication::restoreOverrideCursor();
    int index = 0;
    bool found = false;
    for (const QString &form : forms) {
        for (int i = 0; i < words.Count() && !found; ++i) {
            if (words.At(i)->Name.compare(form, Qt::CaseInsensitive) == 0) {
                index = i;
                found = true;
            }
        }
        if (found)
            break;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1920, 1080);
    const QPoint at = CardPosition(globalPos, WordCard->CardSize(), screenSize);
    WordCard->SetWords(std::move(words), index);
    WordCard->ResetState();
    WordCard->SetCardColor(Config().BookColor);
    WordCard->SetReadingNote(Config().ReadingNote);
    if (NotebookBook())
        WordCard->SetNoteHint(QStringLiteral("加入阅读笔记本"));
    if (Config().ReadingNote != 0)
        WordCard->ShowAt(at);
}

void TQueueWorld::CloseWordCard()
{
    if (WordCard)
        WordCard->CloseCard();
}

// --- timer ------------------------------------------------------------------------

void TQueueWorld::AddTimerListener(const void *owner, std::function<void()> listener)
{
    for (const auto &entry : m_listeners) {
        if (entry.first == owner)
            return;
    }
    m_listeners.emplace_back(owner, std::move(listener));
}

void TQueueWorld::RemoveTimerListener(const void *owner)
{
    std::erase_if(m_listeners, [owner](const auto &entry) { return entry.first == owner; });
}

void TQueueWorld::Tick()
{
    // A listener may remove itself (or others) while it runs: call a snapshot.
    const auto listeners = m_listeners;
    for (const auto &entry : listeners) {
        const bool stillThere = std::any_of(m_listeners.begin(), m_listeners.end(),
                                            [&entry](const auto &e) { return e.first == entry.first; });
        if (stillThere)
            entry.second();
    }
    if (!Foundation || !Foundation->HostVisible() || !TopLayer())
        return;
    Timer->SetInterval(TickInterval);
    TopLayer()->SetStatus(QStringLiteral("当前时间"), QTime::currentTime().toString(QStringLiteral("hh:mm")));
    if (FlashPending) {
        if (FlashTicks == 0) {
            setStatusColour(FlashName, FlashColor);
            ++FlashTicks;
        } else {
            setStatusColour(FlashName, RestoreColor);
            FlashPending = false;
        }
    }
}

void TQueueWorld::setStatusColour(const QString &name, quint32 colour)
{
    TInterfaceObject *element = LayoutElements.Find(QStringLiteral("提示") + name);
    TWordSymbol *label = StatusLabel(name);
    if (!element || !label)
        return;
    if (colour == RestoreColor) {
        label->SetColor(quint32(element->Color));
        label->SetTransparent(true);
    } else {
        label->SetTransparent(false);
        label->SetColor(colour);
    }
}

void TQueueWorld::Flash(const QString &name)
{
    FlashPending = true;
    FlashTicks = 0;
    FlashName = name;
    Timer->SetInterval(FlashInterval);
    Timer->SetEnabled(false);
    Timer->SetEnabled(true);
}

void TQueueWorld::StopAll()
{
    Timer->SetEnabled(false);
    if (TQueueStrategy *top = TopLayer())
        top->StopTimers();
}

// --- headings and grid presets ----------------------------------------------------

void TQueueWorld::SetTitle(const QString &text, const QString &phonetic, quint32 colour,
                           const QString &translation)
{
    TitleWord->SetFontColor(colour);
    TitleWord->SetCaption(text);
    TitleWord->SetSymbol(phonetic);
    TitleWord->resize(TitleWord->sizeHint().width(), TitleWord->height());
    TitleTrans->move(TitleWord->x() + TitleWord->width(), TitleTrans->y());
    TitleTrans->resize(Grid->width() - TitleWord->width(), TitleTrans->height());
    TitleTrans->SetCaption(translation);
    TitleTrans->SetFontColor(Config().FontColor);
}

namespace {

int ScrollArrowWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void ResetGrid(TSimpleGrid *grid)
{
    QObject::disconnect(grid, &TSimpleGrid::OnSelectCell, nullptr, nullptr);
    grid->SetRowCount(1);
    grid->SetRowHeight(0, grid->LineHeight());
}

void FinishGrid(TSimpleGrid *grid)
{
    QFont bold(QStringLiteral("Arial"));
    if (Config().GeneralFontSize > 0)
        bold.setPointSize(Config().GeneralFontSize);
    bold.setBold(true);
    grid->SetLineHeight(QFontMetrics(bold).boundingRect(QStringLiteral("H")).height() + 2);
}

} // namespace

void TQueueWorld::UseTitledGrid(int firstColumnWidth)
{
    ResetGrid(Grid);
    Grid->SetVisible(false);
    const QRect grid = Grid->geometry();
    const int half = grid.width() / 2;
    TitleWord->setGeometry(grid.left(), grid.top(), half, 32);
    TitleWord->SetTransparent(true);
    TitleWord->show();
    TitleLine->setGeometry(grid.left(), grid.top() + TitleWord->height() + 2, grid.width(), 1);
    TitleLine->show();
    TitleTrans->setGeometry(TitleWord->x() + half, grid.top(), half, 32);
    TitleTrans->SetTransparent(true);
    TitleTrans->show();
    const int top = TitleLine->y() + 1;
    Grid->SetBounds(grid.left(), top, grid.width(), grid.bottom() + 1 - top);
    Grid->SetColCount(2);
    QObject::disconnect(Grid, &TSimpleGrid::OnMouseDown, nullptr, nullptr);
    QObject::disconnect(Grid, &TSimpleGrid::OnDblClick, nullptr, nullptr);
    Grid->SetColWidth(0, firstColumnWidth);
    Grid->SetColWidth(1, Grid->width() - firstColumnWidth - ScrollArrowWidth());
    FinishGrid(Grid);
}

void TQueueWorld::UseSingleColumnGrid()
{
    ResetGrid(Grid);
    TitleWord->hide();
    TitleTrans->hide();
    TitleLine->hide();
    Grid->SetVisible(false);
    Grid->SetColCount(1);
    QObject::disconnect(Grid, &TSimpleGrid::OnMouseDown, nullptr, nullptr);
    QObject::disconnect(Grid, &TSimpleGrid::OnDblClick, nullptr, nullptr);
    Grid->SetColWidth(0, Grid->width() - ScrollArrowWidth());
    FinishGrid(Grid);
}

void TQueueWorld::UseTwoColumnGrid(int firstColumnWidth)
{
    ResetGrid(Grid);
    TitleWord->hide();
    TitleTrans->hide();
    TitleLine->hide();
    Grid->SetVisible(false);
    Grid->SetColCount(2);
    Grid->SetColWidth(0, firstColumnWidth);
    Grid->SetColWidth(1, Grid->width() - ScrollArrowWidth() - firstColumnWidth);
    FinishGrid(Grid);
}

// --- window shape -----------------------------------------------------------------

QRegion TQueueWorld::WindowShape(int w, int h)
{
    const QPolygon outline({QPoint(0, 0), QPoint(w - 10, 0), QPoint(w, 10), QPoint(w, h),
                            QPoint(14, h), QPoint(7, h - 10), QPoint(0, h - 10)});
    QRegion region(outline, Qt::WindingFill);
    region -= QRegion(QRect(QPoint(w - 9, 0), QPoint(w - 7, 4)));
    region -= QRegion(QRect(QPoint(w - 6, 4), QPoint(w - 4, 7)));
    region -= QRegion(QRect(QPoint(w - 3, 7), QPoint(w - 1, 10)));
    return region;
}

void TQueueWorld::ReshapeWindow()
{
    QWidget *host = HostWindow();
    if (!host || !host->isWindow())
        return;
    host->update();
    host->setMask(Callbacks.WindowRegion ? Callbacks.WindowRegion()
                                         : WindowShape(host->width(), host->height()));
}

void TQueueWorld::CentreWindow()
{
    QWidget *host = HostWindow();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!host || !screen)
        return;
    const QSize size = screen->size();
    host->move((size.width() - host->width()) / 2, (size.height() - host->height()) / 2);
}
