#include "UpdownEdit.h"

#include "platform/gui/KeyCodes.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <limits>

// --- TUpDown ----------------------------------------------------------------------------

TUpDown::TUpDown(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setObjectName(QStringLiteral("btnUp"));
    m_down->setObjectName(QStringLiteral("btnDown"));
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { step(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(false); });
}

void TUpDown::SetRange(int min, int max)
{
    m_min = min;
    m_max = max;
    SetPosition(m_position);
}

void TUpDown::SetPosition(int value)
{
    // A reversed range (min above max) counts from min downwards, as the arrows show it.
    const int low = std::min(m_min, m_max);
    const int high = std::max(m_min, m_max);
    m_position = std::clamp(value, low, high);
}

void TUpDown::step(bool up)
{
    const long long next = static_cast<long long>(m_position) + (up ? m_increment : -m_increment);
    SetPosition(static_cast<int>(std::clamp<long long>(next, std::numeric_limits<int>::min(),
                                                       std::numeric_limits<int>::max())));
    emit Clicked(up);
}

void TUpDown::resizeEvent(QResizeEvent *)
{
    const int upHeight = height() / 2;
    m_up->setGeometry(0, 0, width(), upHeight);
    m_down->setGeometry(0, upHeight, width(), height() - upHeight);
}

// --- TUpdownEdit ------------------------------------------------------------------------

TUpdownEdit::TUpdownEdit(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_upDown(new TUpDown(this))
{
    m_edit->setObjectName(QStringLiteral("Edit"));
    m_upDown->setObjectName(QStringLiteral("UpDown"));
    m_edit->setMaxLength(kMaxLength);
    // Typed characters are filtered; dropped or pasted text would bypass the filter.
    m_edit->setAcceptDrops(false);
    m_edit->setContextMenuPolicy(Qt::NoContextMenu);
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);

    connect(m_upDown, &TUpDown::Clicked, this, [this] {
        showPosition();
        emit OnUpDownClick(this);
    });

    resize(kEditWidth + kUpDownWidth, kEditHeight);
    layoutChildren();
    showPosition();
    SetTag(0);
}

QString TUpdownEdit::Text() const
{
    return m_edit->text();
}

void TUpdownEdit::SetText(const QString &text)
{
    m_edit->setText(text);
}

int TUpdownEdit::Max() const
{
    return m_upDown->Max();
}

void TUpdownEdit::SetMax(int value)
{
    m_upDown->SetRange(m_upDown->Min(), value);
}

int TUpdownEdit::Min() const
{
    return m_upDown->Min();
}

void TUpdownEdit::SetMin(int value)
{
    m_upDown->SetRange(value, m_upDown->Max());
}

int TUpdownEdit::Position() const
{
    return m_upDown->Position();
}

void TUpdownEdit::SetPosition(int value)
{
    m_upDown->SetPosition(value);
    showPosition();
}

int TUpdownEdit::Increment() const
{
    return m_upDown->Increment();
}

void TUpdownEdit::SetIncrement(int value)
{
    m_upDown->SetIncrement(value);
}

void TUpdownEdit::SetTag(int tag)
{
    m_tag = tag;
    m_edit->setProperty("Tag", tag);
    m_upDown->setProperty("Tag", tag);
}

bool TUpdownEdit::KeyPasses(const QString &text, QChar typed)
{
    if (typed == u'\b')
        return true;
    const bool digit = typed >= u'0' && typed <= u'9';
    if (!digit && typed != u'-')
        return false;
    bool valid = false;
    IntegerOf(text + typed, &valid);
    return valid || (typed == u'-' && text.isEmpty());
}

int TUpdownEdit::IntegerOf(const QString &text, bool *ok)
{
    if (ok)
        *ok = false;
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return 0;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    if (ok)
        *ok = true;
    return static_cast<int>(value);
}

bool TUpdownEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress)
            return editKeyPress(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::KeyRelease)
            editKeyRelease(static_cast<QKeyEvent *>(event));
    }
    return QWidget::eventFilter(watched, event);
}

// True when the key is dropped.
bool TUpdownEdit::editKeyPress(QKeyEvent *event)
{
    const int vk = vocamo::VirtualKeyFromEvent(event);
    if (vk == 33 || vk == 34) { // Page Up, Page Down
        const long long next = static_cast<long long>(Position()) + (vk == 33 ? kPageStep : -kPageStep);
        SetPosition(static_cast<int>(std::clamp<long long>(
            next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
        return false;
    }
    if (event->matches(QKeySequence::Paste))
        return true;
    const QString typed = event->text();
    if (typed.isEmpty())
        return false; // a key without a character: caret movement, Delete
    const QChar first = typed.front();
    // Control characters other than backspace are shortcuts (copy, select all, undo) and
    // the dialog keys (Enter, Tab, Esc); they leave the digits alone.
    if ((first < u' ' || first == QChar(0x7f)) && first != u'\b')
        return false;
    if (!KeyPasses(m_edit->text(), first)) {
        event->accept();
        return true;
    }
    return false;
}

void TUpdownEdit::editKeyRelease(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    const int value = IntegerOf(m_edit->text());
    if (value > Max()) {
        SetPosition(Max());
        m_edit->end(false);
    } else if (value < Min()) {
        m_edit->end(false);
    } else {
        // The edit keeps what was typed ("-" stays while a negative number is begun).
        m_upDown->SetPosition(value);
    }
    emit OnKeyUp(vocamo::VirtualKeyFromEvent(event), event->modifiers());
}

void TUpdownEdit::showPosition()
{
    m_edit->setText(QString::number(m_upDown->Position()));
}

void TUpdownEdit::resizeEvent(QResizeEvent *)
{
    layoutChildren();
}

void TUpdownEdit::layoutChildren()
{
    const int editWidth = std::max(0, width() - kUpDownWidth);
    m_edit->setGeometry(0, 0, editWidth, height());
    m_upDown->setGeometry(editWidth, 0, kUpDownWidth, height());
}
