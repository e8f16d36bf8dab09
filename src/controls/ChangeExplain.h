#pragma once

#include <QWidget>

class QToolButton;
class TRelativeRichEdit;

// The explanation editor of the subjective questions: a rich-text editor under a thin
// panel with a flat "保存" button. Any change to the text enables the button; the owning
// mode saves the text and disables it again.
class TfrmChangeExplain : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmChangeExplain(QWidget *parent = nullptr);

    static constexpr int kPanelHeight = 25;

    TRelativeRichEdit *Editor() const { return m_editor; }
    QWidget *Panel1() const { return m_panel; }
    QToolButton *btnSave() const { return m_save; }

private:
    QWidget *m_panel = nullptr;
    QToolButton *m_save = nullptr;
    TRelativeRichEdit *m_editor = nullptr;
};
