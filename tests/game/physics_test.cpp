#include "game/physics.h"

#include "game/opponent.h"
#include "game/random.h"
#include "tests/game/literal_physics.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

double Speed(const Piece& p) {
    return std::hypot(p.vx, p.vy);
}

/// Velocity before the step's friction, recovered from the velocity after it (friction takes
/// exactly 0.008 off the speed of a piece that keeps moving).
Velocity BeforeFriction(const Piece& p) {
    double speed = Speed(p);
    double scale = (speed + 0.008) / speed;
    return {p.vx * scale, p.vy * scale};
}

}  // namespace

// A table where no alive piece moves is left bit for bit as it was, dead pieces' velocities too.
TEST(Physics, RestingTableIsLeftUntouched) {
    PieceTable table = OpeningTable();
    table[3].alive = 0;
    table[3].vx = 1.5;
    table[3].vy = -0.25;
    table[11].alive = 0;
    table[11].vy = 7;
    table[5].vx = -0.0;  // a negative zero is not motion
    PieceTable before = table;
    std::int32_t falls = 4;
    EXPECT_FALSE(StepPhysics(table, falls));
    EXPECT_EQ(std::memcmp(&before, &table, sizeof table), 0);
    EXPECT_EQ(falls, 4);
}

// A lone piece at 2.5 along +y loses 0.008 per step and is taken off on the first step whose
// end finds its centre past the edge.
TEST(Physics, LonePieceFallsOnTheStepItPassesTheEdge) {
    PieceTable table = EmptyTable();
    Put(table, 0, ColumnCentre(0), RowCentre(kRed, 0));
    table[0].vy = 2.5;
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    EXPECT_NEAR(table[0].vy, 2.5 - 0.008, 1e-15);
    int steps = 1;
    while (table[0].alive) {
        double previousY = table[0].y;
        ASSERT_LE(previousY, 1);
        ASSERT_TRUE(StepPhysics(table, falls));
        ++steps;
        if (!table[0].alive) {
            EXPECT_GT(table[0].y, 1);
        }
    }
    EXPECT_EQ(falls, 1);
    // 0.876 board units at 2.5 slowing by 1.6 per second: a little over 80 steps.
    EXPECT_GE(steps, 80);
    EXPECT_LE(steps, 84);
    std::int32_t more = 0;
    EXPECT_FALSE(StepPhysics(table, more));  // a dead piece's velocity is no motion
    EXPECT_EQ(more, 0);
}

// A centre exactly on an edge is still on the board.
TEST(Physics, PieceExactlyOnTheEdgeStays) {
    PieceTable table = EmptyTable();
    Put(table, 0, 0.5, 1.0);
    Put(table, 1, 0.0, 0.3);
    Put(table, 8, 0.2, 0.5);
    table[8].vx = 0.5;  // something moves, so the edge rule runs over every piece
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    EXPECT_EQ(table[0].alive, 1);
    EXPECT_EQ(table[1].alive, 1);
    EXPECT_EQ(falls, 0);
}

// A head-on strike leaves the striker 0.4 of its speed and gives the other 0.6, both forward.
TEST(Physics, HeadOnStrikeSharesSpeedFourToSix) {
    PieceTable table = EmptyTable();
    Put(table, 0, 0.5, 0.4);
    Put(table, 8, 0.5, 0.4 + kContactDistance + 0.001);
    table[0].vy = 2;
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    EXPECT_NEAR(table[0].vy, 0.8 - 0.008, 1e-12);
    EXPECT_NEAR(table[8].vy, 1.2 - 0.008, 1e-12);
    EXPECT_EQ(table[0].vx, 0);
    EXPECT_EQ(table[8].vx, 0);
}

// A glancing strike conserves momentum and changes only the components along the line of
// centres: the struck piece leaves along that line, the striker keeps its tangential speed.
TEST(Physics, GlancingStrikeConservesMomentumAndTangentialSpeed) {
    PieceTable table = EmptyTable();
    const double offset = 0.097;  // closest approach just under the contact distance
    const double gap = 0.004;
    Put(table, 0, 0.5, 0.4);
    Put(table, 8, 0.5 + offset, 0.4 + std::sqrt(0.009604 - offset * offset) + gap);
    table[0].vy = 3;
    // Where the striker is when they touch, and the line of centres then.
    double contactY = 0.4 + gap;
    double nx = offset / kContactDistance;
    double ny = (table[8].y - contactY) / kContactDistance;
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    Velocity striker = BeforeFriction(table[0]);
    Velocity struck = BeforeFriction(table[8]);
    EXPECT_NEAR(striker.vx + struck.vx, 0, 1e-12);
    EXPECT_NEAR(striker.vy + struck.vy, 3, 1e-12);
    EXPECT_NEAR(struck.vx * ny - struck.vy * nx, 0, 1e-9);                  // along the line only
    EXPECT_NEAR(striker.vx * ny - striker.vy * nx, 0 * ny - 3 * nx, 1e-9);  // tangent kept
    EXPECT_GT(struck.vx, 0);
}

// Overlapping pieces that close in are first moved back to the moment of contact.
TEST(Physics, OverlappingPairIsRewoundThenResolved) {
    PieceTable table = EmptyTable();
    Put(table, 0, 0.5, 0.5);
    Put(table, 8, 0.5, 0.59);
    table[0].vy = 1;
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    // Rewound by 0.008 s, struck (0.4 / 0.6), then the step's 0.013 s spent moving apart.
    EXPECT_NEAR(table[0].y, 0.492 + 0.4 * 0.013, 1e-12);
    EXPECT_NEAR(table[8].y, 0.59 + 0.6 * 0.013, 1e-12);
    EXPECT_NEAR(table[0].vy, 0.4 - 0.008, 1e-12);
    EXPECT_NEAR(table[8].vy, 0.6 - 0.008, 1e-12);
}

// Two pieces on one spot are never resolved against each other (no division by zero).
TEST(Physics, CoincidentPiecesPassThrough) {
    PieceTable table = EmptyTable();
    Put(table, 0, 0.5, 0.5);
    Put(table, 8, 0.5, 0.5);
    table[0].vx = 1;
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    EXPECT_TRUE(std::isfinite(table[0].x) && std::isfinite(table[8].vx));
}

// A flick straight along a row into a line of pieces once rewound time by millions of seconds,
// put two centres on one spot and turned every speed they touched into NaN, so the table never
// came to rest. Such flicks, and every piece flicked along exactly 0, 90, 180 and 270 degrees
// from a few set-ups, come to rest with finite positions long before the step limit.
TEST(Physics, FlicksAlongARowComeToRestWithFinitePositions) {
    struct Case {
        PieceTable table;
        int piece;
        double aim;
        double speed;
    };
    std::vector<Case> cases = {{OpeningTable(), 0, 270, 3},   {OpeningTable(), 0, 270, 5.5},
                               {OpeningTable(), 0, 270, 9.5}, {OpeningTable(), 0, 270, 10},
                               {OpeningTable(), 4, 90, 2},    {OpeningTable(), 4, 90, 6}};
    PieceTable rowsThree = EmptyTable();
    PlacePieces(rowsThree, 3, 3);
    for (const PieceTable& setUp : {OpeningTable(), rowsThree, CrowdedTable()}) {
        for (int piece = 0; piece < kPieceCount; ++piece) {
            for (double aim : {0.0, 90.0, 180.0, 270.0}) {
                for (double speed : {2.0, 5.5, 9.5})
                    if (setUp[piece].alive) cases.push_back({setUp, piece, aim, speed});
            }
        }
    }
    for (Case& c : cases) {
        Launch(c.table, c.piece, c.aim, c.speed);
        std::int32_t falls = 0;
        int steps = 0;
        while (steps < kMoveStepLimit && StepPhysics(c.table, falls))
            ++steps;
        bool isFinite = true;
        for (const Piece& p : c.table)
            isFinite = isFinite && std::isfinite(p.x) && std::isfinite(p.y);
        EXPECT_TRUE(steps < 1000 && isFinite)
            << "piece " << c.piece << " along " << c.aim << " at " << c.speed << ": " << steps;
    }
}

// Below 0.008 a piece stops dead; just above, it moves one more step at what is left.
TEST(Physics, SlowPieceStopsInsteadOfCreeping) {
    PieceTable table = EmptyTable();
    Put(table, 0, 0.5, 0.5);
    table[0].vy = 0.0081;
    std::int32_t falls = 0;
    ASSERT_TRUE(StepPhysics(table, falls));
    EXPECT_NEAR(table[0].vy, 0.0001, 1e-15);
    ASSERT_TRUE(StepPhysics(table, falls));
    EXPECT_EQ(table[0].vy, 0);
    EXPECT_FALSE(StepPhysics(table, falls));
    EXPECT_GT(table[0].y, 0.5);
}

// The step is bit-identical to the literal algorithm on a few hundred random flicks, the
// ones that exhaust the 1000 collision passes included.
TEST(Physics, MatchesTheLiteralAlgorithmBitForBit) {
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> aim(-180, 180);
    std::uniform_real_distribution<double> speed(0.5, 9.9);
    int passLimitSteps = 0;
    for (int flick = 0; flick < 240; ++flick) {
        PieceTable fast = flick % 2 ? OpeningTable() : CrowdedTable();
        int piece = static_cast<int>(random() % 16);
        if (!fast[piece].alive) piece = 0;
        Launch(fast, piece, aim(random), speed(random));
        PieceTable literal = fast;
        std::int32_t fastFalls = 0;
        std::int32_t literalFalls = 0;
        for (int step = 0; step < 5000; ++step) {
            bool moved = StepPhysics(fast, fastFalls);
            bool hitLimit = false;
            ASSERT_EQ(moved, LiteralStepPhysics(literal, literalFalls, hitLimit));
            passLimitSteps += hitLimit;
            ASSERT_EQ(std::memcmp(&fast, &literal, sizeof fast), 0) << "flick " << flick;
            ASSERT_EQ(fastFalls, literalFalls);
            if (!moved) break;
        }
    }
    EXPECT_GT(passLimitSteps, 0) << "no flick exercised the pass limit";
}

// The computer's trial shots leave pieces touching and creeping far more often than random
// flicks; every one of them must still match the literal algorithm bit for bit.
TEST(Physics, MatchesTheLiteralAlgorithmOnOpponentTrials) {
    int passLimitSteps = 0;
    SetRandState(1);
    for (const PieceTable& position : {OpeningTable(), CrowdedTable()}) {
        for (int choice = 0; choice < 3; ++choice) {
            PieceTable live = position;
            OpponentState opponent;
            ChooseShot(opponent, live, kRed, {CountAlive(live, kRed), CountAlive(live, kWhite)});
            for (const ShotCandidate& c : opponent.candidates) {
                PieceTable fast = position;
                Launch(fast, c.shooter, c.aim, c.trialSpeed);
                PieceTable literal = fast;
                std::int32_t falls = 0;
                bool moved = true;
                while (moved) {
                    moved = StepPhysics(fast, falls);
                    bool hitLimit = false;
                    ASSERT_EQ(moved, LiteralStepPhysics(literal, falls, hitLimit));
                    passLimitSteps += hitLimit;
                    ASSERT_EQ(std::memcmp(&fast, &literal, sizeof fast), 0);
                }
            }
        }
    }
    EXPECT_GT(passLimitSteps, 20);
}
