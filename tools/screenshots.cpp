// Photographs the real game for the README: the whole main window (menu bar and view) on the
// main menu, a play screen, the settings screen and the result screen of a battle Red won by a
// real flick, each written as a PNG file.
//
//   screenshots FOLDER [WIDTH HEIGHT]      the view's size, 900 x 600 unless given
//
// Runs on any Qt platform; tools/screenshots.sh runs it on a virtual X display as large as a
// desktop's, since the drawing surface is never larger than the screen. Exits 1 when a state could not
// be reached or a picture not written.

#include "app/brivel_app.h"
#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/start_up.h"
#include "framework/screen.h"
#include "game/board.h"
#include "screens/screen_congr.h"
#include "screens/screen_play2.h"
#include "screens/screen_sett.h"
#include "tests/setups/board_setups.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// Enough for a few ticks and their frames to reach the view, even the first frame of a play
// screen, which loads the board's pictures.
constexpr int kSettleMs = 1000;

// Lets the game run its ticks and frames for `ms` milliseconds.
void Run(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool Photograph(CMainFrame& frame, const std::string& folder, const char* name) {
    Run(kSettleMs);
    std::string path = folder + "/" + name + ".png";
    bool written = frame.grab().toImage().save(QString::fromStdString(path), "PNG");
    std::printf("%s %s\n", written ? "wrote" : "FAILED to write", path.c_str());
    return written;
}

void ShowPlay() {
    ScreenPlay2.NewGame();
    SwitchScreen(&ScreenPlay2);
    Run(2 * kSettleMs);  // the camera's swing to Red's view is over
    // Red's fourth piece picked, aimed where Red looks, the view turned a little for depth.
    Camera.azimuth = 20;
    Camera.elevation = 55;
    ScreenPlay2.selectedPiece = 4;
    Board[4].selected = 1;
    Board[4].aim = -Camera.azimuth;
}

// Red knocks White's last piece off with one flick: the play screen judges the move and shows
// its result screen, exactly as in a game.
bool WinBattle() {
    ScreenPlay2.NewGame();
    SwitchScreen(&ScreenPlay2);
    LeaveLastWhiteBeforeRed(Board);
    ScreenPlay2.match.count[kWhite] = ScreenPlay2.match.newCount[kWhite] = 1;
    ScreenPlay2.selectedPiece = 3;
    Board[3].selected = 1;
    Board[3].aim = 0;
    ScreenPlay2.Flick(1.2);
    QElapsedTimer timer;
    timer.start();
    while (CurrentScreen != &ScreenCongr && timer.elapsed() < 10000) Run(50);
    return CurrentScreen == &ScreenCongr;
}

bool TakeAll(CMainFrame& frame, const std::string& folder) {
    if (!Photograph(frame, folder, "menu")) return false;
    ShowPlay();
    if (!Photograph(frame, folder, "play")) return false;
    SwitchScreen(&ScreenSett);
    if (!Photograph(frame, folder, "settings")) return false;
    if (!WinBattle()) {
        std::fprintf(stderr, "screenshots: the winning flick did not end the battle\n");
        return false;
    }
    return Photograph(frame, folder, "result");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: screenshots FOLDER [WIDTH HEIGHT]\n");
        return 2;
    }
    const std::string folder = argv[1];
    QSize viewSize(900, 600);
    if (argc == 4) viewSize = QSize(std::atoi(argv[2]), std::atoi(argv[3]));
    int status = 1;
    BrivelApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    SizeViewTo(*app.MainFrame(), viewSize);
    // Started from the event loop, as the game's own ticks and clicks are.
    QTimer::singleShot(100, app.MainFrame(), [&] {
        status = TakeAll(*app.MainFrame(), folder) ? 0 : 1;
        app.MainFrame()->close();
    });
    app.exec();
    return status;
}
