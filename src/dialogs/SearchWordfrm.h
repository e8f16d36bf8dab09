#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The find dialog: one query field; OK is offered only for a query the word search can
// use. Up and Down in the field move the dialog to the top or the bottom of the screen so
// the learner can uncover the text under it. The caller reads txtSearchWord after OK.
class TfrmSearchWord : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 428;
    static constexpr int kClientHeight = 142;
    static constexpr int kMaxQueryLength = 120;
    // Distance kept from the screen's top or bottom edge by Up and Down.
    static constexpr int kScreenMargin = 20;
    static constexpr quint32 kQueryColor = 0x81B6D3;
    static constexpr quint32 kHintColor = 0x000080;

    explicit TfrmSearchWord(QWidget *parent = nullptr);

    // The query as typed.
    QString Query() const;

    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label30 = nullptr;
    QLineEdit *txtSearchWord = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;

public slots:
    void FormShow();
    // OK is enabled exactly when the trimmed query is a usable search operand.
    void txtSearchWordChange();
    // Up: top 20; Down: the bottom edge 20 above the screen's. True when handled.
    bool txtSearchWordKeyDown(int key);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
