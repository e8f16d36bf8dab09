#pragma once

#include "controls/MarovekUtils.h"
#include "modes/QueueStrategy.h"
#include "modes/WordCardView.h"
#include "store/User.h"
#include "store/Word.h"

#include <QObject>

#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QMenu;
class QAction;
class QLabel;
class QObject;
class TDecorateButton;
class TRichEdit3;
class TSimpleGrid;
class TTransparentPanel;
class TTransparentPanel1;
class TWord;
class TWordSymbol;

// Binds the modes to the main window: the host window, its background colour and the
// shared context menu of the text views.
class TFoundation
{
public:
    explicit TFoundation(QWidget *hostForm);
    ~TFoundation();
    TFoundation(const TFoundation &) = delete;
    TFoundation &operator=(const TFoundation &) = delete;

    QWidget *HostWindow() const { return m_hostForm; }
    // The host's colour (0x00BBGGRR); white 0xFFFFFF without a host.
    quint32 BackgroundColor() const;
    void SetBackgroundColor(quint32 bgr);
    bool HostVisible() const;
    // Created on first use: "查词" (2), -, "复制" (10), -, "粗体" (3), "斜体" (4),
    // "下划线" (5), "删除线" (6), -, "用荧光笔标注" (7), "取消荧光标注" (8), "选择荧光笔" (9).
    QMenu *ContextMenu();
    // The first item with tag 2..10; none for other tags.
    QAction *ContextItem(int tag);
    static int MeasureTextWidth(const QFont &font, const QString &text);
    static int MeasureTextHeight(const QFont &font, const QString &text);

private:
    QPointer<QWidget> m_hostForm;
    std::unique_ptr<QMenu> m_contextMenu;
};

// What the main window gives the host (all optional).
struct TWorldCallbacks
{
    std::function<void(bool canGoBack, bool canGoForward)> EnablePaging;
    std::function<void(bool possible)> EnableBookSetup;
    std::function<void()> ApplySettings;
    std::function<void()> ApplyToolbarColour;
    // The window's region at its current size; the host's own shape when not set. The main
    // window gives one that also leaves out its see-through binding strip.
    std::function<QRegion()> WindowRegion;
};

// What a layer opener asks the layer factory for.
struct TLayerRequest
{
    TLayerKind Kind = TLayerKind::Other;
    std::unique_ptr<TWord> Word; // the layer's own copy
    TUserBook *Book = nullptr;
    int Relation = 0;            // search: 1 synonyms, 2 antonyms
    QString WordText;
    QString Query;
    bool StartSearch = false;
};

// The layer host. The main window creates it with the foundation after sign-in, installs
// the callbacks, calls Arrange and Activate, passes every key press to Perform(virtual-key
// code, 4 with Ctrl) and tool-bar tags to ToolbarCommand; before freeing it, StopAll and
// Load (which frees every layer).
//
// Host commands, after the top layer had the code (key code + 10000, or the alias):
//   10027 Esc -714883567  PopLayer            10066 B  1245566464 SearchRelated(2)
//   10069 E   1921648724  OpenDictionary      10070 F -1915727529 Ctrl only: FindWord
//   10080 P   -391513236  OpenSpellDrill      10085 U -1601057597 OpenStatistics
//   10087 W   1229013564  PlayWord(current)   10090 Z  -665205837 SearchRelated(1)
class TQueueWorld : public TStrategy
{
public:
    static constexpr int ToolButtonCount = 50;
    static constexpr int MoreButtonTag = 0x7FFFFFFF;
    static constexpr int ShowInterval = 100;
    static constexpr int TickInterval = 1000;
    static constexpr int FlashInterval = 10;
    static constexpr quint32 FlashColor = 0x808080;
    static constexpr quint32 RestoreColor = 0x666666;
    // The twelve status labels, "提示" + name, in registration order.
    static const QStringList &StatusNames();

    explicit TQueueWorld(TFoundation *foundation);
    ~TQueueWorld() override;

    // TStrategy
    void Attach() override;
    void Execute(int command) override;
    void Show() override;
    void Repaint() override;
    void Load() override;
    void Arrange() override;
    // Adds 10000 to a raw key code.
    virtual int TranslateCommand(int code) { return code + 10000; }

    // Layers.
    void Push(std::unique_ptr<TQueueStrategy> mode);
    void PopLayer();
    TQueueStrategy *TopLayer() const { return Layers.Peek(); }
    int LayerCount() const { return Layers.Count(); }
    TQueueStrategy *LayerAt(int index) const { return Layers.Item(index); }
    bool TopIs(TLayerKind kind) const;
    TWord *CurrentWord() const;
    TWord *PopupWord() const;
    // Frees every layer, top first.
    void FreeLayers();

    // Books and study content.
    void OpenBook(TUserBook *book);
    // The book menu: "英文到中文", "中文到英文", "单词拼写", "单词听写" (tags 0..3).
    void BookMenu();
    // StudyTrack := track; opens the user's first book when there is one.
    void ChooseStudyTrack(int track);
    TUserBook *NotebookBook() const;

    // Lookup, search and other layers (each does nothing when its layer cannot be made).
    void OpenDictionary();
    void OpenLinkedDictionary();
    void OpenExamples();
    void OpenWordInfo();
    void OpenSpellDrill();
    void OpenStatistics();
    void SearchRelated(int kind);
    void FindWord();
    void WordCardButton(int tag);

    // The shared click rule of the tool buttons, the "more" arrow and the overflow items.
    void ToolClick(int entryKey, QWidget *source, bool ctrlDown);
    // Appends an item for entry to the overflow menu; its click goes to ToolClick.
    QAction *AddOverflowItem(const TTip &entry, bool enabled);
    // The main window's tool bar.
    void ToolbarCommand(int tag);
    // Tag 13: the note dialog; a confirmed title and text go to the server as a note.
    void NewContent();

    // Sound, word card, timer.
    void PlayWord(const TWord *word);
    void ShowWordCard(const QPoint &globalPos, const QString &text);
    void CloseWordCard();
    // Where the card goes for a pointer at mouse on a screen of the given size.
    static QPoint CardPosition(const QPoint &mouse, const QSize &card, const QSize &screen);
    void Flash(const QString &name);
    // Listeners are called at every host-timer tick in registration order; owner
    // identifies the listener (registered at most once per owner).
    void AddTimerListener(const void *owner, std::function<void()> listener);
    void RemoveTimerListener(const void *owner);
    void Tick();
    void StopAll();

    // Headings and grid presets of the lookup layers.
    void SetTitle(const QString &text, const QString &phonetic, quint32 colour,
                  const QString &translation);
    void UseTitledGrid(int firstColumnWidth);
    void UseSingleColumnGrid();
    void UseTwoColumnGrid(int firstColumnWidth);

    // Registered controls and the stored layout.
    void RegisterControl(const QString &name, QWidget *control);
    QWidget *Control(const QString &name) const;
    const std::vector<std::pair<QString, QPointer<QWidget>>> &Controls() const { return m_controls; }
    TWordSymbol *StatusLabel(const QString &shortName) const;
    // Reloads the signed-in user's layout.
    void LoadLayoutElements();
    // A mode changed the window size: invalidate and cut the window's shape.
    void ReshapeWindow();
    static QRegion WindowShape(int width, int height);
    void CentreWindow();

    // Page-navigation and book-setup callbacks, used by the modes.
    void EnablePaging(bool canGoBack, bool canGoForward);
    void EnableBookSetup(bool possible);

    QWidget *HostWindow() const;
    TTransparentPanel1 *ToolPanelWidget() const { return ToolPanel; }

    TMarovekStack<TQueueStrategy> Layers;
    TSimpleGrid *Grid = nullptr;
    TTransparentPanel1 *ToolPanel = nullptr;
    TDecorateButton *MoreButton = nullptr;
    std::vector<TDecorateButton *> ToolButtons;
    std::unique_ptr<QMenu> OverflowMenu;
    std::unique_ptr<QMenu> BookMenuPopup;
    TTransparentPanel *AnswerPanel = nullptr;
    QWidget *WordListPanel = nullptr;
    TLayout LayoutElements;
    TWordSymbol *TitleWord = nullptr;
    TWordSymbol *TitleTrans = nullptr;
    TWordSymbol *TitleLine = nullptr;
    TRichEdit3 *TextView = nullptr;
    TRichEdit3 *TextView2 = nullptr;
    std::unique_ptr<TWordCardView> WordCard; // none until the dialogs provide one
    TMarovekTimer *Timer = nullptr;
    QStringList LookedUpWords;
    QStringList ChangedWords;
    int RefreshDepth = 0;
    bool RefreshPending = false;
    std::vector<std::pair<QString, QPointer<QLabel>>> PictureControls;
    int RememberedWidth = 0;
    int RememberedHeight = 0;
    bool NoNotebook = false;
    bool BookSetupPossible = false;
    bool FlashPending = false;
    int FlashTicks = 0;
    QString FlashName;
    TWorldCallbacks Callbacks;

    // Makes the word-book layer for a study track; the default is CreateBookMode.
    std::function<std::unique_ptr<TQueueStrategy>(TQueueWorld &, int track, TUserBook *)> BookModeFactory;
    // Makes the other layers; the default is CreateLayer (none for kinds not built).
    std::function<std::unique_ptr<TQueueStrategy>(TQueueWorld &, TLayerRequest)> LayerFactory;
    // Plays a word's sound once an output device was found; the default fetches the
    // sound address of the word on a sound thread. Tests replace it.
    std::function<void(const TWord &)> SoundPlayer;
    // True when a default audio output exists.
    std::function<bool()> HasAudioOutput;
    // The application hint handler of the attached page layer (none when detached).
    std::function<void(const QString &)> HintHandler;

private:
    void createControls();
    void pushRequest(TLayerRequest request);
    void popupOverflow();
    void showMoreEntries();
    void setStatusColour(const QString &name, quint32 colour);

    std::vector<std::pair<const void *, std::function<void()>>> m_listeners;
    std::vector<std::pair<QString, QPointer<QWidget>>> m_controls;
    std::unique_ptr<QObject> m_hintFilter;
    QMetaObject::Connection m_tickConnection;
};
