#pragma once

#include "shell/Loginfrm.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QToolButton;
class TAVIMedia;
class TDataCenter;
class TFoundation;
class TfrmDesktop;
class TGlobalHotKey;
class TQueueWorld;

// The main window: a borderless, self-painted "book" whose page belongs to the layer
// host. It owns the tool bar, the notification icon and its menu, the global hot key, the
// desktop cover window and the routing of keys and clicks into the layer host.
class TfrmBookVocamo : public QWidget
{
    Q_OBJECT
public:
    // The colour the window treats as see-through (0x00BBGGRR).
    static constexpr quint32 MaskColor = 0x8CF560;
    static constexpr quint32 MoneyGreen = 0xC0DCC0;
    static constexpr int HotKeyId = 2003;

    // One tool-bar entry: a button, or a separator when name is empty.
    struct TToolEntry
    {
        const char *name;
        int tag;
        const char *hint;
        bool visible;
    };
    static const std::vector<TToolEntry> &ToolEntries();

    explicit TfrmBookVocamo(TDataCenter &centre, QWidget *parent = nullptr);
    ~TfrmBookVocamo() override;

    // Desktop window, host and tool-bar colours from the settings; builds the host once.
    void ApplySettings();
    // The colours only, then the host's Arrange (the settings dialog previews with it).
    void ApplyColours();
    // Frees the host and builds a fresh one for the current user.
    void RebuildWorld();
    // Shows or hides the tool bar for a pointer at a screen point.
    void ToolBarHoverCheck(const QPoint &globalPos);
    // The hot key: hides the active window, shows the hidden one.
    void HotKeyPressed();
    // The account-switch button: the sign-in dialog with the window's own sign-in.
    void tbtnUserClick();
    // The window's sign-in handler for the switch dialog.
    void LoginFormSignIn(TfrmLogin &form);
    // Passes a tool-bar tag to the host.
    void ToolbarCommand(int tag);
    // A key press as the window routes it: virtual-key code and Ctrl state.
    void RouteKey(int virtualKey, bool ctrlDown);
    // A clicked word link of the dictionary layer: forwarded to the host.
    void LinkedWordClicked();
    // The region that stays visible: the page with its edges, without the left strip,
    // except where the decoration covers it.
    QRegion VisibleRegion() const;

    TQueueWorld *World() const { return m_world.get(); }
    TFoundation *Foundation() const { return m_foundation.get(); }
    TfrmDesktop *DesktopForm() const { return m_desktop.get(); }
    TfrmLogin *LoginForm() const { return m_loginForm; }
    QToolButton *ToolButton(const QString &name) const;
    QSystemTrayIcon *TrayIcon() const { return m_tray.get(); }

    QLabel *imgBook = nullptr;
    QLabel *Image1 = nullptr;
    QWidget *MarovekToolBar = nullptr;
    QTimer *TimerToolBar = nullptr;
    QTimer *TimerProgress = nullptr;
    QMenu *pmuWord = nullptr;
    QAction *mmiHelp = nullptr;
    QAction *mmiBook = nullptr;
    QAction *mmiCloud = nullptr;
    QAction *mmiClose = nullptr;

    // Called once the host painted its grid for the first time (startup timing).
    std::function<void()> FirstPagePainted;

signals:
    // The window was closed: the program ends.
    void Closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createToolBar();
    void createTrayIcon();
    void btnWordBookClick();
    void btnReturnClick();
    void mmiBookClick();
    void mmiHelpClick();
    void hideToCover();
    void setToolBarColour(quint32 bgr);
    void installHostHooks();
    void startDrag(const QPoint &globalPos);
    bool dragTo(const QPoint &globalPos);

    TDataCenter &m_centre;
    std::unique_ptr<TFoundation> m_foundation;
    std::unique_ptr<TQueueWorld> m_world;
    std::unique_ptr<TfrmDesktop> m_desktop;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    std::unique_ptr<TGlobalHotKey> m_hotKey;
    std::unique_ptr<TAVIMedia> m_media; // made on the first word sound
    QPointer<TfrmLogin> m_loginForm;
    QPixmap m_decorate;
    std::vector<QToolButton *> m_buttons;
    bool m_dragArmed = false;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_windowStart;
    bool m_firstPageReported = false;
};
