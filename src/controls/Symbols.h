#pragma once

#include "MarovekUtils.h"

#include <QMenu>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPainter;

// A painted caption label with an optional phonetic part: the phonetic text is drawn in
// the phonetic font between two drawn square brackets, to the right of the caption and
// sitting on the bottom edge. No window background of its own: unless marked opaque the
// parent shows through. Colours are Windows colour values 0x00BBGGRR.
class TCustomSymbol : public QWidget
{
    Q_OBJECT
public:
    enum class TAlignment { Left, Right, Center };
    enum class TTextLayout { Top, Center, Bottom };

    explicit TCustomSymbol(QWidget *parent = nullptr);
    ~TCustomSymbol() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    QWidget *FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget *control);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout layout);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool on);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);

    // Background colour; setting it turns ParentColor off.
    quint32 Color() const { return m_color; }
    void SetColor(quint32 bgr);
    // While on, the background is the parent's background colour.
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    quint32 FontColor() const { return m_fontColor; }
    void SetFontColor(quint32 bgr);
    // The caller's value, kept in the dynamic property "tag".
    int Tag() const;
    void SetTag(int tag);

    // The phonetic text as stored: two blanks, the value and one blank.
    QString Symbol() const { return m_symbol; }
    // The phonetic text without the surrounding blanks.
    QString GetSymbol() const;
    void SetSymbol(const QString &value);
    int SymbolFontSize() const { return m_symbolFontSize; }
    // Ignored when unchanged or larger than the caption font's point size.
    void SetSymbolFontSize(int size);
    int SymbolLeft() const { return m_symbolLeft; }
    int SymbolTop() const { return m_symbolTop; }
    int SymbolRight() const { return m_symbolRight; }
    int RealWidth() const { return m_realWidth; }

    // While loading, AdjustBounds does nothing; EndLoading runs it once.
    void BeginLoading() { m_loading = true; }
    void EndLoading();
    bool Loading() const { return m_loading; }

    // The font of the phonetic part: "Marovek Phonetic Plain" at SymbolFontSize points.
    QFont SymbolFont() const;
    // The width of the bracket pens: 2 above 14 points, else 1.
    int BracketPenWidth() const { return m_symbolFontSize > 14 ? 2 : 1; }

    virtual QString GetLabelText() const { return m_caption; }

    QSize sizeHint() const override;

    // Point size of a font, also for fonts set in pixels (96 dpi).
    static int FontPointSize(const QFont &font);
    // Trimming as the stored texts expect it: characters up to U+0020 at both ends.
    static QString TrimBlanks(const QString &text);

signals:
    void OnMouseDown(Qt::MouseButton button, const QPoint &pos);
    void OnClick();

protected:
    // Sizes the control to caption and phonetic part (with AutoSize) and measures where
    // the phonetic part goes.
    virtual void AdjustBounds();
    // The caption's rectangle when drawn from the top-left of `rect` with `flags` (Qt
    // alignment and text flags).
    QRect MeasureText(const QRect &rect, int flags) const;
    virtual void DoDrawText(QPainter &painter, const QRect &rect, int flags);
    virtual void DoDrawSymbol(QPainter &painter, const QRect &rect, int flags);
    virtual void DrawBrackets(QPainter &painter);
    // Runs after the caption changed and was laid out.
    virtual void TextChanged() {}

    // Fills the client area unless transparent.
    void PaintBackground(QPainter &painter);
    // Caption in `rect` by alignment and layout, then brackets and phonetic part.
    void PaintLabel(QPainter &painter, const QRect &rect);
    int AlignmentFlags() const;
    int AccelFlags() const;
    // Draws `text` with the enabled/disabled look in the painter's current font.
    void DrawTextEmbossed(QPainter &painter, const QRect &rect, int flags, const QString &text);
    QColor BackgroundColor() const;

    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString TextForMeasure() const;
    QSize SymbolExtent() const;
    void UpdateShortcut();

    QString m_caption;
    QPointer<QWidget> m_focusControl;
    TAlignment m_alignment = TAlignment::Left;
    TTextLayout m_layout = TTextLayout::Top;
    bool m_autoSize = true;
    bool m_showAccelChar = true;
    bool m_wordWrap = false;
    bool m_transparent = false;
    bool m_parentColor = true;
    bool m_loading = false;
    bool m_adjusting = false;
    bool m_pressed = false;
    quint32 m_color = 0x00F0F0F0;
    quint32 m_fontColor = 0x00000000;
    QString m_symbol;
    int m_symbolFontSize = 0;
    int m_symbolLeft = 0;
    int m_symbolTop = 0;
    int m_symbolRight = 0;
    int m_realWidth = 0;
    int m_shortcutId = 0;
};

// The concrete symbol label of word captions and status labels.
class TWordSymbol : public TCustomSymbol
{
    Q_OBJECT
public:
    using TCustomSymbol::TCustomSymbol;
};

// A symbol label that can offer a list of options from a drop-down arrow at its right.
class TMultiOptionLabel : public TCustomSymbol
{
    Q_OBJECT
public:
    explicit TMultiOptionLabel(QWidget *parent = nullptr);

    QStringList &Options() { return m_options; }
    const QStringList &Options() const { return m_options; }
    QString Explain() const { return m_explain; }
    void SetExplain(const QString &explain) { m_explain = explain; }
    bool ShowArrow() const { return m_showArrow; }
    void SetShowArrow(bool on);
    QMenu *TypeMenu() const { return m_typeMenu; }
    void SetTypeMenu(QMenu *menu);
    // Pops up the options when `point` lies on the arrow; false otherwise.
    bool OpenOptionsAt(const QPoint &point);

signals:
    // Given to every option item: the item chosen.
    void OnOptionClick(QAction *item);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect ArrowRect() const;
    void PopupOptions();

    QStringList m_options;
    QString m_explain;
    QPointer<QMenu> m_typeMenu;
    bool m_showArrow = false;
};

// The flat tool button of the layer host: a symbol label that shows a raised frame while
// the mouse is over it.
class TDecorateButton : public TCustomSymbol
{
    Q_OBJECT
public:
    static constexpr int kEdgeEntries = 800;
    static constexpr int kEdgeRun = 200;

    explicit TDecorateButton(QWidget *parent = nullptr);

    bool Hover() const { return m_hover; }
    bool EdgesSaved() const { return m_edgesSaved; }
    quint32 CornerColour() const { return m_cornerColour; }
    QWidget *HostPanel() const { return m_hostPanel; }
    void SetHostPanel(QWidget *panel) { m_hostPanel = panel; }
    QWidget *HostWindow() const { return m_hostWindow; }
    void SetHostWindow(QWidget *window) { m_hostWindow = window; }
    // The background under the edges: row y = 1 (0-199), row y = height - 1 (200-399),
    // column x = 0 (400-599), column x = width - 1 (600-799), as 0x00BBGGRR.
    const TIntList &EdgePixels() const { return m_edgePixels; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void SetHover(bool on);
    void SaveEdges();
    void RestoreEdges(QPainter &painter);
    void DrawRaisedFrame(QPainter &painter);

    bool m_hover = false;
    bool m_edgesSaved = false;
    quint32 m_cornerColour = 0;
    QPointer<QWidget> m_hostPanel;
    QPointer<QWidget> m_hostWindow;
    TIntList m_edgePixels{kEdgeEntries};
};
