#include "shell/BookVocamofrm.h"

#include "controls/Constant.h"
#include "controls/SimpleGrid.h"
#include "media/MarovekMedia.h"
#include "media/SoundThread.h"
#include "modes/QueueWorld.h"
#include "platform/gui/Colors.h"
#include "platform/gui/KeyCodes.h"
#include "platform/gui/PhoneticFont.h"
#include "platform/AppPaths.h"
#include "shell/Desktopfrm.h"
#include "shell/GlobalHotKey.h"
#include "shell/Loginfrm.h"
#include "shell/Messages.h"
#include "shell/WordCardAdapter.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "store/Environment.h"
#include "store/Word.h"
#include "sync/Operations.h"
#include "sync/Requests.h"

#include <QApplication>
#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>

using vocamo::colorFromWin;

namespace {

constexpr int ClientWidth = 884;
constexpr int ClientHeight = 553;
constexpr int ToolBarLeft = 30;
constexpr int ToolBarTop = 1;
constexpr int ToolBarWidth = 635;
constexpr int ToolBarHeight = 27;
constexpr int ButtonWidth = 22;
constexpr int ButtonHeight = 23;
constexpr int SeparatorWidth = 8;
constexpr int LeftStrip = 10;
// The colour of the page before a host exists and of the paper around it.
constexpr quint32 FaceColor = 0xF0F0F0;

QFont windowFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    return font;
}

// The binding of the book drawn down the left edge: rings over a dark spine, on white
// (white is see-through in this picture).
QPixmap decoratePicture(int height)
{
    QImage image(36, height, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(10, 0, 4, height), QColor(0x50, 0x6E, 0x50));
    for (int y = 18; y + 12 < height; y += 26) {
        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRect(2, y, 26, 10), 0, 180 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x30, 0x30, 0x30));
        painter.drawEllipse(QRect(22, y + 3, 6, 6));
    }
    painter.end();
    // White becomes transparent.
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                line[x] = 0;
        }
    }
    return QPixmap::fromImage(keyed);
}

// A simple glyph for a tool button: a short sign drawn in the button's colour.
QIcon glyph(const QString &sign)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(sign.size() > 1 ? 9 : 14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x40, 0x20));
    painter.drawText(picture.rect(), Qt::AlignCenter, sign);
    return QIcon(picture);
}

QString glyphSign(const QString &name)
{
    static const QHash<QString, QString> signs = {
        {QStringLiteral("btnUser"), QStringLiteral("户")},
        {QStringLiteral("SpeedButton3"), QStringLiteral("增")},
        {QStringLiteral("frSpeedButton2"), QStringLiteral("词")},
        {QStringLiteral("frSpeedButton3"), QStringLiteral("句")},
        {QStringLiteral("frSpeedButton5"), QStringLiteral("说")},
        {QStringLiteral("frSpeedButton6"), QStringLiteral("读")},
        {QStringLiteral("frSpeedButton7"), QStringLiteral("写")},
        {QStringLiteral("frSpeedButton8"), QStringLiteral("题")},
        {QStringLiteral("btnFirst"), QStringLiteral("|◀")},
        {QStringLiteral("btnPrior"), QStringLiteral("◀")},
        {QStringLiteral("btnNext"), QStringLiteral("▶")},
        {QStringLiteral("btnLast"), QStringLiteral("▶|")},
        {QStringLiteral("frSpeedButton13"), QStringLiteral("统")},
        {QStringLiteral("btnBookSetup"), QStringLiteral("书")},
        {QStringLiteral("frSpeedButton16"), QStringLiteral("键")},
        {QStringLiteral("btnReturn"), QStringLiteral("尺")},
        {QStringLiteral("frSpeedButton17"), QStringLiteral("设")},
        {QStringLiteral("frSpeedButton18"), QStringLiteral("册")},
        {QStringLiteral("SpeedButton2"), QStringLiteral("退")},
    };
    return signs.value(name);
}

} // namespace

const std::vector<TfrmBookVocamo::TToolEntry> &TfrmBookVocamo::ToolEntries()
{
    static const std::vector<TToolEntry> entries = {
        {"btnUser", 0, "选择用户", true},
        {"", 0, "", true},
        {"SpeedButton3", 13, "增加记忆内容", true},
        {"frSpeedButton2", 1, "背单词", true},
        {"frSpeedButton3", 2, "学句子", false},
        {"", 0, "", true},
        {"frSpeedButton5", 5, "练口语", false},
        {"frSpeedButton6", 6, "读文章", true},
        {"frSpeedButton7", 7, "写作文", true},
        {"", 0, "", true},
        {"frSpeedButton8", 8, "做习题学语法", true},
        {"", 0, "", true},
        {"btnFirst", 31, "第一页(Home键)", true},
        {"btnPrior", 32, "前一页(左方向键)", true},
        {"btnNext", 33, "后一页(右方向键)", true},
        {"btnLast", 35, "最后页(End键)", true},
        {"", 0, "", true},
        {"frSpeedButton13", 9, "使用时间统计", false},
        {"btnBookSetup", 10, "设置当前书本", false},
        {"frSpeedButton16", 11, "管理快捷键", false},
        {"btnReturn", 16, "调整界面大小", false},
        {"", 0, "", false},
        {"frSpeedButton17", 12, "设置当前用户", true},
        {"", 0, "", true},
        {"", 0, "", false},
        {"frSpeedButton18", 17, "查看使用手册", false},
        {"", 0, "", true},
        {"SpeedButton2", 0, "退出程序", true},
    };
    return entries;
}

TfrmBookVocamo::TfrmBookVocamo(TDataCenter &centre, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_centre(centre)
{
    setObjectName(QStringLiteral("frmBookVocamo"));
    setWindowTitle(Messages::TrayHint());
    setFont(windowFont());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground, false);
    resize(ClientWidth, ClientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }

    // FormCreate, in its order. The system beep has no counterpart here.
    m_foundation = std::make_unique<TFoundation>(this);

    imgBook = new QLabel(this);
    imgBook->setObjectName(QStringLiteral("imgBook"));
    imgBook->setGeometry(8, 1, 866, 542);
    imgBook->setAttribute(Qt::WA_TransparentForMouseEvents);
    imgBook->setAttribute(Qt::WA_TranslucentBackground);
    imgBook->lower();

    m_decorate = decoratePicture(542);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 1, 36, height() - 11);
    Image1->setScaledContents(true);
    Image1->setPixmap(m_decorate);
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1->setAttribute(Qt::WA_TranslucentBackground);

    if (m_centre.Channel) {
        if (SqliteDataset *feature = m_centre.Channel->Query(QStringLiteral("select * from Feature ")))
            m_centre.CloudDir = feature->fieldByName(QStringLiteral("LIFE_CLOUD_DIR")).asText();
    }
    vocamo::EnsurePhoneticFont(ExecutableFolder());

    createToolBar();

    TimerToolBar = new QTimer(this);
    TimerToolBar->setObjectName(QStringLiteral("TimerToolBar"));
    TimerToolBar->setInterval(600);
    connect(TimerToolBar, &QTimer::timeout, this, [this] { ToolBarHoverCheck(QCursor::pos()); });
    TimerProgress = new QTimer(this);
    TimerProgress->setObjectName(QStringLiteral("TimerProgress"));
    TimerProgress->setInterval(1000);
    connect(TimerProgress, &QTimer::timeout, this, [this] {
        TimerProgress->stop();
        if (m_desktop)
            m_desktop->JustOpened = false;
    });

    m_hotKey = std::make_unique<TGlobalHotKey>([this] { HotKeyPressed(); });
    m_hotKey->Register(); // a key taken elsewhere, or no X11: no hot key

    createTrayIcon();

    m_desktop = std::make_unique<TfrmDesktop>();
    connect(m_desktop.get(), &TfrmDesktop::OnCoverPressed, this, &TfrmBookVocamo::hideToCover);

    setMask(VisibleRegion());
}

TfrmBookVocamo::~TfrmBookVocamo()
{
    if (m_world) {
        m_world->StopAll();
        m_world->Load();
        m_world.reset();
    }
    m_media.reset();
    m_desktop.reset();
    m_tray.reset();
    m_hotKey.reset();
    m_foundation.reset();
}

void TfrmBookVocamo::createToolBar()
{
    MarovekToolBar = new QWidget(this);
    MarovekToolBar->setObjectName(QStringLiteral("MarovekToolBar"));
    MarovekToolBar->setGeometry(ToolBarLeft, ToolBarTop, ToolBarWidth, ToolBarHeight);
    MarovekToolBar->setAutoFillBackground(true);
    setToolBarColour(MoneyGreen);
    int x = 0;
    for (const TToolEntry &entry : ToolEntries()) {
        if (!entry.visible)
            continue;
        const QString name = QString::fromLatin1(entry.name);
        if (name.isEmpty()) {
            x += SeparatorWidth;
            continue;
        }
        auto *button = new QToolButton(MarovekToolBar);
        button->setObjectName(name);
        button->setProperty("tag", entry.tag);
        button->setToolTip(QString::fromUtf8(entry.hint));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(glyph(glyphSign(name)));
        button->setGeometry(x, (ToolBarHeight - ButtonHeight) / 2, ButtonWidth, ButtonHeight);
        x += ButtonWidth;
        m_buttons.push_back(button);
        if (name == QLatin1String("btnUser"))
            connect(button, &QToolButton::clicked, this, &TfrmBookVocamo::tbtnUserClick);
        else if (name == QLatin1String("SpeedButton2"))
            connect(button, &QToolButton::clicked, this, &TfrmBookVocamo::btnReturnClick);
        else
            connect(button, &QToolButton::clicked, this, &TfrmBookVocamo::btnWordBookClick);
    }
    // The hidden buttons exist too (hidden), so every named button can be found.
    for (const TToolEntry &entry : ToolEntries()) {
        const QString name = QString::fromLatin1(entry.name);
        if (entry.visible || name.isEmpty())
            continue;
        auto *button = new QToolButton(MarovekToolBar);
        button->setObjectName(name);
        button->setProperty("tag", entry.tag);
        button->setToolTip(QString::fromUtf8(entry.hint));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(glyph(glyphSign(name)));
        button->resize(ButtonWidth, ButtonHeight);
        button->hide();
        m_buttons.push_back(button);
        // The three developer-only tools stay without an action.
        const bool developerTool = name == QLatin1String("frSpeedButton3")
            || name == QLatin1String("frSpeedButton5") || name == QLatin1String("frSpeedButton18");
        if (!developerTool)
            connect(button, &QToolButton::clicked, this, &TfrmBookVocamo::btnWordBookClick);
    }
    MarovekToolBar->setVisible(false);
}

QToolButton *TfrmBookVocamo::ToolButton(const QString &name) const
{
    for (QToolButton *button : m_buttons) {
        if (button->objectName() == name)
            return button;
    }
    return nullptr;
}

void TfrmBookVocamo::setToolBarColour(quint32 bgr)
{
    QPalette palette = MarovekToolBar->palette();
    palette.setColor(QPalette::Window, colorFromWin(bgr));
    MarovekToolBar->setPalette(palette);
}

void TfrmBookVocamo::createTrayIcon()
{
    pmuWord = new QMenu(this);
    pmuWord->setObjectName(QStringLiteral("pmuWord"));
    mmiHelp = pmuWord->addAction(QStringLiteral("显示帮助"));
    mmiHelp->setObjectName(QStringLiteral("mmiHelp"));
    mmiHelp->setVisible(false);
    pmuWord->addSeparator();
    mmiBook = pmuWord->addAction(QStringLiteral("显示主界面"));
    mmiBook->setObjectName(QStringLiteral("mmiBook"));
    pmuWord->addSeparator();
    mmiCloud = pmuWord->addAction(QStringLiteral("设置云文件夹"));
    mmiCloud->setObjectName(QStringLiteral("mmiCloud"));
    mmiCloud->setVisible(false);
    pmuWord->addSeparator();
    mmiClose = pmuWord->addAction(QStringLiteral("退出系统"));
    mmiClose->setObjectName(QStringLiteral("mmiClose"));
    connect(mmiHelp, &QAction::triggered, this, &TfrmBookVocamo::mmiHelpClick);
    connect(mmiBook, &QAction::triggered, this, &TfrmBookVocamo::mmiBookClick);
    connect(mmiClose, &QAction::triggered, this, &QWidget::close);

    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = std::make_unique<QSystemTrayIcon>();
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(colorFromWin(MoneyGreen));
        painter.setPen(QPen(QColor(0x30, 0x50, 0x30), 2));
        painter.drawRoundedRect(QRect(3, 3, 26, 26), 4, 4);
        QFont font(QStringLiteral("宋体"));
        font.setPixelSize(18);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(icon.rect(), Qt::AlignCenter, QStringLiteral("词"));
    }
    m_tray->setIcon(QIcon(icon));
    m_tray->setToolTip(Messages::TrayHint().left(64));
    m_tray->setContextMenu(pmuWord);
    connect(m_tray.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    mmiBookClick();
            });
    m_tray->show();
}

// --- settings and host ---------------------------------------------------------------

void TfrmBookVocamo::ApplySettings()
{
    const TConfig &config = m_centre.Config;
    m_desktop->SetColor(config.DeskTopColor);
    if (config.UseDeskTop) {
        m_desktop->ShowCovering(this);
        m_desktop->SetColor(config.DeskTopColor);
        raise();
        activateWindow();
    } else {
        m_desktop->close();
    }
    update();
    if (!m_world)
        RebuildWorld();
    setToolBarColour(config.BookColor);
}

void TfrmBookVocamo::ApplyColours()
{
    const TConfig &config = m_centre.Config;
    m_desktop->SetColor(config.DeskTopColor);
    update();
    setToolBarColour(config.BookColor);
    if (m_world)
        m_world->Arrange();
}

void TfrmBookVocamo::RebuildWorld()
{
    if (m_world) {
        m_world->StopAll();
        m_world->Load();
        m_world.reset();
    }
    m_world = std::make_unique<TQueueWorld>(m_foundation.get());
    m_world->Callbacks.EnablePaging = [this](bool back, bool forward) {
        ToolButton(QStringLiteral("btnFirst"))->setEnabled(back);
        ToolButton(QStringLiteral("btnPrior"))->setEnabled(back);
        ToolButton(QStringLiteral("btnNext"))->setEnabled(forward);
        ToolButton(QStringLiteral("btnLast"))->setEnabled(forward);
    };
    m_world->Callbacks.EnableBookSetup = [this](bool possible) {
        ToolButton(QStringLiteral("btnBookSetup"))->setEnabled(possible);
        if (m_world)
            m_world->BookSetupPossible = possible;
    };
    m_world->Callbacks.ApplySettings = [this] { ApplySettings(); };
    m_world->Callbacks.ApplyToolbarColour = [this] { setToolBarColour(m_centre.Config.BookColor); };
    m_world->Callbacks.WindowRegion = [this] { return VisibleRegion(); };
    installHostHooks();
    m_world->Arrange();
    m_world->Activate();
    TimerProgress->start();
    QCoreApplication::processEvents();
    ApplySettings();
}

void TfrmBookVocamo::installHostHooks()
{
    TQueueWorld &world = *m_world;
    world.HasAudioOutput = [] { return HasDefaultAudioOutput(); };
    world.SoundPlayer = [this](const TWord &word) {
        if (!m_media)
            m_media = std::make_unique<TAVIMedia>(this, QString());
        PronounceWord(m_media.get(), word.SourceName.isEmpty() ? word.Name : word.SourceName);
    };
    world.WordCard = std::make_unique<TWordCardAdapter>();
    if (world.Grid) {
        world.Grid->installEventFilter(this);
        m_firstPageReported = false;
    }
}

// --- painting ------------------------------------------------------------------------

QRegion TfrmBookVocamo::VisibleRegion() const
{
    const int w = width();
    const int h = height();
    QRegion region = TQueueWorld::WindowShape(w, h);
    region -= QRegion(0, 0, LeftStrip, h - 10);
    if (Image1 && Image1->isVisible() != false) {
        const QPixmap scaled = m_decorate.scaled(Image1->size());
        QRegion binding(QBitmap::fromImage(scaled.toImage().createAlphaMask()));
        binding.translate(Image1->pos());
        region += binding & QRegion(0, 0, LeftStrip, h - 10);
    }
    return region;
}

void TfrmBookVocamo::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(rect(), colorFromWin(FaceColor));
    painter.setPen(QPen(Qt::black, 1));
    // The page: its outline, filled with the book colour once a host exists.
    const QColor page = m_world ? colorFromWin(m_centre.Config.BookColor) : colorFromWin(FaceColor);
    painter.fillRect(QRect(1, 1, w - 11, h - 11), page);
    painter.drawLine(0, 0, w - 10, 0);
    painter.drawLine(0, 0, 0, h - 10);
    painter.drawLine(0, h - 10, w - 10, h - 10);
    painter.drawLine(w - 10, 0, w - 10, h - 10);
    painter.drawPoint(w - 8, 4);
    // Three page edges below and right of the page.
    const int edges[3][3] = {{5, 7, 4}, {8, 4, 7}, {9, 1, 10}};
    for (const auto &edge : edges) {
        const int a = edge[0], b = edge[1], c = edge[2];
        painter.drawLine(a, h - b, w - b, h - b);
        painter.drawLine(w - b, h - b, w - b, c);
    }
    painter.drawLine(7, h - 10, 14, h - 1);
    painter.drawLine(w - 10, 4, w - 6, 4);
    painter.drawLine(w - 6, 7, w - 3, 7);
    painter.drawLine(w - 3, 10, w, 10);
    // The left strip is see-through (the window mask leaves it out).
    painter.fillRect(QRect(0, 0, LeftStrip, h - 10), colorFromWin(MaskColor));
}

void TfrmBookVocamo::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (Image1)
        Image1->setGeometry(0, 1, 36, height() - 11);
    if (imgBook)
        imgBook->setGeometry(8, 1, width() - 18, height() - 11);
    setMask(VisibleRegion());
}

void TfrmBookVocamo::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ApplySettings();
}

void TfrmBookVocamo::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (m_desktop)
        m_desktop->close();
    emit Closed();
}

// --- keys, mouse, tool bar --------------------------------------------------------

void TfrmBookVocamo::keyPressEvent(QKeyEvent *event)
{
    const int key = vocamo::VirtualKeyFromEvent(event);
    if (key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    RouteKey(key, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

void TfrmBookVocamo::RouteKey(int virtualKey, bool ctrlDown)
{
    if (!m_world) {
        if (virtualKey == 27)
            close();
        return;
    }
    m_world->Perform(virtualKey, ctrlDown ? 4 : 0);
}

void TfrmBookVocamo::startDrag(const QPoint &globalPos)
{
    m_dragArmed = true;
    m_dragging = false;
    m_dragStart = globalPos;
    m_windowStart = pos();
}

bool TfrmBookVocamo::dragTo(const QPoint &globalPos)
{
    if (!m_dragArmed)
        return false;
    const QPoint offset = globalPos - m_dragStart;
    if (!m_dragging && offset.manhattanLength() < QApplication::startDragDistance())
        return false;
    m_dragging = true;
    move(m_windowStart + offset);
    return true;
}

void TfrmBookVocamo::mousePressEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton)
        startDrag(global);
    if (m_world && m_world->Grid) {
        if (event->button() == Qt::LeftButton)
            m_world->Grid->HostMouseDown(0, global);
        else if (event->button() == Qt::RightButton)
            m_world->Grid->HostMouseDown(1, global);
    }
    event->accept();
}

void TfrmBookVocamo::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_world && m_world->Grid)
        m_world->Grid->HostDblClick();
    event->accept();
}

void TfrmBookVocamo::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPosition().toPoint();
    ToolBarHoverCheck(global);
    if (event->buttons() & Qt::LeftButton)
        dragTo(global);
    event->accept();
}

void TfrmBookVocamo::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragArmed = false;
    m_dragging = false;
    event->accept();
}

bool TfrmBookVocamo::eventFilter(QObject *watched, QEvent *event)
{
    // The grid takes its clicks itself; dragging it moves the window, as anywhere else.
    if (m_world && watched == m_world->Grid) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                startDrag(mouse->globalPosition().toPoint());
            break;
        }
        case QEvent::MouseMove: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            ToolBarHoverCheck(mouse->globalPosition().toPoint());
            if ((mouse->buttons() & Qt::LeftButton) && dragTo(mouse->globalPosition().toPoint()))
                return true;
            break;
        }
        case QEvent::MouseButtonRelease:
            m_dragArmed = false;
            m_dragging = false;
            break;
        case QEvent::Paint:
            if (!m_firstPageReported) {
                m_firstPageReported = true;
                if (FirstPagePainted)
                    QTimer::singleShot(0, this, [this] {
                        if (FirstPagePainted)
                            FirstPagePainted();
                    });
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmBookVocamo::ToolBarHoverCheck(const QPoint &p)
{
    const bool showToolBar = m_centre.Config.ShowToolBar;
    const QRect frame = geometry();
    bool visible;
    if (frame.left() < p.x() && p.x() < frame.left() + frame.width() && frame.top() < p.y()
        && p.y() < frame.top() + ToolBarHeight) {
        TimerToolBar->start();
        visible = Image1->isVisibleTo(this);
    } else {
        visible = showToolBar && Image1->isVisibleTo(this);
    }
    MarovekToolBar->setVisible(visible);
    if (visible && !showToolBar) {
        if (!TimerToolBar->isActive())
            TimerToolBar->start();
    } else {
        TimerToolBar->stop();
    }
}

void TfrmBookVocamo::ToolbarCommand(int tag)
{
    if (m_world)
        m_world->ToolbarCommand(tag);
}

void TfrmBookVocamo::btnWordBookClick()
{
    if (auto *button = qobject_cast<QToolButton *>(sender()))
        ToolbarCommand(button->property("tag").toInt());
}

void TfrmBookVocamo::btnReturnClick()
{
    if (Confirm(Messages::ConfirmExit(), this))
        close();
}

void TfrmBookVocamo::LinkedWordClicked()
{
    if (m_world)
        m_world->OpenLinkedDictionary();
}

// --- visibility: hot key, tray, cover ------------------------------------------------

void TfrmBookVocamo::hideToCover()
{
    hide();
    m_desktop->close();
}

void TfrmBookVocamo::HotKeyPressed()
{
    if (isVisible()) {
        if (isActiveWindow()) {
            m_desktop->close();
            hide();
        }
        return;
    }
    show();
    if (m_centre.Config.ShowCenter) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QSize size = screen->size();
            move((size.width() - width()) / 2, (size.height() - height()) / 2);
        }
    }
    raise();
    activateWindow();
}

void TfrmBookVocamo::mmiBookClick()
{
    if (!isVisible())
        show();
}

void TfrmBookVocamo::mmiHelpClick()
{
    if (isActiveWindow()) {
        m_desktop->close();
        hide();
    }
}

// --- account switch ------------------------------------------------------------------

void TfrmBookVocamo::tbtnUserClick()
{
    if (m_loginForm)
        return;
    auto form = std::make_unique<TfrmLogin>(this);
    m_loginForm = form.get();
    form->setWindowTitle(Messages::SwitchUser());
    form->LoginHandler = [this](TfrmLogin &dialog) { LoginFormSignIn(dialog); };
    form->move(geometry().center() - QPoint(form->width() / 2, form->height() / 2));
    form->exec();
    form.reset();
}

void TfrmBookVocamo::LoginFormSignIn(TfrmLogin &form)
{
    if (!SignIn(form.Account(), form.Password()))
        return;
    LoadSettings();
    TIni ini;
    ini.Section = QStringLiteral("Config");
    ini.WriteText(QStringLiteral("ZoneCode"), form.edtZoneCode->text());
    ini.WriteText(QStringLiteral("UserName"), form.edtUserName->text());
    m_centre.StudyTrack = 0;
    RebuildWorld();
    form.accept();
}
