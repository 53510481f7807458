// The whole game in a process of its own, for the shutdown tests: the real application object
// on the offscreen platform, driven into one state, and then its main window is closed (as
// "E&xit" closes it). Whatever the state, the process must end soon after, every thread joined.
//
//   shutdown_driver menu|flick|computer|message|result
//   shutdown_driver network PORT     hosts a session on PORT; the test connects to it
//   shutdown_driver settings-writer  rewrites the settings file until it is killed
//
// It prints one line per event:
//   READY <what>        the state is reached (for network: LISTENING first, then READY)
//   CLOSE <ns>          the main window is being closed, now: the monotonic clock's reading
//                       (steady_clock, shared by every process of the machine)
//   THREADS <n> <names> threads of the process once the application object is gone, just
//                       before main returns, and their names
//   SYNCED <round>      (settings-writer) the file holds that round's whole set
// Threads: the main thread is the user-interface thread of the game.

#include "app/brivel_app.h"
#include "app/main_frame.h"
#include "app/qt_settings_store.h"
#include "framework/message_box.h"
#include "framework/screen.h"
#include "game/board.h"
#include "net/network_session.h"
#include "screens/screen_congr.h"
#include "screens/screen_play1.h"
#include "screens/screen_play2.h"
#include "screens/screen_playn.h"
#include "tests/app/settings_rounds.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace {

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The number of threads of this process and their names, e.g. "2 shutdown_driver,llvmpipe-0".
// A thread just joined may stay listed for a moment while the kernel finishes its exit, so the
// list is read again for up to 50 ms until only this thread is left.
std::string Threads() {
    std::string threads;
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::size_t count = 0;
        std::string names;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            ++count;
            std::ifstream comm(task.path() / "comm");
            std::string name;
            std::getline(comm, name);
            names += (names.empty() ? "" : ",") + name;
        }
        threads = std::to_string(count) + " " + names;
        if (count == 1) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return threads;
}

void Close(CMainFrame& frame) {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    Print("CLOSE " + std::to_string(std::chrono::nanoseconds(now).count()));
    frame.close();
}

// Closes the window once the event loop is free again, as a click that came in meanwhile would.
void CloseLater(CMainFrame& frame) {
    QMetaObject::invokeMethod(
        &frame, [&frame] { Close(frame); }, Qt::QueuedConnection);
}

// Runs `step` on the user-interface thread every few milliseconds until it returns true.
void PollUntil(std::function<bool()> step) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step = std::move(step)] {
        if (step()) timer->deleteLater();
    });
    timer->start(5);
}

// A flick of Red's piece in column 3 straight at White's: several pieces move for seconds.
void StartFlick(CMainFrame& frame) {
    ScreenPlay2.NewGame();
    SwitchScreen(&ScreenPlay2);
    constexpr int kPiece = 3;
    ScreenPlay2.selectedPiece = kPiece;
    Board[kPiece].selected = 1;
    Board[kPiece].aim = 0;
    ScreenPlay2.Flick(4.0);
    // A few ticks in, the pieces are well on their way.
    QTimer::singleShot(200, &frame, [&frame] {
        Print("READY moving=" + std::to_string(ScreenPlay2.moving));
        Close(frame);
    });
}

// The computer's turn; its choice is made in a tick during which the player closes the
// window, so the close is handled as soon as the choice is done.
void StartComputerChoice(CMainFrame& frame) {
    ScreenPlay1.ResetTotalScore();
    ScreenPlay1.StartBattle(0, 0, kWhite);
    SwitchScreen(&ScreenPlay1);
    ScreenPlay1.computerCountdown = 1;
    CloseLater(frame);  // handled once the tick below is over
    ScreenPlay1.OnTimer();
    Print("READY phase=" + std::to_string(ScreenPlay1.computerPhase) +
          " chosen=" + std::to_string(ScreenPlay1.chosenPiece));
}

// Red hosts a session; once the other machine is connected the window is closed.
void StartNetworkGame(CMainFrame& frame, std::uint16_t port) {
    SetGamePort(port);
    StartNetworkSession(1, "");
    ScreenPlayN.BeginSession(kRed);
    SwitchScreen(&ScreenPlayN);
    Print("LISTENING");
    PollUntil([&frame] {
        if (NetPeer == nullptr || NetPeer->ConnectedCount() < 1) return false;
        Print("READY connected=" + std::to_string(NetPeer->ConnectedCount()));
        Close(frame);
        return true;
    });
}

// A message box over the play screen, as a tick shows one; the window is closed while it is
// open, from inside the box's own event loop.
void StartMessageBox(CMainFrame& frame) {
    ScreenPlay2.NewGame();
    SwitchScreen(&ScreenPlay2);
    QTimer::singleShot(200, &frame, [&frame] {
        Print(std::string("READY box=") + (QApplication::activeModalWidget() ? "open" : "none"));
        Close(frame);
    });
    ShowMessage("Something goes wrong");
    Print("BOX_RETURNED");
}

// The result screen of a battle Red won, as the play screen shows it.
void StartResult(CMainFrame& frame) {
    ScreenPlay2.NewGame();
    ScreenCongr.ReturnScreen = &ScreenPlay2;
    ScreenCongr.Result = 1;
    ScreenCongr.Points = 8;
    SwitchScreen(&ScreenCongr);
    QTimer::singleShot(200, &frame, [&frame] {
        Print(std::string("READY result=") + (CurrentScreen == &ScreenCongr ? "shown" : "gone"));
        Close(frame);
    });
}

void StartMenu(CMainFrame& frame) {
    QTimer::singleShot(200, &frame, [&frame] {
        Print("READY menu");
        Close(frame);
    });
}

bool StartState(const std::string& state, const char* argument, CMainFrame& frame) {
    if (state == "network") {
        if (argument == nullptr) return false;
        StartNetworkGame(frame, static_cast<std::uint16_t>(std::atoi(argument)));
        return true;
    }
    static const std::map<std::string, void (*)(CMainFrame&)> kStarts{
        {"menu", StartMenu},
        {"flick", StartFlick},
        {"computer", StartComputerChoice},
        {"message", StartMessageBox},
        {"result", StartResult}};
    auto start = kStarts.find(state);
    if (start == kStarts.end()) return false;
    start->second(frame);
    return true;
}

int RunGame(int argc, char** argv) {
    const std::string state = argv[1];
    const char* argument = argc > 2 ? argv[2] : nullptr;
    int status = 0;
    {
        BrivelApp app(argc, argv);
        if (!app.InitInstance()) return 1;
        CMainFrame& frame = *app.MainFrame();
        // Started from the event loop, as the game's own ticks and clicks are.
        QTimer::singleShot(100, &frame, [&] {
            if (!StartState(state, argument, frame)) QCoreApplication::exit(2);
        });
        status = app.exec();
    }
    Print("THREADS " + Threads());
    return status;
}

// Rewrites every setting in rounds through the game's store, each round ended by writing the
// store out (as the store does when the game ends), until the process is killed.
int WriteSettingsForever() {
    // Rounds go on from what an earlier, killed writer left.
    std::int32_t round = 0;
    {
        CQtSettingsStore store;
        std::optional<std::int32_t> stored =
            StoredRound([&store](std::string_view key) { return store.Read(key); });
        round = stored.value_or(-1) + 1;
    }
    for (;; ++round) {
        {
            CQtSettingsStore store;
            WriteRound(store, round);
        }  // written out here
        Print("SYNCED " + std::to_string(round));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (std::string(argv[1]) == "settings-writer") return WriteSettingsForever();
    return RunGame(argc, argv);
}
