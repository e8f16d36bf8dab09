#include "shell/Desktopfrm.h"

#include "platform/gui/Colors.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

TfrmDesktop::TfrmDesktop(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmDesktop"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->hide();
    Image1->installEventFilter(this);
    JustOpened = true;
}

void TfrmDesktop::SetColor(quint32 bgr)
{
    m_color = bgr;
    update();
}

void TfrmDesktop::ShowCovering(const QWidget *mainWindow)
{
    const QScreen *screen = mainWindow && mainWindow->screen() ? mainWindow->screen()
                                                               : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    Image1->setGeometry(rect());
    showMaximized();
}

void TfrmDesktop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), vocamo::colorFromWin(m_color));
}

void TfrmDesktop::mousePressEvent(QMouseEvent *event)
{
    emit OnCoverPressed();
    event->accept();
}

bool TfrmDesktop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        if (!JustOpened)
            emit OnCoverPressed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
