#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The note dialog: a title and a text of what to memorise; the caller reads edtTitle and
// mmoDesc after OK.
class TfrmRecord : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 801;
    static constexpr int kClientHeight = 480;
    static constexpr int kMaxTitleLength = 120;
    static constexpr int kMaxDescLength = 500;

    explicit TfrmRecord(QWidget *parent = nullptr);

    QString Title() const;
    QString Description() const;

    QLabel *lbl1 = nullptr;
    QLineEdit *edtTitle = nullptr;
    QLabel *lbl2 = nullptr;
    QPlainTextEdit *mmoDesc = nullptr;
    QPushButton *btn1 = nullptr;
    QPushButton *btn2 = nullptr;

public slots:
    // Keeps the text within kMaxDescLength characters, also for pasted or set text.
    void mmoDescChange();

private:
    // Where the last change to mmoDesc's text ended.
    int m_lastChangeEnd = 0;
};
