#include "Choices.h"

#include "RichEdits.h"
#include "platform/gui/Colors.h"

#include <QAction>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QSet>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

using vocamo::colorFromWin;

// --- TChoiceLabel -------------------------------------------------------------------

TChoiceLabel::TChoiceLabel(QWidget *parent)
    : TCustomSymbol(parent)
{
}

QString TChoiceLabel::LetterText(int number)
{
    if (number < 1 || number > 26)
        return {};
    return QStringLiteral("(%1)").arg(QChar(u'A' + (number - 1)));
}

int TChoiceLabel::LetterCellWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(QStringLiteral("(A)")) + 2;
}

void TChoiceLabel::SetSelected(bool on)
{
    if (on != m_selected) {
        m_selected = on;
        update();
    }
}

void TChoiceLabel::SetMarked(bool on)
{
    if (on != m_marked) {
        m_marked = on;
        update();
    }
}

void TChoiceLabel::SetCheckBox(bool on)
{
    if (on != m_checkBox) {
        m_checkBox = on;
        update();
    }
}

void TChoiceLabel::SetNumber(int number)
{
    if (number != m_number) {
        m_number = number;
        update();
    }
}

void TChoiceLabel::SetMarkColor(quint32 bgr)
{
    if (bgr != m_markColor) {
        m_markColor = bgr;
        update();
    }
}

void TChoiceLabel::SetSelectedColor(quint32 bgr)
{
    if (bgr != m_selectedColor) {
        m_selectedColor = bgr;
        update();
    }
}

void TChoiceLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintBackground(painter);
    painter.setFont(font());
    const QString letter = LetterText(m_number);
    const int flags = Qt::AlignHCenter | Qt::TextWordWrap;
    const QFontMetrics metrics(font());
    if (m_checkBox) {
        const int cellWidth = LetterCellWidth();
        const int textHeight =
            metrics.boundingRect(QRect(0, 0, cellWidth, qMax(height(), 1)), flags, letter).height();
        const QRect cell(0, (height() - textHeight) / 2, cellWidth, textHeight);
        if (m_selected)
            painter.fillRect(cell, colorFromWin(m_selectedColor));
        if (m_marked)
            painter.fillRect(cell, colorFromWin(m_markColor));
        DrawTextEmbossed(painter, cell, flags, letter);

        const int boxLeft = cell.x() + cell.width() + 1;
        const int boxBottom = height() - (height() - 15) / 2;
        const QRect box(boxLeft, boxBottom - 12, 12, 12);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(colorFromWin(FontColor()));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (m_selected) {
            QPen cross(colorFromWin(FontColor()));
            cross.setWidth(2);
            painter.setPen(cross);
            const QRect inner = box.adjusted(1, 1, -2, -2);
            painter.drawLine(inner.topLeft(), inner.bottomRight());
            painter.drawLine(inner.topRight(), inner.bottomLeft());
        }
        return;
    }
    QRect textRect = rect();
    const int textHeight = metrics.boundingRect(textRect, flags, letter).height();
    if (textHeight < height())
        textRect.translate(0, (height() - textHeight) / 2);
    if (m_marked)
        painter.fillRect(rect(), colorFromWin(m_markColor));
    if (m_selected)
        painter.fillRect(rect(), colorFromWin(m_selectedColor));
    DrawTextEmbossed(painter, textRect, flags, letter);
}

// --- TChoiceListLabel ---------------------------------------------------------------

const QString TChoiceListLabel::kNothingChosen = QStringLiteral("未选");

TChoiceListLabel::TChoiceListLabel(QWidget *parent)
    : TCustomSymbol(parent)
    , m_choiceMenu(new QMenu(this))
{
    SetTransparent(true);
    SetAlignment(TAlignment::Center);
    SetAutoSize(false);
    SetTag(-1);
    SetCaption(kNothingChosen);
}

TChoiceObject *TChoiceListLabel::Choice(int index) const
{
    if (index < 0 || index >= ChoiceCount())
        return nullptr;
    return m_choices[size_t(index)].get();
}

TChoiceObject *TChoiceListLabel::AddChoice(const QString &caption, const QString &menuText,
                                           void *question, qint32 value, const QString &hint)
{
    auto choice = std::make_unique<TChoiceObject>();
    choice->Caption = caption;
    choice->MenuText = menuText;
    choice->Question = question;
    choice->Value = value;
    choice->Hint = hint;
    TChoiceObject *added = choice.get();
    m_choices.push_back(std::move(choice));
    if (m_style == 1) {
        m_current = added;
        m_currentIndex = ChoiceCount() - 1;
        SetTag(m_currentIndex);
        setToolTip(hint);
        SetCaption(caption);
    }
    return added;
}

void TChoiceListLabel::ClearChoices()
{
    m_choices.clear();
    ++m_generation;
    m_current = nullptr;
    m_currentIndex = -1;
    SetTag(-1);
    SetCaption(kNothingChosen);
}

void TChoiceListLabel::SetIndex(int index)
{
    TChoiceObject *choice = Choice(index);
    if (!choice)
        return;
    m_currentIndex = index;
    m_current = choice;
    SetTag(index);
    setToolTip(choice->Hint);
    SetCaption(choice->Caption);
}

void TChoiceListLabel::Choose(QObject *sender)
{
    int tag = -1;
    if (auto *item = qobject_cast<QAction *>(sender))
        tag = item->data().toInt();
    else if (sender)
        tag = sender->property("tag").toInt();

    if (TChoiceObject *choice = Choice(tag)) {
        const quint64 generation = m_generation;
        bool accept = true;
        emit OnChoose(this, choice->Question, &accept, choice->Value, ChooseValue2, ChooseValue1);
        // The handler may have changed the choices: take the entry only if it is still there.
        if (accept && generation == m_generation && Choice(tag) == choice) {
            m_current = choice;
            m_currentIndex = tag;
            SetTag(tag);
            setToolTip(choice->Hint);
            SetCaption(TrimBlanks(choice->Caption));
        }
    }
    emit OnChange(sender);
}

void TChoiceListLabel::SetStyle(int style)
{
    if (style == m_style)
        return;
    m_style = style;
    if (style == 1)
        SetIndex(ChoiceCount() - 1);
    else if (style == 3)
        disconnect(this, &TCustomSymbol::OnClick, nullptr, nullptr);
    emit OnChange(this);
    update();
}

void TChoiceListLabel::SetBorderColor(quint32 bgr)
{
    if (bgr != m_borderColor) {
        m_borderColor = bgr;
        update();
    }
}

void TChoiceListLabel::TextChanged()
{
    emit OnChange(this);
}

QStringList TChoiceListLabel::AutoHotKeys(const QStringList &captions)
{
    QSet<QChar> taken;
    QStringList result;
    result.reserve(captions.size());
    for (const QString &caption : captions) {
        QString item = caption;
        item.replace(QLatin1Char('&'), QLatin1String("&&"));
        for (qsizetype i = 0; i < item.size(); ++i) {
            const QChar c = item.at(i);
            if (c.unicode() >= 0x80 || !c.isLetterOrNumber() || taken.contains(c.toUpper()))
                continue;
            taken.insert(c.toUpper());
            item.insert(i, QLatin1Char('&'));
            break;
        }
        result << item;
    }
    return result;
}

void TChoiceListLabel::PopupChoices()
{
    SetHover(false);
    m_choiceMenu->clear();
    QStringList captions;
    for (const auto &choice : m_choices)
        captions << TrimBlanks(choice->MenuText);
    const QStringList items = AutoHotKeys(captions);
    for (int i = 0; i < items.size(); ++i) {
        QAction *item = m_choiceMenu->addAction(items.at(i));
        item->setData(i);
        connect(item, &QAction::triggered, this, [this, item] { Choose(item); });
    }
    m_choiceMenu->popup(mapToGlobal(QPoint(0, height() + 1)));
}

void TChoiceListLabel::mousePressEvent(QMouseEvent *event)
{
    TCustomSymbol::mousePressEvent(event);
    if (m_locked || event->button() != Qt::LeftButton)
        return;
    const int x = int(event->position().x());
    if ((m_style == 0 && x > width() - 20) || m_style == 2)
        PopupChoices();
    else if ((m_style == 0 && x < width() - 20) || m_style == 1)
        Choose(this);
}

void TChoiceListLabel::SetHover(bool on)
{
    if (on != m_hover) {
        m_hover = on;
        update();
    }
}

void TChoiceListLabel::enterEvent(QEnterEvent *event)
{
    TCustomSymbol::enterEvent(event);
    SetHover(true);
}

void TChoiceListLabel::leaveEvent(QEvent *event)
{
    TCustomSymbol::leaveEvent(event);
    SetHover(false);
}

void TChoiceListLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintBackground(painter);
    const int w = width();
    const int h = height();
    QRect textRect = rect();
    if (m_style >= 0 && m_style <= 2) {
        const QColor first = m_hover ? palette().color(QPalette::Light) : colorFromWin(m_borderColor);
        const QColor second = m_hover ? palette().color(QPalette::Dark) : colorFromWin(m_borderColor);
        const int right = w - 1;
        const int bottom = h - 1;
        painter.setPen(first);
        painter.drawLine(0, 0, right, 0);
        painter.drawLine(0, 0, 0, bottom);
        painter.setPen(second);
        painter.drawLine(right, 0, right, bottom);
        painter.drawLine(0, bottom, right, bottom);
        if (m_style == 0) {
            const int m = (h - 10) / 2;
            painter.setPen(Qt::black);
            painter.setBrush(Qt::black);
            painter.drawPolygon(
                QPolygon({QPoint(w - 16, m), QPoint(w - 4, m), QPoint(w - 10, m + 9)}));
            painter.setPen(first);
            painter.drawLine(w - 20, 1, w - 20, bottom - 1);
            painter.setPen(second);
            painter.drawLine(w - 21, 1, w - 21, bottom - 1);
            textRect.setRight(textRect.right() - 22);
        }
    }
    painter.setFont(font());
    const int flags = AlignmentFlags() | Qt::TextWordWrap;
    const QRect measured = MeasureText(textRect, Qt::TextWordWrap);
    textRect.translate(0, (textRect.height() - measured.height()) / 2);
    DrawTextEmbossed(painter, textRect, flags, GetLabelText());
}

// --- TMarovekChoice1 ----------------------------------------------------------------

TMarovekChoice1::TMarovekChoice1(QWidget *parent)
    : m_parent(parent)
    , m_text(new TRichEdit3(parent))
    , m_cover(new TTransparentPanel1(parent))
    , m_letter(new TChoiceLabel(parent))
{
    m_text->hide();
    m_text->setFrameStyle(QFrame::NoFrame);
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);
    m_text->SetTransparent(true);
    m_text->setReadOnly(true);
    m_cover->hide();
    m_letter->hide();
    m_letter->SetAutoSize(false);
    connect(m_letter, &TCustomSymbol::OnMouseDown, this, &TMarovekChoice1::LetterMouseDown);
}

TMarovekChoice1::~TMarovekChoice1()
{
    // The controls live on Parent; free them with the option unless Parent already did.
    delete m_text.data();
    delete m_letter.data();
    delete m_cover.data();
}

QSize TMarovekChoice1::LetterCellSize() const
{
    const QFontMetrics metrics(m_letter->font());
    const int w = metrics.horizontalAdvance(QStringLiteral("(A)"))
                  + (m_letter->CheckBox() ? 15 : 0) + 5;
    return {w, metrics.boundingRect(QStringLiteral("G")).height() + 2};
}

void TMarovekChoice1::LayOut()
{
    if (!m_text || !m_letter || !m_cover)
        return;
    if (m_letter->Number() < 1) {
        m_text->setGeometry(m_bounds);
    } else {
        const QSize cell = LetterCellSize();
        const QRect cellRect(m_bounds.topLeft(), cell);
        if (m_covered) {
            m_cover->setGeometry(cellRect);
            if (m_letter->parentWidget() != m_cover)
                m_letter->setParent(m_cover);
            m_letter->setGeometry(0, 0, cell.width(), cell.height());
        } else {
            if (m_letter->parentWidget() != m_parent)
                m_letter->setParent(m_parent);
            m_letter->setGeometry(cellRect);
        }
        m_text->setGeometry(m_bounds.x() + cell.width(), m_bounds.y(),
                            qMax(m_bounds.width() - cell.width(), 0), m_bounds.height());
    }
    // The option text takes the letter's font at single line spacing.
    m_text->setReadOnly(false);
    QTextCursor all(m_text->document());
    all.select(QTextCursor::Document);
    QTextCharFormat charFormat;
    charFormat.setFontFamilies({m_letter->font().family()});
    charFormat.setFontPointSize(TCustomSymbol::FontPointSize(m_letter->font()));
    all.mergeCharFormat(charFormat);
    QTextBlockFormat blockFormat;
    blockFormat.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
    all.mergeBlockFormat(blockFormat);
    m_text->setReadOnly(true);
    QTextCursor none = m_text->textCursor();
    none.clearSelection();
    m_text->setTextCursor(none);
}

void TMarovekChoice1::ApplyVisibility()
{
    if (!m_text || !m_letter || !m_cover)
        return;
    const bool lettered = m_letter->Number() > 0;
    m_text->setVisible(m_shown);
    m_cover->setVisible(m_shown && m_covered && lettered);
    m_letter->setVisible(m_shown && lettered);
}

void TMarovekChoice1::SetShown(bool on)
{
    m_shown = on;
    LayOut();
    ApplyVisibility();
}

void TMarovekChoice1::SetCovered(bool on)
{
    if (on == m_covered)
        return;
    m_covered = on;
    if (m_shown) {
        LayOut();
        ApplyVisibility();
    }
}

void TMarovekChoice1::SetBounds(const QRect &rect)
{
    if (!m_shown) {
        m_bounds = rect;
        return;
    }
    if (m_parent)
        m_parent->update(m_bounds);
    m_bounds = rect;
    LayOut();
    ApplyVisibility();
    if (m_parent)
        m_parent->update(m_bounds);
}

void TMarovekChoice1::Invalidate()
{
    if (!m_parent || !m_cover || !m_letter)
        return;
    m_parent->update(m_covered ? m_cover->geometry() : m_letter->geometry());
}

void TMarovekChoice1::LetterMouseDown()
{
    if (m_locked || !m_letter)
        return;
    if (m_letter->CheckBox() || !m_letter->Selected())
        emit OnChoose(ChoiceValue1, ChoiceValue2);
}

// --- TMarovekChoiceList -------------------------------------------------------------

TMarovekChoiceList::TMarovekChoiceList(QWidget *parent)
    : m_parent(parent)
    , m_cover(new TTransparentPanel1(parent))
{
    m_cover->hide();
}

TMarovekChoiceList::~TMarovekChoiceList()
{
    // The controls live on Parent; free them with the blank unless Parent already did.
    delete m_label.data();
    delete m_cover.data();
}

TChoiceListLabel *TMarovekChoiceList::Label()
{
    if (!m_label) {
        m_label = new TChoiceListLabel(m_parent);
        m_label->hide();
        m_label->setAttribute(Qt::WA_AlwaysShowToolTips);
        connect(m_label, &TChoiceListLabel::OnChange, this, &TMarovekChoiceList::Invalidate);
    }
    return m_label;
}

void TMarovekChoiceList::LayOut()
{
    TChoiceListLabel *label = Label();
    if (m_covered && m_cover) {
        m_cover->setGeometry(m_bounds);
        if (label->parentWidget() != m_cover)
            label->setParent(m_cover);
        label->setGeometry(0, 0, m_bounds.width(), m_bounds.height());
    } else {
        if (label->parentWidget() != m_parent)
            label->setParent(m_parent);
        label->setGeometry(m_bounds);
    }
}

void TMarovekChoiceList::SetShown(bool on)
{
    m_shown = on;
    if (on)
        LayOut();
    Label()->setVisible(on);
    if (m_cover)
        m_cover->setVisible(on && m_covered);
}

void TMarovekChoiceList::SetCovered(bool on)
{
    if (on == m_covered)
        return;
    m_covered = on;
    if (m_shown)
        SetShown(true);
}

void TMarovekChoiceList::SetBounds(const QRect &rect)
{
    if (!m_shown) {
        m_bounds = rect;
        return;
    }
    if (m_parent)
        m_parent->update(m_bounds);
    m_bounds = rect;
    LayOut();
    Label()->setVisible(true);
    if (m_parent)
        m_parent->update(m_bounds);
}

void TMarovekChoiceList::Invalidate()
{
    if (!m_parent)
        return;
    if (m_covered && m_cover)
        m_parent->update(m_cover->geometry());
    else if (m_label)
        m_parent->update(m_label->geometry());
}
