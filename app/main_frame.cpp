#include "app/main_frame.h"

#include "app/about_box.h"
#include "app/child_view.h"
#include "app/commands.h"
#include "app/game_icon.h"
#include "framework/screen.h"
#include "framework/settings_store.h"
#include "framework/settings_values.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenuBar>

#include <utility>

const char* const kHomepageAddress = "https://www.quenlo.com/brivel/";

CMainFrame::CMainFrame(UrlOpener openUrl)
    : view_(new CChildView(this)), openUrl_(std::move(openUrl)) {
    if (!openUrl_) openUrl_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    setWindowTitle("Brivel");
    setWindowIcon(GameIcon());
    // Task bars and Wayland compositors find the launcher, and its icon, by this name.
    QGuiApplication::setDesktopFileName(kApplicationId);
    setCentralWidget(view_);
    setFocusProxy(view_);
    BuildMenus();
    AddBackAccelerator();
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, [] { CurrentScreen->OnTimer(); });
    timer_.start();
}

CMainFrame::~CMainFrame() {
    timer_.stop();
}

void CMainFrame::OnCommand(int command) {
    if (view_->OnCommand(command)) return;
    OnFrameCommand(command);
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    AddCommand(file, "E&xit", kCommandExit);
    QMenu* viewMenu = menuBar()->addMenu("&View");
    fullScreenItem_ = AddCommand(viewMenu, "&Full screen", kCommandFullScreen);
    fullScreenItem_->setCheckable(true);
    // The key works while the menu bar is out of reach, as Esc does.
    fullScreenItem_->setShortcut(Qt::Key_F11);
    fullScreenItem_->setShortcutContext(Qt::WindowShortcut);
    AddLevelItems(menuBar()->addMenu("Game"));
    QMenu* help = menuBar()->addMenu("&Help");
    AddCommand(help, "&About", kCommandAbout);
    help->addSeparator();
    AddCommand(help, "&Homepage", kCommandHomepage);
}

QAction* CMainFrame::AddCommand(QMenu* menu, const QString& text, int command) {
    QAction* action = menu->addAction(text);
    // Keep Qt from moving the items into an application menu on desktops that have one.
    action->setMenuRole(QAction::NoRole);
    connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    return action;
}

// One radio item per strength, the one in force checked.
void CMainFrame::AddLevelItems(QMenu* menu) {
    auto* group = new QActionGroup(menu);
    const std::pair<const char*, OpponentLevel> items[] = {
        {"Computer: Easy", OpponentLevel::Easy},
        {"Computer: Normal", OpponentLevel::Normal},
        {"Computer: Hard", OpponentLevel::Hard},
    };
    for (auto [text, level] : items) {
        QAction* action = menu->addAction(text);
        action->setMenuRole(QAction::NoRole);
        action->setCheckable(true);
        action->setChecked(level == ComputerLevel);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, level] { ChooseLevel(level); });
    }
}

// The computer reads the level at each choice, so a game in progress goes on, at the new
// strength from the computer's next choice.
void CMainFrame::ChooseLevel(OpponentLevel level) {
    ComputerLevel = level;
    WriteSetting("level", StoredLevel(level));
}

void CMainFrame::AddBackAccelerator() {
    auto* back = new QAction(this);
    back->setShortcut(Qt::Key_Escape);
    back->setShortcutContext(Qt::WindowShortcut);
    addAction(back);
    connect(back, &QAction::triggered, this, [this] { OnCommand(kCommandBack); });
}

void CMainFrame::SetFullScreen(bool on) {
    // The window's state changes before its new size arrives, so the view never stores the
    // screen's size as the windowed one.
    if (on) {
        showFullScreen();
    } else {
        showNormal();
    }
    fullScreenItem_->setChecked(on);
}

void CMainFrame::OnFrameCommand(int command) {
    switch (command) {
        case kCommandAbout: {
            CAboutBox about(this);
            about.exec();
            break;
        }
        case kCommandHomepage:
            openUrl_(QUrl(kHomepageAddress));  // whether it opened is not examined
            break;
        case kCommandExit:
            close();
            break;
        case kCommandFullScreen: {
            bool on = !isFullScreen();
            SetFullScreen(on);
            WriteSetting("fullscreen", on ? 1 : 0);
            break;
        }
        default:
            break;
    }
}
