#pragma once

#include <QWidget>

class QLabel;

// The screen-covering window behind the main window: one colour and a hidden picture.
// A button pressed on it asks the main window to hide (OnCoverPressed); on the picture
// only once JustOpened was cleared.
class TfrmDesktop : public QWidget
{
    Q_OBJECT
public:
    static constexpr quint32 DefaultColor = 0x808000; // teal

    explicit TfrmDesktop(QWidget *parent = nullptr);

    quint32 Color() const { return m_color; }
    void SetColor(quint32 bgr);
    // Covers the screen the main window is on.
    void ShowCovering(const QWidget *mainWindow);

    QLabel *Image1 = nullptr;
    bool JustOpened = true;

signals:
    void OnCoverPressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    quint32 m_color = DefaultColor;
};
