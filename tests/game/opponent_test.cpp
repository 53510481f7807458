#include "game/opponent.h"

#include "game/random.h"
#include "tests/game/literal_opponent.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

ShotCandidate Outcome(int redLeft, int whiteLeft) {
    ShotCandidate c;
    c.redLeft = redLeft;
    c.whiteLeft = whiteLeft;
    return c;
}

bool PositionsAndVelocitiesEqual(const PieceTable& a, const PieceTable& b) {
    for (int k = 0; k < kPieceCount; ++k) {
        if (std::memcmp(&a[k].x, &b[k].x, 4 * sizeof(double)) != 0) return false;
        if (a[k].alive != b[k].alive) return false;
    }
    return true;
}

}  // namespace

// A good shot knocks off a target and loses nothing (or leaves no target); good beats poor.
TEST(Opponent, GoodShotBeatsPoorShot) {
    CountsBefore counts{3, 5};
    ShotCandidate nothing = Outcome(3, 5);
    ShotCandidate lastRedButTwoOwn = Outcome(0, 3);
    ShotCandidate hitButOwnLoss = Outcome(2, 4);
    EXPECT_TRUE(BetterShot(lastRedButTwoOwn, nothing, kRed, counts));
    EXPECT_FALSE(BetterShot(nothing, lastRedButTwoOwn, kRed, counts));
    // Poor against poor: 1 - 1 = 0 is not strictly larger than 0.
    EXPECT_FALSE(BetterShot(hitButOwnLoss, nothing, kRed, counts));
    EXPECT_TRUE(BetterShot(Outcome(3, 5), Outcome(3, 3), kRed, counts));
    // A miss is poor even when it loses nothing; own losses count squared too: 4 - 4 = 0.
    EXPECT_FALSE(BetterShot(nothing, hitButOwnLoss, kRed, counts));
    EXPECT_FALSE(BetterShot(Outcome(1, 3), hitButOwnLoss, kRed, counts));
}

// Of two good shots the one knocking off more wins; equal ones keep the earlier.
TEST(Opponent, GoodShotsCompareBySquaredLosses) {
    CountsBefore counts{6, 6};
    EXPECT_FALSE(BetterShot(Outcome(5, 6), Outcome(4, 6), kRed, counts));
    EXPECT_TRUE(BetterShot(Outcome(4, 6), Outcome(5, 6), kRed, counts));
    EXPECT_FALSE(BetterShot(Outcome(5, 6), Outcome(5, 6), kRed, counts));
    // Playing the other army, the roles of the counts swap.
    EXPECT_TRUE(BetterShot(Outcome(6, 4), Outcome(6, 5), kWhite, counts));
}

// A trial plays the shot to rest on a copy: the live table is not touched.
TEST(Opponent, TrialLeavesTheLiveTableAlone) {
    PieceTable table = OpeningTable();
    PieceTable before = table;
    ShotCandidate c;
    c.shooter = 11;
    c.aim = 180;
    c.trialSpeed = 9.9;
    TryShot(c, table);
    EXPECT_EQ(std::memcmp(&before, &table, sizeof table), 0);
    EXPECT_LT(c.redLeft, 8);
    EXPECT_LE(c.whiteLeft, 8);
    c.trialSpeed = 0;
    TryShot(c, table);
    EXPECT_EQ(c.redLeft, 8);
    EXPECT_EQ(c.whiteLeft, 8);
}

// A trial of a table that would never come to rest (a piece with a NaN speed) ends at the step
// limit and is judged as it stands, instead of holding the choosing thread for ever.
TEST(Opponent, TrialThatNeverRestsEndsAtTheStepLimit) {
    PieceTable table = OpeningTable();
    table[15].vx = std::numeric_limits<double>::quiet_NaN();
    ShotCandidate c;
    c.shooter = 0;
    c.trialSpeed = 1;
    TryShot(c, table);
    EXPECT_EQ(c.redLeft, 8);
}

// One piece each: every candidate has the same shooter, and the choice marks and aims it
// without moving anything; 300 draws are taken (six per candidate).
TEST(Opponent, LoneShooterIsChosenAndAimed) {
    PieceTable table = EmptyTable();
    Put(table, 2, 0.3, 0.2);
    Put(table, 13, 0.7, 0.8);
    PieceTable before = table;
    OpponentState state;
    SetRandState(99);
    std::uint32_t expected = 99;
    for (int n = 0; n < 300; ++n)
        expected = expected * 214013u + 2531011u;
    EXPECT_EQ(ChooseShot(state, table, kRed, {1, 1}), 13);
    EXPECT_EQ(RandState(), expected);
    for (const ShotCandidate& c : state.candidates)
        EXPECT_EQ(c.shooter, 13);
    EXPECT_TRUE(PositionsAndVelocitiesEqual(before, table));
    EXPECT_EQ(table[13].selected, 1);
    EXPECT_EQ(table[2].selected, 0);
    // The target lies to the shooter's lower left: the aim turns towards -x (positive aim).
    EXPECT_GT(table[13].aim, 0);
}

// With no target or no shooter there is nothing to choose: the caller is told, nothing drawn.
TEST(Opponent, EmptyArmyIsReported) {
    PieceTable table = EmptyTable();
    Put(table, 9, 0.5, 0.5);
    OpponentState state;
    SetRandState(5);
    EXPECT_EQ(ChooseShot(state, table, kRed, {0, 1}), -1);
    EXPECT_EQ(RandState(), 5u);
    EXPECT_EQ(table[9].selected, 0);
}

// Golden: from the generator's first state on the opening position the candidates and the
// choice are recorded constants. A change here changes what the computer plays.
TEST(Opponent, OpeningChoiceIsRecorded) {
    PieceTable table = OpeningTable();
    OpponentState state;
    SetRandState(1);
    std::int32_t chosen = ChooseShot(state, table, kRed, {8, 8});
    struct Recorded {
        std::int32_t shooter;
        double aim;
        double trialSpeed;
        std::int32_t redLeft, whiteLeft;
    };
    const Recorded recorded[3] = {
        {9, -0x1.2be8c1de5453fp+7, 0x1.3333333333333p+1, 7, 8},
        {14, 0x1.5c99999999999p+7, 0x1.2p+2, 6, 7},
        {9, -0x1.824f2844baba7p+7, 0x1.0cccccccccccdp+2, 7, 7},
    };
    for (int k = 0; k < 3; ++k) {
        const ShotCandidate& c = state.candidates[k];
        EXPECT_EQ(c.shooter, recorded[k].shooter) << k;
        EXPECT_EQ(c.aim, recorded[k].aim) << k;
        EXPECT_EQ(c.trialSpeed, recorded[k].trialSpeed) << k;
        EXPECT_EQ(c.redLeft, recorded[k].redLeft) << k;
        EXPECT_EQ(c.whiteLeft, recorded[k].whiteLeft) << k;
    }
    EXPECT_EQ(chosen, 13);
    EXPECT_EQ(table[13].aim, 0x1.039a52581d2bap+7);
}

// A shooter and a target on one spot have no direction between them; the choice must still
// come to rest (a NaN aim would keep a trial moving for ever) and aim straight ahead.
TEST(Opponent, CoincidentShooterAndTargetStillChoose) {
    PieceTable table = EmptyTable();
    Put(table, 3, 0.5, 0.5);
    Put(table, 11, 0.5, 0.5);
    OpponentState state;
    SetRandState(1);
    EXPECT_EQ(ChooseShot(state, table, kRed, {1, 1}), 11);
    for (const ShotCandidate& c : state.candidates) {
        EXPECT_TRUE(std::isfinite(c.aim));
        EXPECT_LE(std::fabs(c.aim), 45.0);
    }
}

// The choice, played on two threads with trials that stop early, against the literal one on one
// thread: same draws, same outcome of every candidate, same piece and aim bits, on every kind
// of position, including trials whose steps run out of collision passes.
TEST(Opponent, ChoiceMatchesTheLiteralAlgorithm) {
    std::vector<PieceTable> positions = {OpeningTable(), CrowdedTable(), LateGameTable()};
    for (std::uint32_t seed = 1; seed <= 5; ++seed)
        positions.push_back(AfterRandomFlicks(seed, 1 + static_cast<int>(seed % 4)));
    LiteralChoiceStats stats;
    std::uint32_t start = 1;
    for (const PieceTable& position : positions) {
        CountsBefore counts{CountAlive(position, kRed), CountAlive(position, kWhite)};
        PieceTable table = position;
        PieceTable literalTable = position;
        OpponentState state;
        OpponentState literal;
        SetRandState(start);
        std::int32_t chosen = ChooseShot(state, table, kRed, counts);
        SetRandState(start);
        std::int32_t literalChosen = LiteralChooseShot(literal, literalTable, kRed, counts, &stats);
        start = RandState();
        ASSERT_EQ(chosen, literalChosen);
        EXPECT_EQ(std::memcmp(&table, &literalTable, sizeof table), 0);
        for (int k = 0; k < kCandidateCount; ++k) {
            const ShotCandidate& c = state.candidates[k];
            const ShotCandidate& l = literal.candidates[k];
            EXPECT_EQ(c.shooter, l.shooter) << k;
            EXPECT_EQ(std::memcmp(&c.aim, &l.aim, sizeof c.aim), 0) << k;
            EXPECT_EQ(c.trialSpeed, l.trialSpeed) << k;
            EXPECT_EQ(c.redLeft, l.redLeft) << k;
            EXPECT_EQ(c.whiteLeft, l.whiteLeft) << k;
        }
    }
    EXPECT_GT(stats.passLimitSteps, 5) << "no trial exercised the pass limit";
}

// Easy and Hard draw only from their own generators: the game's stream, and so Normal's next
// choice, is what it would have been without them, and each level's choice repeats from the
// same state of its generator.
TEST(Opponent, OtherLevelsLeaveTheGamesGeneratorAlone) {
    for (OpponentLevel level : {OpponentLevel::Easy, OpponentLevel::Hard}) {
        PieceTable table = OpeningTable();
        PieceTable again = OpeningTable();
        OpponentState state;
        OpponentState twin;
        SetRandState(1);
        std::int32_t chosen = ChooseShot(state, table, kRed, {8, 8}, level);
        EXPECT_EQ(RandState(), 1u);
        EXPECT_EQ(ChooseShot(twin, again, kRed, {8, 8}, level), chosen);
        EXPECT_EQ(table[chosen].aim, again[chosen].aim);
        EXPECT_EQ(state.candidateCount, PlayOf(level).candidateCount);
        for (int k = 0; k < state.candidateCount; ++k)
            EXPECT_EQ(state.candidates[k].trialSpeed, kComputerFlickSpeed);
    }
    PieceTable table = OpeningTable();
    OpponentState state;
    EXPECT_EQ(ChooseShot(state, table, kRed, {8, 8}), 13);
    EXPECT_EQ(table[13].aim, 0x1.039a52581d2bap+7);
}
