// The main window's menus, caption, icon and commands, the About box, and the game's message
// boxes, on the real window.

#include "app/about_box.h"
#include "app/commands.h"
#include "app/game_icon.h"
#include "app/qt_message_box.h"
#include "app/start_up.h"
#include "framework/scene.h"
#include "framework/screen.h"
#include "framework/settings_store.h"
#include "framework/settings_values.h"
#include "screens/screen_main.h"
#include "screens/screen_play1.h"
#include "tests/app/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

namespace {

std::vector<std::string> TextsOf(const QList<QAction*>& actions) {
    std::vector<std::string> texts;
    for (QAction* action : actions)
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return texts;
}

QAction* FindAction(QMenuBar* bar, const QString& text) {
    for (QAction* top : bar->actions())
        for (QAction* item : top->menu()->actions())
            if (item->text() == text) return item;
    return nullptr;
}

// Runs `inspect` on the first modal widget once it is open, then lets `close` close it.
template <typename Inspect>
void WhenModalOpens(Inspect inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        poll->stop();
        poll->deleteLater();
        inspect(modal);
    });
    poll->start(10);
}

class MainFrame : public WindowTest {};

TEST_F(MainFrame, CaptionIconAndMenus) {
    // Caption "Brivel", an icon, and the menus "&File" (E&xit), "Game" (the computer's three
    // strengths) and "&Help" (&About, a separator, &Homepage).
    EXPECT_EQ(Frame().windowTitle(), "Brivel");
    EXPECT_FALSE(Frame().windowIcon().isNull());
    QMenuBar* bar = Frame().menuBar();
    ASSERT_EQ(TextsOf(bar->actions()),
              (std::vector<std::string>{"&File", "&View", "Game", "&Help"}));
    EXPECT_EQ(TextsOf(bar->actions()[0]->menu()->actions()), std::vector<std::string>{"E&xit"});
    EXPECT_EQ(TextsOf(bar->actions()[1]->menu()->actions()),
              std::vector<std::string>{"&Full screen"});
    EXPECT_EQ(TextsOf(bar->actions()[2]->menu()->actions()),
              (std::vector<std::string>{"Computer: Easy", "Computer: Normal", "Computer: Hard"}));
    EXPECT_EQ(TextsOf(bar->actions()[3]->menu()->actions()),
              (std::vector<std::string>{"&About", "-", "&Homepage"}));
}

TEST_F(MainFrame, FullScreenTogglesKeepsTheWindowedSizeAndEscStaysPause) {
    // F11 and the menu item alike: the view fills the screen and the screens see its size,
    // "fullscreen" is stored, "cx" and "cy" keep the windowed size; Esc still reaches the
    // screen; leaving brings the windowed view back.
    RecordingScreen screen;
    CurrentScreen = &screen;
    QAction* item = FindAction(Frame().menuBar(), "&Full screen");
    ASSERT_NE(item, nullptr);
    for (bool byKey : {true, false}) {
        byKey ? QTest::keyClick(&Frame(), Qt::Key_F11) : item->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return View()->width() != kViewWidth; }));
        EXPECT_TRUE(Frame().isFullScreen());
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(store_.Read("fullscreen"), 1);
        EXPECT_EQ(ClientWidth, View()->width());
        EXPECT_EQ(store_.Read("cx"), kViewWidth);
        EXPECT_EQ(store_.Read("cy"), kViewHeight);
        PressEscape();
        EXPECT_EQ(screen.events.back(), "back");
        byKey ? QTest::keyClick(&Frame(), Qt::Key_F11) : item->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return View()->width() == kViewWidth; }));
        EXPECT_FALSE(Frame().isFullScreen());
        EXPECT_FALSE(item->isChecked());
        EXPECT_EQ(store_.Read("fullscreen"), 0);
        EXPECT_EQ(View()->size(), QSize(kViewWidth, kViewHeight));
        EXPECT_EQ(ClientHeight, kViewHeight);
    }
    CurrentScreen = &ScreenMain;
}

TEST_F(MainFrame, WindowIconIsTheLaunchersPicture) {
    // At every size the window shows pixel for pixel the PNG that is installed for the
    // launcher (the install test checks that the installed files are these), and the window
    // names the launcher, so a task bar pairs the two.
    const QIcon icon = Frame().windowIcon();
    for (int size : kGameIconSizes) {
        SCOPED_TRACE(size);
        const QString file = QStringLiteral(BRIVEL_ASSET_DIR "/icon_%1.png").arg(size);
        const QImage installed(file);
        ASSERT_EQ(installed.size(), QSize(size, size)) << file.toStdString();
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
                    installed.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << "the window's icon differs from " << file.toStdString();
    }
    EXPECT_EQ(QGuiApplication::desktopFileName(), kApplicationId);
}

TEST_F(MainFrame, MakingTheViewActivatesTheFirstScreen) {
    // The current screen is activated once while the view is made, before any event.
    RecordingScreen first;
    CurrentScreen = &first;
    CMainFrame another;
    EXPECT_EQ(first.events, std::vector<std::string>{"activate"});
    EXPECT_EQ(first.ticks, 0);
}

TEST_F(MainFrame, HomepageOpensTheGamesAddress) {
    // "&Homepage" hands the fixed address to the desktop's handler, once per choice.
    FindAction(Frame().menuBar(), "&Homepage")->trigger();
    ASSERT_EQ(openedUrls_.size(), 1u);
    EXPECT_EQ(openedUrls_[0], QUrl(kHomepageAddress));
    EXPECT_TRUE(openedUrls_[0].isValid());
    EXPECT_EQ(openedUrls_[0].scheme(), "https");
}

TEST_F(MainFrame, AboutBoxShowsItsTexts) {
    // "&About" opens the modal About box with its caption, texts and a default "OK" that
    // closes it.
    QStringList texts;
    QString caption;
    bool okIsDefault = false;
    WhenModalOpens([&](QWidget* box) {
        caption = box->windowTitle();
        for (QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty()) texts << label->text();
        QPushButton* ok = box->findChild<QPushButton*>();
        okIsDefault = ok != nullptr && ok->text() == "OK" && ok->isDefault();
        if (ok != nullptr) QTest::mouseClick(ok, Qt::LeftButton);
    });
    FindAction(Frame().menuBar(), "&About")->trigger();
    EXPECT_EQ(caption, "About");
    EXPECT_EQ(texts, (QStringList{"Brivel v.1.0-beta",
                                  "Please visit the game homepage\n"
                                  "for more information and updates"}));
    EXPECT_TRUE(okIsDefault);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Runs the computer's turn of a battle it begins up to its choice.
void ComputerChoosesOnItsOwnBattle() {
    ScreenPlay1.StartBattle(0, 0, kWhite);
    for (int tick = 0; tick < kComputerThinkTicks; ++tick)
        ScreenPlay1.OnTimer();
    ASSERT_EQ(ScreenPlay1.computerPhase, kComputerAiming);
}

TEST_F(MainFrame, ComputerLevelFromTheMenuReachesTheComputerAndOutlivesARestart) {
    // Normal is checked at first. A level chosen in the middle of a game holds from the
    // computer's next choice (Hard foresees every shot at its real speed, Easy tries five),
    // only one item is checked, and a restarted window finds the stored level checked.
    QMenuBar* bar = Frame().menuBar();
    EXPECT_TRUE(FindAction(bar, "Computer: Normal")->isChecked());
    InitBoardAndCamera(Board, Camera);
    ScreenPlay1.ResetTotalScore();
    ScreenPlay1.NewGame();
    SwitchScreen(&ScreenPlay1);
    FindAction(bar, "Computer: Hard")->trigger();
    EXPECT_FALSE(FindAction(bar, "Computer: Normal")->isChecked());
    ComputerChoosesOnItsOwnBattle();
    EXPECT_EQ(ScreenPlay1.opponent.candidateCount, kCandidateCount);
    for (const ShotCandidate& c : ScreenPlay1.opponent.candidates)
        EXPECT_EQ(c.trialSpeed, kComputerFlickSpeed);
    FindAction(bar, "Computer: Easy")->trigger();
    ComputerChoosesOnItsOwnBattle();
    EXPECT_EQ(ScreenPlay1.opponent.candidateCount, 5);
    EXPECT_EQ(ReadSetting("level", -1), 0);

    frame_.reset();
    ComputerLevel = OpponentLevel::Normal;
    ReadStoredLevel();
    CMainFrame restarted;
    EXPECT_TRUE(FindAction(restarted.menuBar(), "Computer: Easy")->isChecked());
    EXPECT_FALSE(FindAction(restarted.menuBar(), "Computer: Normal")->isChecked());
}

TEST_F(MainFrame, ExitClosesTheWindow) {
    // "E&xit" closes the main window.
    FindAction(Frame().menuBar(), "E&xit")->trigger();
    EXPECT_FALSE(Frame().isVisible());
}

TEST_F(MainFrame, UnknownCommandIsIgnored) {
    // A command nobody handles changes nothing.
    Frame().OnCommand(0x1234);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(openedUrls_.empty());
}

TEST_F(MainFrame, MessageBoxIsTitledBrivelWithOnlyOkAndTheTimerGoesOn) {
    // A game message is a modal box titled "Brivel" with the text, one OK button and no icon;
    // the screen keeps ticking while it is open.
    RecordingScreen screen;
    CurrentScreen = &screen;
    QString title, text;
    int buttons = 0, ticksWhileOpen = 0;
    QMessageBox::Icon icon = QMessageBox::Warning;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        int start = screen.ticks;
        QTest::qWait(200);
        ticksWhileOpen = screen.ticks - start;
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    CQtMessageBox messages(&Frame());
    messages.Show("CONNECTION_LOST");
    EXPECT_EQ(title, "Brivel");
    EXPECT_EQ(text, "CONNECTION_LOST");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
    EXPECT_GE(ticksWhileOpen, 2);
}

}  // namespace
