#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Up and down arrows over an integer position kept within [Min, Max].
class TUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    // Sets the range; the position is brought into it.
    void SetRange(int min, int max);
    int Position() const { return m_position; }
    // Clamps to the range.
    void SetPosition(int value);
    int Increment() const { return m_increment; }
    void SetIncrement(int step) { m_increment = step; }

    QToolButton *UpButton() const { return m_up; }
    QToolButton *DownButton() const { return m_down; }

signals:
    // An arrow was clicked, after the position moved by one increment.
    void Clicked(bool up);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void step(bool up);

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_increment = 1;
};

// A numeric edit with up-down arrows. The edit takes only digits, a leading minus and
// backspace; Page Up and Page Down step by 10; on key release a value above Max is
// brought down to Max, a value below Min is left for the user to finish.
class TUpdownEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
public:
    explicit TUpdownEdit(QWidget *parent = nullptr);

    static constexpr int kEditHeight = 25;
    static constexpr int kEditWidth = 121;
    static constexpr int kUpDownWidth = 17;
    static constexpr int kMaxLength = 6;
    static constexpr int kPageStep = 10;

    QString Text() const;
    void SetText(const QString &text);
    int Max() const;
    void SetMax(int value);
    int Min() const;
    void SetMin(int value);
    int Position() const;
    // Sets the arrows' position (clamped) and shows it in the edit.
    void SetPosition(int value);
    int Increment() const;
    void SetIncrement(int value);

    int Tag() const { return m_tag; }
    // The inner edit and arrows carry the same tag (dynamic property "Tag").
    void SetTag(int tag);

    QLineEdit *Edit() const { return m_edit; }
    TUpDown *UpDown() const { return m_upDown; }

    // Whether a typed character may go into an edit holding `text`: backspace always;
    // a digit or "-" when the text with it appended is a whole number; "-" also into an
    // empty edit; nothing else.
    static bool KeyPasses(const QString &text, QChar typed);
    // The text as a whole number (optional sign, decimal digits, within int); 0 otherwise.
    static int IntegerOf(const QString &text, bool *ok = nullptr);

signals:
    // After the edit has handled a key release: the virtual-key code and modifiers.
    void OnKeyUp(int virtualKey, Qt::KeyboardModifiers modifiers);
    void OnUpDownClick(TUpdownEdit *sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool editKeyPress(QKeyEvent *event);
    void editKeyRelease(QKeyEvent *event);
    void showPosition();
    void layoutChildren();

    QLineEdit *m_edit = nullptr;
    TUpDown *m_upDown = nullptr;
    int m_tag = 0;
};
