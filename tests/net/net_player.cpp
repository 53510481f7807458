// A headless player of the network game, for tests: the real network play screen, session and
// peer, driven by scripted flicks (the computer opponent's choices for this machine's army)
// instead of a mouse, with message boxes printed instead of shown. One process is one machine.
//
//   net_player --red|--white [--address A] [--port P] [--tick-ms N] [--flicks N]
//              [--max-ticks N] [--wait-peer] [--quit-after-flicks] [--rehost-check]
//              [--power X] [--rows R,W] [--games N] [--quit-on-lost] [--rejoin]
//
// --rows starts the session's first battle on other rows than 0 and 0 (both machines must be
// given the same), so that a test reaches the end of a GAME in a few battles. --games plays N
// GAMEs one after the other, each in a session of its own, as players choosing NETWORK again.
// --quit-on-lost ends the run 1000 ticks after the game reported CONNECTION_LOST, as a person
// would close the game then (or after a failed attempt that is not retried); the ticks in
// between show that it keeps running. --rejoin makes a joining player whose session is lost or
// fails before its first move choose NETWORK again after 20 ticks, once per GAME, as a person
// would: one who finished a GAME first may have joined the other machine's old session, which
// ends when that machine finishes the GAME too.
//
// It prints one line per event, each starting with the tick it happened in:
//   MESSAGE <tick> <text>             a message box the game showed
//   SENT <tick> <piece> <vx> <vy>     a local flick was sent and set moving (hex bits)
//   TOOK <tick> <piece> <swing>       a received flick taken, with its swing length in ticks
//   PLAYED <tick> <piece> <vx> <vy>   a received flick started moving (velocity in hex bits)
//   REST <tick> <hash> <side> <rows> <scores> <counts>   a move came to rest and was judged
//   RESULT <tick> <code>              the result screen was shown
//   GAME_OVER <tick>                  a GAME ended and the main menu was reached
//   REHOST <ok|failed>                a new host bound the port right after the GAME
//   REJOIN <tick>                     a lost or failed new session was joined anew
//   END <tick>
// Threads: the main thread plays, as the user-interface thread of the game does.

#include "framework/message_box.h"
#include "framework/screen.h"
#include "game/board.h"
#include "game/opponent.h"
#include "net/network_session.h"
#include "screens/screen_congr.h"
#include "screens/screen_main.h"
#include "screens/screen_playn.h"

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace {

struct Options {
    bool playsRed = true;
    std::string address = "127.0.0.1";
    std::uint16_t port = kGamePort;
    int tickMs = 50;
    int flicks = 1 << 30;
    long maxTicks = 20 * 60 * 10;
    bool waitPeer = false;
    bool quitAfterFlicks = false;
    bool rehostCheck = false;
    bool quitOnLost = false;
    bool rejoin = false;
    int games = 1;
    double power = 2.5;
    int redRow = 0;
    int whiteRow = 0;
};

long Tick = 0;
/// Tick at which the game reported CONNECTION_LOST, 0 before.
long LostTick = 0;
/// Tick at which the game reported CONNECTION_ATTEMPT_FAILED, 0 before.
long FailedTick = 0;
/// Flicks sent or taken and moves judged in the running session.
int SessionMoves = 0;
/// Whether this GAME's session was already joined anew (--rejoin).
bool Rejoined = false;

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Hex(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%016llx",
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
    return text;
}

class PrintingMessageBox final : public CMessageBox {
public:
    void Show(std::string_view text) override {
        Print("MESSAGE " + std::to_string(Tick) + " " + std::string(text));
        if (text == "CONNECTION_LOST" && LostTick == 0) LostTick = Tick;
        if (text == "CONNECTION_ATTEMPT_FAILED" && FailedTick == 0) FailedTick = Tick;
    }
};

// FNV-1a over every bit of the table the two machines must agree on.
std::uint64_t TableHash(const PieceTable& table) {
    std::uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](std::uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            hash ^= (value >> (8 * i)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    for (const Piece& piece : table) {
        for (double value : {piece.x, piece.y, piece.vx, piece.vy})
            mix(std::bit_cast<std::uint64_t>(value));
        mix(piece.alive);
    }
    return hash;
}

void PrintRest() {
    ++SessionMoves;
    const Match& match = ScreenPlayN.match;
    char text[160];
    std::snprintf(text, sizeof text, "REST %ld %016llx %d %d,%d %d,%d %d,%d", Tick,
                  static_cast<unsigned long long>(TableHash(Board)), match.sideToMove,
                  match.row[kRed], match.row[kWhite], match.gameScore[kRed],
                  match.gameScore[kWhite], match.count[kRed], match.count[kWhite]);
    Print(text);
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--red")
            options.playsRed = true;
        else if (arg == "--white")
            options.playsRed = false;
        else if (arg == "--wait-peer")
            options.waitPeer = true;
        else if (arg == "--quit-after-flicks")
            options.quitAfterFlicks = true;
        else if (arg == "--rehost-check")
            options.rehostCheck = true;
        else if (arg == "--quit-on-lost")
            options.quitOnLost = true;
        else if (arg == "--rejoin")
            options.rejoin = true;
        else if (arg == "--games" && hasValue)
            options.games = std::atoi(argv[++i]);
        else if (arg == "--address" && hasValue)
            options.address = argv[++i];
        else if (arg == "--port" && hasValue)
            options.port = static_cast<std::uint16_t>(std::atoi(argv[++i]));
        else if (arg == "--tick-ms" && hasValue)
            options.tickMs = std::atoi(argv[++i]);
        else if (arg == "--flicks" && hasValue)
            options.flicks = std::atoi(argv[++i]);
        else if (arg == "--max-ticks" && hasValue)
            options.maxTicks = std::atol(argv[++i]);
        else if (arg == "--power" && hasValue)
            options.power = std::atof(argv[++i]);
        else if (arg == "--rows" && hasValue) {
            if (std::sscanf(argv[++i], "%d,%d", &options.redRow, &options.whiteRow) != 2)
                return false;
        } else
            return false;
    }
    return true;
}

// The machine's player flicks when his army is to move, the table rests and the camera is
// still, as a person would.
bool MayFlick(const Options& options) {
    const CScreenPlayN& screen = ScreenPlayN;
    if (CurrentScreen != &ScreenPlayN || screen.match.sideToMove != screen.sideInControl)
        return false;
    if (screen.moving || screen.pending || screen.IsSwinging()) return false;
    if (!screen.WaitingFlicks().empty()) return false;
    return !options.waitPeer || (NetPeer != nullptr && NetPeer->ConnectedCount() > 0);
}

void MakeFlick(const Options& options, OpponentState& opponent) {
    std::uint8_t army = ScreenPlayN.sideInControl;
    const Match& match = ScreenPlayN.match;
    CountsBefore counts{match.count[kRed], match.count[kWhite]};
    std::int32_t piece = ChooseShot(opponent, Board, Opponent(army), counts);
    if (!IsPieceIndex(piece)) return;
    ScreenPlayN.selectedPiece = piece;
    ScreenPlayN.Flick(options.power);
    ++SessionMoves;  // a flick of this session, sent
    Print("SENT " + std::to_string(Tick) + " " + std::to_string(piece) + " " +
          Hex(Board[piece].vx) + " " + Hex(Board[piece].vy));
}

// One tick of whatever screen is current, with what the test's player does around it.
void PlayTick(const Options& options, OpponentState& opponent, int& flicksMade) {
    CScreen* before = CurrentScreen;
    std::uint8_t wasPending = ScreenPlayN.pending;
    std::uint8_t wasMoving = ScreenPlayN.moving;
    CurrentScreen->OnTimer();
    if (before == &ScreenPlayN) {
        if (!wasPending && ScreenPlayN.pending) {
            ++SessionMoves;  // a flick of this session, taken
            Print("TOOK " + std::to_string(Tick) + " " +
                  std::to_string(ScreenPlayN.match.lastFlickedPiece) + " " +
                  std::to_string(ScreenPlayN.countdown - kReceivedFlickDelayTicks));
        }
        if (wasPending && !ScreenPlayN.pending) {
            // The piece has moved on by a tick of physics since; this is what it started with.
            Velocity v = FlickVelocity(ScreenPlayN.pendingAim, ScreenPlayN.pendingPower);
            Print("PLAYED " + std::to_string(Tick) + " " +
                  std::to_string(ScreenPlayN.match.lastFlickedPiece) + " " + Hex(v.vx) + " " +
                  Hex(v.vy));
        }
        if (wasMoving && !ScreenPlayN.moving) PrintRest();
        if (CurrentScreen == &ScreenCongr)
            Print("RESULT " + std::to_string(Tick) + " " + std::to_string(ScreenCongr.Result));
    }
    if (CurrentScreen == &ScreenCongr && before == &ScreenCongr) ScreenCongr.OnBack();
    if (flicksMade < options.flicks && MayFlick(options)) {
        MakeFlick(options, opponent);
        ++flicksMade;
    }
}

void StartSession(const Options& options) {
    LostTick = 0;  // a closed earlier session is not this one
    FailedTick = 0;
    SessionMoves = 0;
    StartNetworkSession(options.playsRed, options.address.c_str());
    ScreenPlayN.BeginSession(options.playsRed ? kRed : kWhite);
}

/// Tick at which the running session was lost or failed, 0 while it lasts.
long SessionEndedTick() {
    return LostTick != 0 ? LostTick : FailedTick;
}

// A session that was lost or failed before its first move is joined anew, once per GAME.
bool MayRejoin(const Options& options) {
    return options.rejoin && !options.playsRed && SessionMoves == 0 && !Rejoined;
}

void CheckRehost() {
    StartNetworkSession(1, "");
    bool bound = NetPeer != nullptr && NetPeer->BoundPort() == GamePort();
    Print(std::string("REHOST ") + (bound ? "ok" : "failed"));
    CloseNetworkSession();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "net_player: unknown or incomplete option\n");
        return 2;
    }
    InitBoardAndCamera(Board, Camera);
    PrintingMessageBox messages;
    SetMessageBox(&messages);
    SetGamePort(options.port);
    CurrentScreen = &ScreenMain;
    StartSession(options);
    if (options.redRow != 0 || options.whiteRow != 0) {
        ScreenPlayN.StartBattle(options.redRow, options.whiteRow, kRed);
    }
    SwitchScreen(&ScreenPlayN);
    Print(std::string("START ") + (options.playsRed ? "red" : "white") + " " +
          std::to_string(GamePort()));

    OpponentState opponent;
    int flicksMade = 0;
    auto next = std::chrono::steady_clock::now();
    for (Tick = 1; Tick <= options.maxTicks; ++Tick) {
        next += std::chrono::milliseconds(options.tickMs);
        std::this_thread::sleep_until(next);
        PlayTick(options, opponent, flicksMade);
        if (CurrentScreen == &ScreenMain) {
            Print("GAME_OVER " + std::to_string(Tick));
            if (options.rehostCheck) CheckRehost();
            if (--options.games <= 0) break;
            Rejoined = false;
            // The players choose NETWORK again: Red hosts anew, White joins anew.
            StartSession(options);
            SwitchScreen(&ScreenPlayN);
        }
        long ended = SessionEndedTick();
        if (ended != 0 && MayRejoin(options) && Tick >= ended + 20) {
            Print("REJOIN " + std::to_string(Tick));
            Rejoined = true;
            CloseNetworkSession();
            StartSession(options);
            continue;
        }
        bool allMade = flicksMade >= options.flicks && !ScreenPlayN.moving && !ScreenPlayN.pending;
        if (options.quitAfterFlicks && allMade) break;
        if (options.quitOnLost && ended != 0 && Tick >= ended + 1000) break;
    }
    CloseNetworkSession();
    SetMessageBox(nullptr);
    Print("END " + std::to_string(Tick));
    return 0;
}
