#pragma once

// Threads: user-interface thread only.

#include "game/opponent_level.h"

#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <functional>

class CChildView;

/// Opens a web address with the desktop's default handler.
using UrlOpener = std::function<void(const QUrl&)>;

/// The game's page, opened by "&Homepage".
extern const char* const kHomepageAddress;

/// The main window: caption "Brivel", the game's icon, the menus "&File", "&View", "Game" (the
/// computer's strength) and "&Help", the Esc and F11 accelerators, the view filling it, and the
/// 50 ms timer that ticks the current screen.
class CMainFrame final : public QMainWindow {
public:
    /// Creates the view (which activates the current screen) and starts the timer. `openUrl`
    /// opens the homepage; by default the desktop's handler.
    explicit CMainFrame(UrlOpener openUrl = {});
    /// Stops the timer before the window goes.
    ~CMainFrame() override;

    /// The view filling the window.
    CChildView* View() const { return view_; }
    /// Carries out a menu or accelerator command: the view is offered it first.
    void OnCommand(int command);
    /// Shows the window over the whole screen, or back as a window of its former size; the
    /// "&Full screen" item shows which. Nothing is stored.
    void SetFullScreen(bool on);

private:
    void BuildMenus();
    QAction* AddCommand(QMenu* menu, const QString& text, int command);
    void AddLevelItems(QMenu* menu);
    void ChooseLevel(OpponentLevel level);
    void AddBackAccelerator();
    void OnFrameCommand(int command);

    CChildView* view_;  // owned by the window as its central widget
    QAction* fullScreenItem_ = nullptr;  // owned by its menu
    QTimer timer_;
    UrlOpener openUrl_;
};
