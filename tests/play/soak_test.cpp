// Threads: the test thread plays; a scene queue's rendering thread draws the scenes into a
// graphics object that draws nothing and answers picks with the piece the driver chose.

#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/scene.h"
#include "framework/screen.h"
#include "game/opponent.h"
#include "game/random.h"
#include "screens/screen_congr.h"
#include "screens/screen_main.h"
#include "screens/screen_play1.h"
#include "screens/screen_play2.h"
#include "tests/play/play_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Sanitized builds run the same play for fewer battles: it is the memory and arithmetic
// checks that matter there, and every battle costs several of the opponent's choices.
// BRIVEL_SOAK_BATTLES sets another count (tools/soak.sh plays thousands).
#if defined(__SANITIZE_ADDRESS__)
constexpr int kBattlesPerScreen = 10;
#else
constexpr int kBattlesPerScreen = 100;
#endif
int BattlesPerScreen() {
    const char* value = std::getenv("BRIVEL_SOAK_BATTLES");
    return value != nullptr ? std::atoi(value) : kBattlesPerScreen;
}

// Resident size of this process, kilobytes.
long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
// A battle of the two computer players lasts well under this many ticks (measured: a few
// hundred at most); more means the screen is stuck.
constexpr int kTickLimitPerBattle = 6000;

// Plays the person's part with the computer opponent's choice: aims the camera along the
// chosen shot, clicks the piece, and rolls the wheel with the fake clock, either seven
// quick notches or a few slower ones that end at the wheel's timeout.
class SoakDriver {
public:
    SoakDriver(CScreenPlay& screen, FakeClock& clock, PickingGraphics& graphics)
        : screen_(screen), clock_(clock), graphics_(graphics) {}

    bool IsPersonsTurn() const {
        return CurrentScreen == &screen_ && !screen_.moving && !screen_.IsSwinging() &&
               screen_.match.sideToMove == screen_.sideInControl && !screen_.wheelCharging;
    }

    void MakeMove() {
        std::uint8_t mover = screen_.match.sideToMove;
        CountsBefore counts{screen_.match.count[kRed], screen_.match.count[kWhite]};
        std::int32_t piece = ChooseShot(opponent_, Board, Opponent(mover), counts);
        ASSERT_GE(piece, 0);
        ASSERT_EQ(Board[piece].side, mover);
        Board[piece].selected = 0;  // the click is what selects it
        Camera.azimuth = -Board[piece].aim;
        graphics_.pick = piece;
        screen_.OnLButtonDown(10, 10);
        screen_.OnLButtonUp(10, 10);
        ASSERT_EQ(screen_.selectedPiece, piece);
        ASSERT_NO_FATAL_FAILURE(RollWheel());
    }

private:
    // Mostly seven notches 3 ms apart (power about 2.5, the computer's own speed); every
    // third move three notches 2 ms apart, flicked by the wheel's timeout (about 1.3).
    void RollWheel() {
        bool quick = ++moves_ % 3 != 0;
        int notches = quick ? 7 : 3;
        for (int notch = 0; notch < notches; ++notch) {
            if (notch > 0) clock_.now += quick ? 3 : 2;
            screen_.OnMouseWheel(120);
        }
        ASSERT_EQ(screen_.moving, quick ? 1 : 0);
    }

    CScreenPlay& screen_;
    FakeClock& clock_;
    PickingGraphics& graphics_;
    OpponentState opponent_;
    int moves_ = 0;
};

std::string DescribeTable(const PieceTable& table) {
    std::string text;
    for (const Piece& piece : table) {
        char line[128];
        std::snprintf(line, sizeof line, "  alive %d at %.17g, %.17g moving %.17g, %.17g\n",
                      int{piece.alive}, piece.x, piece.y, piece.vx, piece.vy);
        text += line;
    }
    return text;
}

// What the rules promise after every judged move of a battle that goes on.
void CheckBattleState(const CScreenPlay& screen, const Match& before, bool versusComputer) {
    const Match& now = screen.match;
    for (std::uint8_t side : {kWhite, kRed}) {
        ASSERT_EQ(now.count[side], CountAlive(Board, side));
        ASSERT_GE(now.count[side], 1);
        ASSERT_LE(now.count[side], before.count[side]);  // pieces never come back
        ASSERT_EQ(now.row[side], before.row[side]);
    }
    ASSERT_LE(now.row[kRed] + now.row[kWhite], kLastRow);
    std::uint8_t mover = before.sideToMove;
    std::uint8_t other = Opponent(mover);
    std::int32_t knocked = before.count[other] - now.count[other];
    std::int32_t lost = before.count[mover] - now.count[mover];
    // The turn stays only when enemy pieces alone fell.
    ASSERT_EQ(now.sideToMove == mover, knocked > 0 && lost == 0)
        << "mover " << int{mover} << " counts before " << before.count[kRed] << ","
        << before.count[kWhite] << " after " << now.count[kRed] << "," << now.count[kWhite]
        << " rows " << now.row[kRed] << "," << now.row[kWhite] << "\n"
        << DescribeTable(Board);
    ASSERT_EQ(now.gameScore[other], before.gameScore[other]);
    std::int32_t gained = now.gameScore[mover] - before.gameScore[mover];
    if (versusComputer && mover == kWhite) {
        ASSERT_EQ(gained, 0);
        ASSERT_EQ(now.battlePoints[kWhite], 0);
    } else {
        std::int32_t base = knocked * knocked - lost;
        std::int32_t weight = now.row[mover] + 1;
        ASSERT_TRUE(gained == base * weight || gained == (base + 1) * weight) << gained;
    }
    ASSERT_EQ(screen.sideInControl, versusComputer ? kRed : now.sideToMove);
}

// What holds when a battle has just been decided and the next set up behind the result.
void CheckBattleEnd(const CScreenPlay& screen, bool versusComputer) {
    const Match& now = screen.match;
    std::int32_t result = ScreenCongr.Result;
    if (versusComputer) {
        ASSERT_TRUE(result == 0 || result == 1 || result == 2 || result == 4 || result == 5);
    } else {
        ASSERT_TRUE(result == 0 || result == 1 || result == 3 || result == 4 || result == 6);
    }
    bool gameOver = result >= 4;
    ASSERT_EQ(ScreenCongr.ReturnScreen, gameOver ? nullptr : &screen);
    ASSERT_EQ(now.count, (std::array<std::int32_t, 2>{8, 8}));
    ASSERT_EQ(CountAlive(Board, kRed), 8);
    ASSERT_EQ(CountAlive(Board, kWhite), 8);
    ASSERT_GE(std::min(now.row[kRed], now.row[kWhite]), 0);
    ASSERT_LE(now.row[kRed] + now.row[kWhite], kLastRow);
    if (gameOver) {
        ASSERT_EQ(now.row, (std::array<std::int32_t, 2>{0, 0}));
        if (!versusComputer) {
            ASSERT_EQ(now.gameScore, (std::array<std::int32_t, 2>{}));
        }
    }
    ASSERT_EQ(now.battlePoints, (std::array<std::int32_t, 2>{}));
    ASSERT_FALSE(screen.moving);
    ASSERT_EQ(screen.selectedPiece, -1);
}

class SoakTest : public testing::Test {
protected:
    void SetUp() override {
        InitBoardAndCamera(Board, Camera);
        InitFlag(Flag);
        SetRandState(1);
        SetClock(&clock);
        queue_ = std::make_unique<CRenderQueue>(graphics);
        SetProgramQueue(queue_.get());
    }
    void TearDown() override {
        SetProgramQueue(nullptr);
        queue_.reset();
        SetClock(nullptr);
        CurrentScreen = &ScreenMain;
    }

    // Plays `battles` battles on `screen`, the driver moving for the side in control, the
    // screen's own logic for everything else; checks the rules after every move.
    void Soak(CScreenPlay& screen, bool versusComputer, int battles) {
        SoakDriver driver(screen, clock, graphics);
        int played = 0;
        int games = 0;
        int ticks = 0;
        int longest = 0;
        long residentAfter100 = 0;
        Match before = screen.match;
        while (played < battles) {
            if (CurrentScreen == &ScreenCongr) {
                ++played;
                longest = std::max(longest, ticks);
                ticks = 0;
                ASSERT_NO_FATAL_FAILURE(CheckBattleEnd(screen, versusComputer));
                games += ScreenCongr.Result >= 4 ? 1 : 0;
                if (played == 100) residentAfter100 = ResidentKb();
                ScreenCongr.OnLButtonDown(0, 0);
                if (CurrentScreen == &ScreenMain) SwitchScreen(&screen);
                ASSERT_EQ(CurrentScreen, &screen);
                before = screen.match;
                continue;
            }
            // A judged move either passes the turn or changes the counts, and nothing else
            // changes them; so every move is seen here, even a weak flick that comes to rest
            // within the tick that sets it moving.
            if (screen.match.sideToMove != before.sideToMove || screen.match.count != before.count) {
                ASSERT_NO_FATAL_FAILURE(CheckBattleState(screen, before, versusComputer));
                before = screen.match;
            }
            if (driver.IsPersonsTurn()) {
                ASSERT_NO_FATAL_FAILURE(driver.MakeMove());
            }
            clock.now += 50;
            screen.OnTimer();
            ASSERT_LT(++ticks, kTickLimitPerBattle) << "battle " << played << " is stuck";
        }
        RecordProperty("games", games);
        RecordProperty("longestBattleTicks", longest);
        EXPECT_GT(games, 0);
        long residentAtEnd = ResidentKb();
        std::printf(
            "SOAK battles %d games %d longest %d ticks resident %ld kB after 100, %ld kB "
            "at the end\n",
            played, games, longest, residentAfter100, residentAtEnd);
        // Memory must not grow with play: checked where there is play enough to show it.
        if (battles >= 1000) {
            EXPECT_LE(residentAtEnd, residentAfter100 * 11 / 10);
        }
    }

    FakeClock clock;
    PickingGraphics graphics;

private:
    std::unique_ptr<CRenderQueue> queue_;
};

TEST_F(SoakTest, TwoComputerPlayersPlayManyBattlesOnTheTwoPlayerScreen) {
    // Battle after battle the two-player screen keeps the rules: counts, rows and scores
    // after every move, a result and a fresh battle after every end, never stuck.
    ScreenPlay2.NewGame();
    SwitchScreen(&ScreenPlay2);
    Soak(ScreenPlay2, false, BattlesPerScreen());
}

TEST_F(SoakTest, PersonPlayedByTheComputerAgainstTheComputerPlaysManyBattles) {
    // The same against the computer's own phases on the one-player screen.
    ScreenPlay1.ResetTotalScore();
    ScreenPlay1.NewGame();
    SwitchScreen(&ScreenPlay1);
    Soak(ScreenPlay1, true, BattlesPerScreen());
}

}  // namespace
