#include "game/rules.h"

#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

namespace {

/// A battle in progress, with helpers to knock pieces off and judge the move.
struct RulesTest : ::testing::Test {
    PieceTable table = EmptyTable();
    Match match;

    void SetUp() override { StartBattle(match, table, 0, 0, kRed); }
    void KnockOff(std::initializer_list<int> pieces) {
        for (int k : pieces)
            table[k].alive = 0;
    }
    Judgement Move(int piece, std::initializer_list<int> knockedOff,
                   PlayMode mode = PlayMode::TwoPlayers) {
        match.lastFlickedPiece = piece;
        KnockOff(knockedOff);
        return JudgeMove(match, table, mode);
    }
    void LeaveOnly(std::uint8_t side, int alive) {
        int base = side == kRed ? 0 : 8;
        for (int k = alive; k < 8; ++k)
            table[base + k].alive = 0;
        match.count[side] = alive;
    }
};

}  // namespace

// Every result code has its exact text; an unknown code has none.
TEST(Rules, ResultCodesHaveTheirTexts) {
    EXPECT_EQ(ResultText(kNoWinner), "No winner");
    EXPECT_EQ(ResultText(kRedWonBattle), "Red army won the battle");
    EXPECT_EQ(ResultText(kRedLostBattle), "Red army lost the battle");
    EXPECT_EQ(ResultText(kWhiteWonBattle), "White army won the battle");
    EXPECT_EQ(ResultText(kRedWonGame), "Red army won the GAME!");
    EXPECT_EQ(ResultText(kRedLostGame), "Red army lost the GAME!");
    EXPECT_EQ(ResultText(kWhiteWonGame), "White army won the GAME!");
    EXPECT_EQ(ResultText(7), "");
    EXPECT_EQ(ResultText(-1), "");
}

// A move that knocks off nothing passes the turn and scores 0, or -l for own pieces lost.
TEST_F(RulesTest, MissPassesTheTurn) {
    Judgement j = Move(3, {});
    EXPECT_TRUE(j.turnPassed);
    EXPECT_FALSE(j.endsBattle());
    EXPECT_EQ(match.sideToMove, kWhite);
    EXPECT_EQ(match.gameScore[kRed], 0);
    j = Move(12, {12, 13});
    EXPECT_EQ(match.battlePoints[kWhite], -2);
    EXPECT_EQ(match.gameScore[kWhite], -2);
    EXPECT_EQ(match.sideToMove, kRed);
}

// Two knocked off without loss score 4 and keep the turn; the same piece scoring again while
// it stays on the board earns the bonus point: 1 + 1.
TEST_F(RulesTest, RepeatedPieceEarnsBonusPoint) {
    Judgement j = Move(2, {9, 10});
    EXPECT_FALSE(j.turnPassed);
    EXPECT_EQ(match.sideToMove, kRed);
    EXPECT_EQ(match.battlePoints[kRed], 4);
    j = Move(2, {11});
    EXPECT_EQ(match.battlePoints[kRed], 4 + 2);
    EXPECT_EQ(match.previousPiece[kRed], 2);
    EXPECT_EQ(match.previousPiece[kWhite], -1);
    // The same piece scoring but falling off itself earns no bonus (and loses the turn).
    j = Move(2, {12, 2});
    EXPECT_EQ(match.battlePoints[kRed], 6 + 1 - 1);
    EXPECT_TRUE(j.turnPassed);
}

// Three knocked off with one own piece lost: 9 - 1 = 8, and the turn passes.
TEST_F(RulesTest, OwnLossPassesTheTurnDespiteHits) {
    Judgement j = Move(5, {8, 9, 10, 5});
    EXPECT_EQ(match.battlePoints[kRed], 8);
    EXPECT_EQ(match.gameScore[kRed], 8);
    EXPECT_TRUE(j.turnPassed);
    EXPECT_EQ(match.count[kRed], 7);
    EXPECT_EQ(match.count[kWhite], 5);
}

// Game scores are weighted by the mover's row + 1.
TEST_F(RulesTest, GameScoreIsWeightedByRow) {
    StartBattle(match, table, 3, 2, kWhite);
    match.lastFlickedPiece = 9;
    KnockOff({0, 1});
    match.newCount = {8, 6};
    EXPECT_EQ(MovePoints(match, table, kWhite), 4);
    EXPECT_EQ(WeightedMovePoints(match, table, kWhite), 4 * 3);
    EXPECT_EQ(RowWeight(match, kRed), 4);
}

// A flawless win from 0/0 moves the winner to row 2 and multiplies its points by 4; a win with
// losses moves it one row and multiplies by 1.
TEST_F(RulesTest, FlawlessWinAdvancesTwoRows) {
    LeaveOnly(kWhite, 1);
    match.battlePoints[kRed] = 3;
    Judgement j = Move(0, {8});
    EXPECT_EQ(j.outcome, Judgement::Outcome::NextBattle);
    EXPECT_EQ(j.resultCode, kRedWonBattle);
    EXPECT_EQ(match.row[kRed], 2);
    EXPECT_EQ(match.battlePoints[kRed], (3 + 1) * 2 * 2);
    EXPECT_EQ(j.pointsShown, 16);
    EXPECT_EQ(match.gameScore[kRed], 1 + 16);
    EXPECT_EQ(j.nextRedRow, 2);
    EXPECT_EQ(j.nextWhiteRow, 0);
    EXPECT_EQ(j.nextFirstMover, kRed);
}

TEST_F(RulesTest, WinWithLossesAdvancesOneRow) {
    LeaveOnly(kWhite, 1);
    LeaveOnly(kRed, 5);
    match.battlePoints[kRed] = 3;
    Judgement j = Move(0, {8});
    EXPECT_EQ(match.row[kRed], 1);
    EXPECT_EQ(match.battlePoints[kRed], 4);
    EXPECT_EQ(j.pointsShown, 4);
}

// The winner's battle points (3 before the last blow, 4 with it) are multiplied by its new row,
// and twice over for a flawless win; the product is shown and added to the game score.
TEST_F(RulesTest, BattleProductIsThePointsTimesTheNewRow) {
    struct Case {
        int redRow;
        int redLeft;
        std::int32_t product;
    };
    for (const Case& c : {Case{0, 5, 4 * 1}, Case{2, 5, 4 * 3}, Case{3, 1, 4 * 4},
                          Case{0, 8, 4 * 2 * 2}, Case{1, 8, 4 * 3 * 2}}) {
        StartBattle(match, table, c.redRow, 0, kRed);
        match.gameScore = {0, 0};
        LeaveOnly(kWhite, 1);
        LeaveOnly(kRed, c.redLeft);
        match.battlePoints[kRed] = 3;
        Judgement j = Move(0, {8});
        EXPECT_EQ(j.pointsShown, c.product) << "row " << c.redRow << ", " << c.redLeft << " left";
        EXPECT_EQ(match.gameScore[kRed], 1 * (c.redRow + 1) + c.product);  // the blow, weighted
    }
}

// A move of one army forgets the other's previous piece: White's piece 9, flicked again after
// a Red move, earns no repeat bonus.
TEST_F(RulesTest, TheOtherArmysMoveEndsARepeat) {
    StartBattle(match, table, 0, 0, kWhite);
    Move(9, {});
    EXPECT_EQ(match.previousPiece[kWhite], 9);
    Move(0, {});
    EXPECT_EQ(match.previousPiece[kWhite], -1);
    Move(9, {0});
    EXPECT_EQ(match.battlePoints[kWhite], 1);
}

// Red on 5 and White on 1: a Red win puts Red on 6 and pushes White back to 0; a further
// flawless win puts Red on 8 and wins the GAME.
TEST_F(RulesTest, RowsPushBackAndGameIsWonPastSix) {
    StartBattle(match, table, 5, 1, kRed);
    LeaveOnly(kWhite, 1);
    LeaveOnly(kRed, 7);
    Judgement j = Move(0, {8});
    EXPECT_EQ(j.outcome, Judgement::Outcome::NextBattle);
    EXPECT_EQ(match.row[kRed], 6);
    EXPECT_EQ(match.row[kWhite], 0);
    StartBattle(match, table, j.nextRedRow, j.nextWhiteRow, j.nextFirstMover);
    LeaveOnly(kWhite, 1);
    match.battlePoints[kRed] = 2;
    j = Move(0, {8});
    EXPECT_EQ(j.outcome, Judgement::Outcome::NextGame);
    EXPECT_EQ(j.resultCode, kRedWonGame);
    EXPECT_EQ(match.row[kRed], 8);
    EXPECT_EQ(j.pointsShown, (2 + 1) * 8 * 2);
}

// When the last pieces of both armies fall in one move, the battle is replayed on the same
// rows and the side that did not make the move starts.
TEST_F(RulesTest, MutualWipeOutIsADrawReplayedOnTheSameRows) {
    StartBattle(match, table, 2, 1, kWhite);
    LeaveOnly(kWhite, 1);
    LeaveOnly(kRed, 1);
    Judgement j = Move(8, {8, 0});
    EXPECT_EQ(j.resultCode, kNoWinner);
    EXPECT_EQ(j.outcome, Judgement::Outcome::NextBattle);
    EXPECT_EQ(j.pointsShown, 0);
    EXPECT_EQ(j.nextRedRow, 2);
    EXPECT_EQ(j.nextWhiteRow, 1);
    EXPECT_EQ(j.nextFirstMover, kRed);
}

// White's wins: codes 3 and 6 with two players, 2 and 5 with no points against the computer.
TEST_F(RulesTest, WhiteWinsHaveModeSpecificCodes) {
    match.sideToMove = kWhite;
    LeaveOnly(kRed, 1);
    Judgement two = Move(9, {0}, PlayMode::TwoPlayers);
    EXPECT_EQ(two.resultCode, kWhiteWonBattle);
    EXPECT_EQ(two.pointsShown, match.battlePoints[kWhite]);
    EXPECT_GT(two.pointsShown, 0);
    EXPECT_EQ(two.nextFirstMover, kWhite);

    StartBattle(match, table, 0, 6, kWhite);
    match.gameScore = {0, 50};
    LeaveOnly(kRed, 1);
    Judgement computer = Move(9, {0}, PlayMode::VersusComputer);
    EXPECT_EQ(computer.resultCode, kRedLostGame);
    EXPECT_EQ(computer.outcome, Judgement::Outcome::NextGame);
    EXPECT_EQ(computer.pointsShown, 0);
    EXPECT_EQ(match.gameScore[kRed], 50);
    EXPECT_EQ(match.gameScore[kWhite], 0);
    StartGame(match, table, PlayMode::VersusComputer);
    EXPECT_EQ(match.gameScore[kRed], 50);  // the person's total runs on
    StartGame(match, table, PlayMode::TwoPlayers);
    EXPECT_EQ(match.gameScore[kRed], 0);
}

// Against the computer its moves score nothing and leave the person's previous piece alone.
TEST_F(RulesTest, ComputerMovesScoreNothing) {
    Move(4, {}, PlayMode::VersusComputer);
    EXPECT_EQ(match.previousPiece[kRed], 4);
    match.battlePoints = {0, 0};
    Judgement j = Move(4 /* not updated by the computer */, {0, 1}, PlayMode::VersusComputer);
    EXPECT_EQ(match.battlePoints[kWhite], 0);
    EXPECT_EQ(match.gameScore[kWhite], 0);
    EXPECT_EQ(match.previousPiece[kRed], 4);
    EXPECT_FALSE(j.turnPassed);  // it knocked off Red pieces and lost none: it moves again
    EXPECT_EQ(match.sideToMove, kWhite);
}

// On the network the result screen is always handed 0 points, though both armies score.
TEST_F(RulesTest, NetworkShowsNoPoints) {
    LeaveOnly(kWhite, 1);
    Judgement j = Move(0, {8}, PlayMode::Network);
    EXPECT_EQ(j.resultCode, kRedWonBattle);
    EXPECT_EQ(j.pointsShown, 0);
    EXPECT_GT(match.gameScore[kRed], 0);
}

// Property: through random judged moves the counts match the table, rows never sum above 6
// unless a GAME was just won, and the side to move is always an army.
TEST_F(RulesTest, RandomMovesKeepTheInvariants) {
    unsigned seed = 7;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    for (int move = 0; move < 3000; ++move) {
        std::uint8_t mover = match.sideToMove;
        int piece = (mover == kRed ? 0 : 8) + static_cast<int>(next() % 8);
        match.lastFlickedPiece = piece;
        for (int k = 0; k < 16; ++k) {
            if (table[k].alive && next() % 9 == 0) table[k].alive = 0;
        }
        Judgement j = JudgeMove(match, table, PlayMode::TwoPlayers);
        ASSERT_EQ(match.count[kRed], CountAlive(table, kRed));
        ASSERT_EQ(match.count[kWhite], CountAlive(table, kWhite));
        ASSERT_TRUE(match.sideToMove == kRed || match.sideToMove == kWhite);
        if (j.outcome == Judgement::Outcome::NextGame) {
            ASSERT_GT(match.row[j.nextFirstMover], kLastRow);
            StartGame(match, table, PlayMode::TwoPlayers);
        } else {
            ASSERT_LE(match.row[kRed] + match.row[kWhite], kLastRow);
            if (j.endsBattle()) {
                StartBattle(match, table, j.nextRedRow, j.nextWhiteRow, j.nextFirstMover);
            }
        }
    }
}

// A move record naming no piece (nothing flicked yet) is judged without reading outside the
// table, and earns no bonus.
TEST_F(RulesTest, MoveWithoutAFlickedPieceIsSafe) {
    match.previousPiece[kRed] = -1;
    match.lastFlickedPiece = -1;
    KnockOff({8});
    match.newCount = {7, 8};
    EXPECT_EQ(MovePoints(match, table, kRed), 1);
    match.lastFlickedPiece = 99;
    match.previousPiece[kRed] = 99;
    EXPECT_EQ(MovePoints(match, table, kRed), 1);
}

// The repeat bonus needs all three at once: Red's flicked piece is the one of its previous
// move, at least one White piece was knocked off, and the flicked piece is still on the board.
TEST_F(RulesTest, RepeatBonusNeedsTheSamePieceAKnockAndThePieceLeft) {
    struct Case {
        int flicked;                      // Red's previous piece is 2
        std::initializer_list<int> fell;  // pieces off the board after the move
        std::int32_t points;
    };
    for (const Case& c : {Case{2, {9}, 1 + 1}, Case{2, {9, 10}, 4 + 1}, Case{2, {}, 0},
                          Case{2, {5}, -1}, Case{3, {9}, 1}, Case{2, {2, 9}, 1 - 1}}) {
        table = EmptyTable();
        SetUp();
        match.previousPiece[kRed] = 2;
        match.lastFlickedPiece = c.flicked;
        KnockOff(c.fell);
        match.newCount = {CountAlive(table, kWhite), CountAlive(table, kRed)};
        EXPECT_EQ(MovePoints(match, table, kRed), c.points) << "flicked " << c.flicked;
    }
}
