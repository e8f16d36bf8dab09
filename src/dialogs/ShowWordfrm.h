#pragma once

#include "store/NamedList.h"
#include "store/Word.h"

#include <QPoint>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class TMultiOptionLabel;
class TWordSymbol;

// The word card: a borderless pop-up showing one looked-up word (headword, phonetic
// transcription, Chinese meaning) under a row of small buttons, with a drop-down of the
// other words found for the same text. The layer host fills it, attaches its own handlers
// to every button but btnClose, and shows it; the card sizes itself to its content,
// closes itself after the pointer has stayed outside for a few timer ticks, and can be
// dragged by any point of its surface.
class TfrmShowWord : public QWidget
{
    Q_OBJECT
public:
    using TWordList = TNamedList<TWord>;

    static constexpr int kDesignWidth = 355;
    static constexpr int kDesignHeight = 173;
    static constexpr quint32 kFrameColor = 0xC0DCC0;
    static constexpr int kFramePenWidth = 8;

    explicit TfrmShowWord(QWidget *parent = nullptr);
    ~TfrmShowWord() override;

    // Takes the found words (the card owns them from now on; the previous list and its
    // words are freed) and offers their names in the headword's drop-down, whose arrow
    // shows only for more than one word. nullptr clears the list.
    void SetWords(std::unique_ptr<TWordList> list);
    const TWordList *Words() const { return m_words.get(); }
    // The word at WordIndex, or nullptr without a list or with an index outside it.
    // Valid until the next SetWords or the card's destruction.
    TWord *SelectedWord() const;
    // Lays the card out for word: headword, transcription (hidden when blank), meaning
    // with the height of its wrapped lines, and the card's height from that.
    void DisplayWord(const TWord *word);

    // The auto-close delay in ticks for a CloseDelay value (1, 5, 7, 10, 15 for 0-4);
    // values outside 0-4 are taken as the nearest end of the table.
    static int CloseTicks(int closeDelay);
    // How many lines `text` takes in memAdjust (at least 0, as a word-wrapping memo
    // counts them: a final line break opens no line).
    int MemoLineCount(const QString &text) const;

    // The background colour as a Windows colour value 0x00BBGGRR.
    quint32 Color() const { return m_color; }
    void SetColor(quint32 bgr);

    // Timer ticks in a row with the pointer outside the card.
    int OutsideTicks = 0;
    // Copy of the setting ReadingNote; selects the auto-close delay.
    int CloseDelay = 1;
    // Index in Words of the word shown.
    int WordIndex = 0;

    TMultiOptionLabel *HeadwordLabel = nullptr;
    TWordSymbol *SymbolLabel = nullptr;

    QLabel *imgBack = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblTrans = nullptr;
    QWidget *ToolBar1 = nullptr;
    QToolButton *btnSpell = nullptr;
    QToolButton *btnSound = nullptr;
    QToolButton *btnBaseInfo = nullptr;
    QToolButton *btnExample = nullptr;
    QToolButton *btnEnglish = nullptr;
    QToolButton *btnAddReadingNote = nullptr;
    QToolButton *btnClose = nullptr;
    QPlainTextEdit *memAdjust = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *PopupMenu1 = nullptr;

public slots:
    // The headword's option click: shows the first found word of that name.
    void SelectOption(QAction *item);
    void btnCloseClick();
    // One auto-close tick: counts ticks with the pointer outside, closes at the delay.
    void Timer1Timer();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void CreateComponents();
    void CreateToolBar();
    QToolButton *AddButton(const QString &name, int tag, int width, const QString &hint,
                           const QString &glyph);
    void CreateLabels();

    std::unique_ptr<TWordList> m_words;
    quint32 m_color = 0xFFFFFF;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
