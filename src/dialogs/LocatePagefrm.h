#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class TUpdownEdit;

// The page dialog: one page number within the range the caller sets on udPageIndex; the
// caller reads udPageIndex's Position after OK.
class TfrmLocatePage : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 251;
    static constexpr int kClientHeight = 132;

    explicit TfrmLocatePage(QWidget *parent = nullptr);

    // Limits the page field to min..max and sets it to position (brought into the range).
    void SetRange(int min, int max, int position);
    // The chosen page number, always within the range.
    int PageNumber() const;

    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label30 = nullptr;
    TUpdownEdit *udPageIndex = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};
