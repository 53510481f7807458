#include "rules.h"

namespace {

constexpr std::array<std::string_view, 7> kResultTexts{
    "No winner",
    "Red army won the battle",
    "Red army lost the battle",
    "White army won the battle",
    "Red army won the GAME!",
    "Red army lost the GAME!",
    "White army won the GAME!",
};

/// Scores the move for a scoring mover and moves the previous pieces on.
void ScoreMove(Match& match, const PieceTable& table, std::uint8_t mover) {
    std::int32_t points = MovePoints(match, table, mover);
    match.battlePoints[mover] += points;
    match.gameScore[mover] += points * RowWeight(match, mover);
    match.previousPiece[mover] = match.lastFlickedPiece;
    match.previousPiece[Opponent(mover)] = -1;
}

/// The winner advances: two rows and double weight for a flawless battle, else one row. The
/// loser is pushed back so that the rows never sum above the last row. Returns true when the
/// winner has won the GAME.
bool AdvanceWinner(Match& match, std::uint8_t winner, PlayMode mode) {
    std::int32_t& row = match.row[winner];
    std::int32_t& points = match.battlePoints[winner];
    if (match.count[winner] == kArmySize) {
        row += 2;
        points = points * row * 2;
    } else {
        row += 1;
        points = points * row;
    }
    if (IsScoringSide(mode, winner)) match.gameScore[winner] += points;
    std::int32_t& loserRow = match.row[Opponent(winner)];
    if (row + loserRow > kLastRow) loserRow = kLastRow - row;
    return row > kLastRow;
}

std::int32_t WinCode(std::uint8_t winner, PlayMode mode, bool game) {
    if (winner == kRed) return game ? kRedWonGame : kRedWonBattle;
    if (mode == PlayMode::VersusComputer) return game ? kRedLostGame : kRedLostBattle;
    return game ? kWhiteWonGame : kWhiteWonBattle;
}

void DecideWin(Judgement& judgement, Match& match, std::uint8_t winner, PlayMode mode) {
    bool gameWon = AdvanceWinner(match, winner, mode);
    judgement.resultCode = WinCode(winner, mode, gameWon);
    bool showsPoints = mode != PlayMode::Network && IsScoringSide(mode, winner);
    judgement.pointsShown = showsPoints ? match.battlePoints[winner] : 0;
    judgement.outcome = gameWon ? Judgement::Outcome::NextGame : Judgement::Outcome::NextBattle;
    judgement.nextRedRow = match.row[kRed];
    judgement.nextWhiteRow = match.row[kWhite];
    judgement.nextFirstMover = winner;
}

}  // namespace

std::string_view ResultText(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(kResultTexts.size())) return {};
    return kResultTexts[code];
}

bool IsScoringSide(PlayMode mode, std::uint8_t side) {
    return mode != PlayMode::VersusComputer || side == kRed;
}

void StartBattle(Match& match, PieceTable& table, int redRow, int whiteRow,
                 std::uint8_t firstMover) {
    PlacePieces(table, redRow, whiteRow);
    match.row = {whiteRow, redRow};
    match.count = {kArmySize, kArmySize};
    match.newCount = {kArmySize, kArmySize};
    match.previousPiece = {-1, -1};
    match.battlePoints = {0, 0};
    match.sideToMove = firstMover;
}

void StartGame(Match& match, PieceTable& table, PlayMode mode) {
    StartBattle(match, table, 0, 0, kRed);
    if (mode != PlayMode::VersusComputer) match.gameScore = {0, 0};
}

std::int32_t MovePoints(const Match& match, const PieceTable& table, std::uint8_t mover) {
    std::uint8_t opponent = Opponent(mover);
    std::int32_t knockedOff = match.count[opponent] - match.newCount[opponent];
    std::int32_t lost = match.count[mover] - match.newCount[mover];
    std::int32_t points = knockedOff * knockedOff - lost;
    std::int32_t piece = match.lastFlickedPiece;
    if (knockedOff > 0 && IsPieceIndex(piece) && piece == match.previousPiece[mover] &&
        table[piece].alive) {
        points += 1;
    }
    return points;
}

std::int32_t WeightedMovePoints(const Match& match, const PieceTable& table, std::uint8_t mover) {
    return MovePoints(match, table, mover) * RowWeight(match, mover);
}

std::int32_t RowWeight(const Match& match, std::uint8_t side) {
    return match.row[side] + 1;
}

Judgement JudgeMove(Match& match, const PieceTable& table, PlayMode mode) {
    Judgement judgement;
    std::uint8_t mover = match.sideToMove;
    judgement.mover = mover;
    match.newCount = {CountAlive(table, kWhite), CountAlive(table, kRed)};
    if (IsScoringSide(mode, mover)) ScoreMove(match, table, mover);

    std::uint8_t opponent = Opponent(mover);
    bool noneFell = match.newCount == match.count;
    bool ownLost = match.newCount[mover] < match.count[mover];
    judgement.turnPassed = noneFell || ownLost;
    if (judgement.turnPassed) match.sideToMove = opponent;
    match.count = match.newCount;

    std::int32_t red = match.count[kRed];
    std::int32_t white = match.count[kWhite];
    if (red == 0 && white == 0) {
        judgement.outcome = Judgement::Outcome::NextBattle;
        judgement.resultCode = kNoWinner;
        judgement.nextRedRow = match.row[kRed];
        judgement.nextWhiteRow = match.row[kWhite];
        judgement.nextFirstMover = match.sideToMove;
    } else if (white == 0) {
        DecideWin(judgement, match, kRed, mode);
    } else if (red == 0) {
        DecideWin(judgement, match, kWhite, mode);
    }
    return judgement;
}
