#pragma once

#include "board.h"

#include <array>
#include <cstdint>
#include <string_view>

/// The rules of a battle and a GAME, stated once for every play screen. A screen keeps one
/// `Match`, starts battles and GAMEs through it and, when a flick has come to rest, calls
/// `JudgeMove` and carries out the `Judgement` it returns.

/// How a screen plays: who scores and which result codes it shows.
enum class PlayMode {
    TwoPlayers,      ///< both armies score; codes 0, 1, 3, 4, 6
    VersusComputer,  ///< only Red (the person) scores; codes 0, 1, 2, 4, 5
    Network,         ///< both armies score, the result screen is always shown 0 points
};

/// Result codes handed to the result screen.
enum ResultCode : std::int32_t {
    kNoWinner = 0,
    kRedWonBattle = 1,
    kRedLostBattle = 2,
    kWhiteWonBattle = 3,
    kRedWonGame = 4,
    kRedLostGame = 5,
    kWhiteWonGame = 6,
};

/// The text shown for a result code; an unknown code gives an empty text.
std::string_view ResultText(std::int32_t code);

/// A row above this wins the GAME; the two rows together never exceed it.
inline constexpr int kLastRow = 6;

/// Everything the rules keep for one play screen. Per-army values are indexed by side
/// (kWhite = 0, kRed = 1).
struct Match {
    std::uint8_t sideToMove = kRed;
    std::array<std::int32_t, 2> count{8, 8};            ///< alive after the last judged move
    std::array<std::int32_t, 2> row{0, 0};              ///< from each army's own home edge
    std::array<std::int32_t, 2> previousPiece{-1, -1};  ///< piece of the army's last judged move
    std::int32_t lastFlickedPiece = -1;                 ///< piece of the move being judged
    std::array<std::int32_t, 2> newCount{8, 8};         ///< counted while judging
    std::array<std::int32_t, 2> battlePoints{0, 0};
    std::array<std::int32_t, 2> gameScore{0, 0};  ///< the person's total against the computer
};

inline std::uint8_t Opponent(std::uint8_t side) {
    return side == kRed ? kWhite : kRed;
}

/// True if the side's moves score in this mode.
bool IsScoringSide(PlayMode mode, std::uint8_t side);

/// Sets up a battle: the armies on the given rows of `table`, both counts 8, no previous
/// pieces, no battle points, `firstMover` to move. Game scores are kept.
void StartBattle(Match& match, PieceTable& table, int redRow, int whiteRow,
                 std::uint8_t firstMover);

/// Starts a GAME: rows 0 and 0, Red first. Both game scores start again from 0, except against
/// the computer, where the person's total runs on from GAME to GAME.
void StartGame(Match& match, PieceTable& table, PlayMode mode);

/// Points of the move being judged for `mover`: k x k - l for k enemy pieces knocked off and
/// l own pieces lost, + 1 for knocking off again with the piece of the previous move while it
/// stays on the board. Reads the stored counts as those before the move.
std::int32_t MovePoints(const Match& match, const PieceTable& table, std::uint8_t mover);

/// `MovePoints` weighted by the mover's row: the points the move adds to a game score.
std::int32_t WeightedMovePoints(const Match& match, const PieceTable& table, std::uint8_t mover);

/// Weight of a side's move points: its row + 1.
std::int32_t RowWeight(const Match& match, std::uint8_t side);

/// What became of a judged move, for the screen to carry out.
struct Judgement {
    enum class Outcome {
        BattleGoesOn,  ///< nothing to show; sideToMove tells who moves next
        NextBattle,    ///< show the result, then StartBattle(nextRedRow, nextWhiteRow,
                       ///< nextFirstMover)
        NextGame,      ///< show the result (no screen to return to), then start a new GAME
    };
    Outcome outcome = Outcome::BattleGoesOn;
    std::uint8_t mover = kRed;
    bool turnPassed = false;
    std::int32_t resultCode = kNoWinner;
    std::int32_t pointsShown = 0;
    std::int32_t nextRedRow = 0;
    std::int32_t nextWhiteRow = 0;
    std::uint8_t nextFirstMover = kRed;

    bool endsBattle() const { return outcome != Outcome::BattleGoesOn; }
};

/// Judges the move that has just come to rest on `table`: scores it, applies the turn rule and
/// decides the battle, advancing rows and adding battle products to game scores on a win.
/// It does not start the next battle: the screen switches to the result screen first and then
/// calls StartBattle or StartGame as the judgement says.
Judgement JudgeMove(Match& match, const PieceTable& table, PlayMode mode);
