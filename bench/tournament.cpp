// The computer against itself on the two-player rules, to measure its strengths: battle after
// battle from rows 0 and 0, the two levels taking Red (and with it the first move) in turn,
// each drawn battle replayed as the rules say until one army wins it. The game's generator and
// the levels' own generators start from fixed states, so a run repeats.
//
//   tournament [--battles N] [--pair A,B]...     levels: easy, normal, hard
//
// Prints per pairing: A's wins among the decided battles with a 95 % (Wilson) interval, the
// drawn battles, A's wins among the battles it began by moving, and each level's median
// wall time of a choice. Without --pair: hard,normal, normal,easy and hard,easy.

#include "game/helper_thread.h"
#include "game/opponent.h"
#include "game/physics.h"
#include "game/random.h"
#include "game/rules.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

/// A drawn battle that keeps being drawn is given up after this many moves in one go (none
/// has come near it; a flick at the computer's speed that misses always slides off the board).
constexpr int kMoveLimitPerBattle = 2000;

struct Player {
    OpponentLevel level;
    OpponentState state;
    std::vector<double> choiceMs;
};

const char* NameOf(OpponentLevel level) {
    switch (level) {
        case OpponentLevel::Easy:
            return "easy";
        case OpponentLevel::Hard:
            return "hard";
        case OpponentLevel::Normal:
            break;
    }
    return "normal";
}

std::optional<OpponentLevel> LevelNamed(std::string_view name) {
    for (auto level : {OpponentLevel::Easy, OpponentLevel::Normal, OpponentLevel::Hard})
        if (name == NameOf(level)) return level;
    return std::nullopt;
}

/// Flicks the chosen piece at the computer's speed and runs the move to rest (or to the step
/// limit, as the play screens do).
void Flick(PieceTable& table, std::int32_t piece) {
    table[piece].selected = 0;
    Velocity v = FlickVelocity(table[piece].aim, kComputerFlickSpeed);
    table[piece].vx = v.vx;
    table[piece].vy = v.vy;
    std::int32_t falls = 0;
    for (int steps = 0; StepPhysics(table, falls);) {
        if (++steps == kMoveStepLimit) {
            StopAllPieces(table);
            break;
        }
    }
}

/// One move of the side to move, chosen by `player`, judged by the rules.
Judgement PlayMove(Player& player, Match& match, PieceTable& table) {
    std::uint8_t mover = match.sideToMove;
    CountsBefore counts{match.count[kRed], match.count[kWhite]};
    auto start = std::chrono::steady_clock::now();
    std::int32_t piece = ChooseShot(player.state, table, Opponent(mover), counts, player.level);
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    player.choiceMs.push_back(took.count());
    if (IsPieceIndex(piece)) Flick(table, piece);
    match.lastFlickedPiece = piece;
    return JudgeMove(match, table, PlayMode::TwoPlayers);
}

struct BattleOutcome {
    std::uint8_t winner = kRed;
    int draws = 0;
};

/// One battle from rows 0 and 0 with Red moving first, replayed after each draw until decided.
BattleOutcome PlayBattle(Player& red, Player& white) {
    BattleOutcome outcome;
    Match match;
    PieceTable table;
    CameraAngles camera;
    InitBoardAndCamera(table, camera);
    StartBattle(match, table, 0, 0, kRed);
    for (int moves = 0;; ++moves) {
        Player& mover = match.sideToMove == kRed ? red : white;
        Judgement judgement = PlayMove(mover, match, table);
        bool drawn = judgement.endsBattle() && judgement.resultCode == kNoWinner;
        if (judgement.endsBattle() && !drawn) {
            outcome.winner = judgement.nextFirstMover;
            return outcome;
        }
        if (drawn || moves == kMoveLimitPerBattle) {
            ++outcome.draws;
            moves = 0;
            StartBattle(match, table, 0, 0, drawn ? judgement.nextFirstMover : kRed);
        }
    }
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

/// Wilson score interval at 95 %, in percent.
std::pair<double, double> Interval(int wins, int total) {
    if (total == 0) return {0, 0};
    const double z = 1.96;
    double n = total;
    double p = wins / n;
    double scale = 1 + z * z / n;
    double centre = (p + z * z / (2 * n)) / scale;
    double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / scale;
    return {100 * (centre - half), 100 * (centre + half)};
}

void PlayPairing(OpponentLevel a, OpponentLevel b, int battles) {
    SetRandState(1);
    Player first{a, {}, {}};
    Player second{b, {}, {}};
    // Two players of one level must not draw the same numbers.
    second.state.easyDraws = RandomStream(~kEasyFirstState);
    second.state.hardDraws = RandomStream(~kHardFirstState);
    int wins = 0;
    int draws = 0;
    int winsMovingFirst = 0;
    int battlesMovingFirst = 0;
    for (int n = 0; n < battles; ++n) {
        bool firstIsRed = n % 2 == 0;
        BattleOutcome outcome = firstIsRed ? PlayBattle(first, second) : PlayBattle(second, first);
        bool firstWon = (outcome.winner == kRed) == firstIsRed;
        wins += firstWon;
        draws += outcome.draws;
        battlesMovingFirst += firstIsRed;
        winsMovingFirst += firstWon && firstIsRed;
    }
    auto [low, high] = Interval(wins, battles);
    std::printf(
        "%s vs %s: won %d of %d decided battles (%.1f %%, 95 %% interval %.1f-%.1f %%), "
        "draws %d, won moving first %d of %d, median choice ms %s %.1f %s %.1f\n",
        NameOf(a), NameOf(b), wins, battles, 100.0 * wins / battles, low, high, draws,
        winsMovingFirst, battlesMovingFirst, NameOf(a), Median(first.choiceMs), NameOf(b),
        Median(second.choiceMs));
    std::fflush(stdout);
}

struct Pairing {
    OpponentLevel a;
    OpponentLevel b;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "tournament: %s\nusage: tournament [--battles N] [--pair A,B]... "
                 "(levels easy, normal, hard; N from 1 to 1000000)\n",
                 problem.c_str());
    return 2;
}

std::optional<Pairing> PairingNamed(std::string_view text) {
    std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    auto a = LevelNamed(text.substr(0, comma));
    auto b = LevelNamed(text.substr(comma + 1));
    if (!a || !b) return std::nullopt;
    return Pairing{*a, *b};
}

}  // namespace

int main(int argc, char** argv) {
    int battles = 400;
    std::vector<Pairing> pairings;
    for (int k = 1; k < argc; ++k) {
        std::string_view option = argv[k];
        if (k + 1 == argc) return Usage("missing value after " + std::string(option));
        std::string value = argv[++k];
        if (option == "--battles") {
            char* end = nullptr;
            long n = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || n < 1 || n > 1000000) return Usage("bad battle count " + value);
            battles = static_cast<int>(n);
        } else if (option == "--pair") {
            auto pairing = PairingNamed(value);
            if (!pairing) return Usage("bad pair " + value);
            pairings.push_back(*pairing);
        } else {
            return Usage("unknown option " + std::string(option));
        }
    }
    if (pairings.empty()) {
        pairings = {{OpponentLevel::Hard, OpponentLevel::Normal},
                    {OpponentLevel::Normal, OpponentLevel::Easy},
                    {OpponentLevel::Hard, OpponentLevel::Easy}};
    }
    for (const Pairing& pairing : pairings)
        PlayPairing(pairing.a, pairing.b, battles);
    HelperThread::Stop();
    return 0;
}
