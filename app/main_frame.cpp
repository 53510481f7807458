#include "app/main_frame.h"

#include "app/about_box.h"
#include "app/child_view.h"
#include "app/commands.h"
#include "app/game_icon.h"
#include "framework/screen.h"

#include <QAction>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenuBar>

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
    QMenu* help = menuBar()->addMenu("&Help");
    AddCommand(help, "&About", kCommandAbout);
    help->addSeparator();
    AddCommand(help, "&Homepage", kCommandHomepage);
}

void CMainFrame::AddCommand(QMenu* menu, const QString& text, int command) {
    QAction* action = menu->addAction(text);
    // Keep Qt from moving the items into an application menu on desktops that have one.
    action->setMenuRole(QAction::NoRole);
    connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
}

void CMainFrame::AddBackAccelerator() {
    auto* back = new QAction(this);
    back->setShortcut(Qt::Key_Escape);
    back->setShortcutContext(Qt::WindowShortcut);
    addAction(back);
    connect(back, &QAction::triggered, this, [this] { OnCommand(kCommandBack); });
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
        default:
            break;
    }
}
