#pragma once

#include "RichEdits.h"
#include "Symbols.h"

#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

// The option letter of a choice question: "(A)" to "(Z)", drawn in a cell that can be
// selected, marked, and (as a check box) followed by a small square.
class TChoiceLabel : public TCustomSymbol
{
    Q_OBJECT
public:
    explicit TChoiceLabel(QWidget *parent = nullptr);

    bool Selected() const { return m_selected; }
    void SetSelected(bool on);
    bool Marked() const { return m_marked; }
    void SetMarked(bool on);
    bool CheckBox() const { return m_checkBox; }
    void SetCheckBox(bool on);
    // 1 to 26: the letters A to Z.
    int Number() const { return m_number; }
    void SetNumber(int number);
    quint32 MarkColor() const { return m_markColor; }
    void SetMarkColor(quint32 bgr);
    quint32 SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(quint32 bgr);

    // "(" + the letter of `number` + ")"; empty outside 1 to 26.
    static QString LetterText(int number);
    // The width of the letter cell: the width of "(A)" + 2.
    int LetterCellWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_selected = false;
    bool m_marked = false;
    bool m_checkBox = false;
    int m_number = 0;
    quint32 m_markColor = 0x0080FFFF;
    quint32 m_selectedColor = 0x00FFC080;
};

// One entry of a drop-down blank.
class TChoiceObject
{
public:
    QString Caption;  // shown when chosen
    QString MenuText; // text of its menu item
    QString Hint;
    void *Question = nullptr; // the caller's object, not owned
    qint32 Value = 0;
};

// A drop-down blank: shows "未选" until one of its choices is chosen from its menu.
// Style 0 has a drop-down arrow (left part re-chooses), 1 shows the last choice and
// re-chooses on click, 2 opens the menu anywhere, 3 ignores clicks.
class TChoiceListLabel : public TCustomSymbol
{
    Q_OBJECT
public:
    static const QString kNothingChosen;

    explicit TChoiceListLabel(QWidget *parent = nullptr);

    int ChoiceCount() const { return int(m_choices.size()); }
    TChoiceObject *Choice(int index) const;
    TChoiceObject *Current() const { return m_current; }
    int CurrentIndex() const { return m_currentIndex; }
    int Style() const { return m_style; }
    void SetStyle(int style);
    quint32 BorderColor() const { return m_borderColor; }
    void SetBorderColor(quint32 bgr);
    QMenu *ChoiceMenu() const { return m_choiceMenu; }
    bool Hover() const { return m_hover; }
    bool Locked() const { return m_locked; }
    void SetLocked(bool on) { m_locked = on; }
    int ChooseValue1 = 0;
    int ChooseValue2 = 0;

    TChoiceObject *AddChoice(const QString &caption, const QString &menuText, void *question,
                             qint32 value, const QString &hint);
    void ClearChoices();
    void SetIndex(int index);
    // Chooses the entry named by the sender's tag (a menu item's data, or the label's tag).
    void Choose(QObject *sender);

    // Menu captions with a hot key ("&") before the first letter or digit not yet taken.
    static QStringList AutoHotKeys(const QStringList &captions);

signals:
    // Before an entry is taken; clearing *accept keeps the current one.
    void OnChoose(TChoiceListLabel *label, void *question, bool *accept, qint32 value,
                  int chooseValue2, int chooseValue1);
    void OnChange(QObject *sender);

protected:
    void TextChanged() override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void SetHover(bool on);
    void PopupChoices();

    std::vector<std::unique_ptr<TChoiceObject>> m_choices;
    quint64 m_generation = 0; // changes whenever the choices are freed
    TChoiceObject *m_current = nullptr;
    int m_currentIndex = -1;
    int m_style = 0;
    quint32 m_borderColor = 0x00808080;
    QMenu *m_choiceMenu = nullptr; // child of the label
    bool m_hover = false;
    bool m_locked = false;
};

// One answer option of a choice question: its letter (optionally under a cover) and its
// rich-text view, laid out in Bounds on Parent. The caller owns the option (it is not a
// Qt child of Parent); its controls live on Parent and are freed with the option.
class TMarovekChoice1 : public QObject
{
    Q_OBJECT
public:
    explicit TMarovekChoice1(QWidget *parent);
    ~TMarovekChoice1() override;

    TRichEdit3 *Text() const { return m_text; }
    TTransparentPanel1 *Cover() const { return m_cover; }
    TChoiceLabel *Letter() const { return m_letter; }
    QWidget *Parent() const { return m_parent; }
    QRect Bounds() const { return m_bounds; }
    bool Covered() const { return m_covered; }
    bool Shown() const { return m_shown; }
    bool Locked() const { return m_locked; }
    void SetLocked(bool on) { m_locked = on; }
    int ChoiceValue1 = 0;
    int ChoiceValue2 = 0;

    void SetBounds(const QRect &rect);
    void SetShown(bool on);
    void SetCovered(bool on);
    void Invalidate();
    // The rectangle of the letter cell for the current letter settings.
    QSize LetterCellSize() const;

signals:
    void OnChoose(int choiceValue1, int choiceValue2);

private:
    void LayOut();
    void ApplyVisibility();
    void LetterMouseDown();

    QPointer<QWidget> m_parent;
    QPointer<TRichEdit3> m_text;
    QPointer<TTransparentPanel1> m_cover;
    QPointer<TChoiceLabel> m_letter;
    QRect m_bounds;
    bool m_covered = false;
    bool m_shown = false;
    bool m_locked = false;
};

// One drop-down blank of a question: a TChoiceListLabel (made on first use) at Bounds on
// Parent, optionally under a cover. The caller owns the blank; its controls live on Parent
// and are freed with it.
class TMarovekChoiceList : public QObject
{
    Q_OBJECT
public:
    explicit TMarovekChoiceList(QWidget *parent);
    ~TMarovekChoiceList() override;

    TTransparentPanel1 *Cover() const { return m_cover; }
    QWidget *Parent() const { return m_parent; }
    TChoiceListLabel *Label();
    QRect Bounds() const { return m_bounds; }
    bool Covered() const { return m_covered; }
    bool Shown() const { return m_shown; }

    void SetBounds(const QRect &rect);
    void SetShown(bool on);
    void SetCovered(bool on);
    void Invalidate();

private:
    void LayOut();

    QPointer<QWidget> m_parent;
    QPointer<TTransparentPanel1> m_cover;
    QPointer<TChoiceListLabel> m_label;
    QRect m_bounds;
    bool m_covered = false;
    bool m_shown = false;
};
